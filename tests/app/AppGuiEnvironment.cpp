#include "tests/app/AppGuiEnvironment.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "tests/support/LeftoverCheck.h"

namespace testsupport {
namespace {

class AppGuiEnvironment : public ::testing::Environment {
 public:
  AppGuiEnvironment(const char* programName, std::function<void()> installReporters)
      : name_(programName), installReporters_(std::move(installReporters)) {}

  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, name_);
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    ui::SetErrorReporter([](const std::string& where, const std::string& what) {
      ADD_FAILURE() << "exception in " << where << ": " << what;
    });
    installReporters_();
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  std::string name_;
  std::function<void()> installReporters_;
  int argc_ = 1;
  char* argv_[2] = {name_.data(), nullptr};
  std::unique_ptr<ui::Application> app_;
};

}  // namespace

::testing::Environment* AddAppGuiEnvironment(const char* programName,
                                             std::function<void()> installReporters) {
  return ::testing::AddGlobalTestEnvironment(
      new AppGuiEnvironment(programName, std::move(installReporters)));
}

}  // namespace testsupport
