#include "tests/familyov_unit/GuiTestEnvironment.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "tests/app/AppGuiEnvironment.h"

namespace ovtest {

::testing::Environment* AddGuiEnvironment(const char* programName) {
  return testsupport::AddAppGuiEnvironment(programName, [] {
    namespaceOV::SetCommErrorReporter(
        [](const IQException& e, IQDevice&) { ReportedErrors().push_back(e.GetText()); });
  });
}

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace ovtest
