#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// Fonts, printers and the print dialog need one application object for the whole process, made
// before the first test and kept until the last (Qt allows only one, and never a second one).
class ApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "draw_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
