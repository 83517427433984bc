#pragma once

// What every GUI test program of the newer family needs before its first test: the one
// application object Qt allows, the program's resources, a failed test for a prompt that no script
// answers, and the family's error reports collected instead of shown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovtest {

// Registers the environment for the test program called `programName`; call once, at namespace
// scope.
::testing::Environment* AddGuiEnvironment(const char* programName);

// The texts of the failures the family reported; a test clears it or takes it as it needs.
std::vector<std::string>& ReportedErrors();

}  // namespace ovtest
