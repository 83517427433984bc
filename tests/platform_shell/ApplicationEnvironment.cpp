#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

// QProcess and the event loop that waits for a detached opener need one application object for
// the whole process, made before the first test.
class ApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[24] = "platform_shell_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
