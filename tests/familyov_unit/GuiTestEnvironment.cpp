#include "tests/familyov_unit/GuiTestEnvironment.h"

#include "bus/PollBackoff.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "tests/app/AppGuiEnvironment.h"

namespace ovtest {

::testing::Environment* AddGuiEnvironment(const char* programName) {
  return testsupport::AddAppGuiEnvironment(programName, [] {
    // A silent unit's polls pause by the tests' clock only, however long the machine keeps them.
    PollBackoff::Clock::Hold();
    namespaceOV::SetCommErrorReporter(
        [](const IQException& e, IQDevice&) { ReportedErrors().push_back(e.GetText()); });
  });
}

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace ovtest
