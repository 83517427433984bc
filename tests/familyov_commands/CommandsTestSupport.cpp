#include "tests/familyov_commands/CommandsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "resources/ControlsResources.h"

namespace commandstest {
namespace {

// Qt allows one application object per program; the commands need it for their prompts and
// progress dialogs.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, "familyov_commands_tests");
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    namespaceOV::SetCommErrorReporter(
        [](const IQException& e, IQDevice&) { ReportedErrors().push_back(e.GetText()); });
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[24] = "familyov_commands_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<ui::Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

Script::Script() : ui::PromptScript([](const std::string& what) { ADD_FAILURE() << what; }) {}

std::function<void(ui::Dialog&)> Answer(const std::string& text) {
  return [text](ui::Dialog& dialog) {
    ui::test::Type(dialog, controls_res::kInputField, text);
    if (text.empty()) {
      ui::test::PressKey(ui::test::ControlOf(dialog, controls_res::kInputField), Qt::Key_Delete);
    }
    ui::test::Click(dialog, ui::kIdOk);
  };
}

std::function<std::chrono::steady_clock::time_point()> SteppingClock(
    std::chrono::milliseconds step) {
  return [step, now = std::chrono::steady_clock::time_point{}]() mutable { return now += step; };
}

CommandsTest::CommandsTest() {
  ReportedErrors().clear();
  bus.port.SetRetries(0);
  sim::familyov::AddFamilyOvUnit(bus.bus, {.model = sim::familyov::Model::k8126, .address = 3});
  sim::familyov::AddFamilyOvUnit(bus.bus, {.model = sim::familyov::Model::k8148, .address = 5});
  const auto found = bus.RollCall({&type8126, &type8148});
  unit8126 = &dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(*found.at(0));
  unit8148 = &dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(*found.at(1));
}

}  // namespace commandstest
