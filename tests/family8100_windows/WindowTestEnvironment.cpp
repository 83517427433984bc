#include "tests/family8100_windows/WindowTestEnvironment.h"

#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "tests/app/AppGuiEnvironment.h"

namespace test8100 {

::testing::Environment* AddGuiEnvironment(const char* programName) {
  return testsupport::AddAppGuiEnvironment(programName, [] {
    // A silent unit's polls pause by the tests' clock only, however long the machine keeps them.
    PollBackoff::Clock::Hold();
    controls::SetDeviceErrorReporter(
        [](const IQException& e, IQDevice*, int) { ReportedErrors().push_back(e.GetText()); });
  });
}

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace test8100
