#pragma once

// The unit-wide commands of the newer family against simulated units on the pseudo-terminal, with
// every prompt answered by script and every reported failure recorded.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "familyov/unit/OrdavinexTypes.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Prompts.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace commandstest {

// A script whose unexpected prompts fail the test.
class Script : public ui::PromptScript {
 public:
  Script();
};

// Types `text` into the field of the one-line question and presses OK.
std::function<void(ui::Dialog&)> Answer(const std::string& text);

// An 8126 at address 3 and an 8148 at address 5, found by a roll call; a silent unit costs one
// reply time-out, not several.
class CommandsTest : public testing::Test {
 protected:
  CommandsTest();

  ovtest::FamilyBus bus;
  namespaceOV::IQ8126Type type8126;
  namespaceOV::IQ8148Type type8148;
  namespaceOV::IQDeviceOrdavinex* unit8126 = nullptr;
  namespaceOV::IQDeviceOrdavinex* unit8148 = nullptr;
};

}  // namespace commandstest
