#include "tests/family8100_windows/WindowTestEnvironment.h"

#include "controls/DeviceErrorReport.h"
#include "tests/app/AppGuiEnvironment.h"

namespace test8100 {

::testing::Environment* AddGuiEnvironment(const char* programName) {
  return testsupport::AddAppGuiEnvironment(programName, [] {
    controls::SetDeviceErrorReporter(
        [](const IQException& e, IQDevice*, int) { ReportedErrors().push_back(e.GetText()); });
  });
}

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace test8100
