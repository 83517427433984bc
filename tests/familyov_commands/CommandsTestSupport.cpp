#include "tests/familyov_commands/CommandsTestSupport.h"

#include <gtest/gtest.h>

#include "platform/ui/Dialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"

namespace commandstest {
namespace {

// The commands need the application for their prompts and progress dialogs.
const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_commands_tests");

}  // namespace

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

CommandsTest::CommandsTest() {
  ovtest::ReportedErrors().clear();
  bus.port.SetRetries(0);
  sim::familyov::AddFamilyOvUnit(bus.bus, {.model = sim::familyov::Model::k8126, .address = 3});
  sim::familyov::AddFamilyOvUnit(bus.bus, {.model = sim::familyov::Model::k8148, .address = 5});
  const auto found = bus.RollCall({&type8126, &type8148});
  unit8126 = &dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(*found.at(0));
  unit8148 = &dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(*found.at(1));
}

}  // namespace commandstest
