#pragma once

// The GUI test programs of the older family: the one application object, the program's resources,
// a failed test for any prompt no script answers, and the family's error reports collected.

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test8100 {

::testing::Environment* AddGuiEnvironment(const char* programName);

// The texts of the bus failures reported since the list was last cleared.
std::vector<std::string>& ReportedErrors();

}  // namespace test8100
