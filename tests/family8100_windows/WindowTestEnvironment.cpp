#include "tests/family8100_windows/WindowTestEnvironment.h"

#include <memory>

#include "controls/DeviceErrorReport.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace test8100 {
namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  explicit GuiEnvironment(const char* programName) : name_(programName) {}

  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, name_);
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    controls::SetDeviceErrorReporter(
        [](const IQException& e, IQDevice*, int) { ReportedErrors().push_back(e.GetText()); });
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  std::string name_;
  int argc_ = 1;
  char* argv_[2] = {name_.data(), nullptr};
  std::unique_ptr<ui::Application> app_;
};

}  // namespace

::testing::Environment* AddGuiEnvironment(const char* programName) {
  return ::testing::AddGlobalTestEnvironment(new GuiEnvironment(programName));
}

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace test8100
