// The application environment of this program's window and printing tests.

#include "tests/app/AppGuiEnvironment.h"

namespace {

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    testsupport::AddAppGuiEnvironment("family8100_filters_tests", [] {});

}  // namespace
