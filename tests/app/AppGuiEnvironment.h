#pragma once

// What every GUI test program of a family needs before its first test: the one application object
// Qt allows, the program's resources, and a failed test for a prompt that no script answers or for
// an exception that reaches the window layer's guard. The family adds how its error reports are
// collected instead of shown.

#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Registers the environment for the test program called `programName`; `installReporters` runs
// once the application exists. Call once, at namespace scope.
::testing::Environment* AddAppGuiEnvironment(const char* programName,
                                             std::function<void()> installReporters);

}  // namespace testsupport
