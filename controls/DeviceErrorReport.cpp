#include "controls/DeviceErrorReport.h"

#include <string>

#include "platform/ui/Guard.h"

namespace controls {

namespace {

DeviceErrorReporter& Reporter() {
  static DeviceErrorReporter reporter;
  return reporter;
}

}  // namespace

void SetDeviceErrorReporter(DeviceErrorReporter reporter) { Reporter() = std::move(reporter); }

void ReportDeviceError(const IQException& error, IQDevice* device, int code) {
  if (Reporter()) {
    Reporter()(error, device, code);
    return;
  }
  // Without the application's dialogs the failure is still told, never swallowed.
  ui::ReportError("bus", error.GetText() + " (code " + std::to_string(code) + ")");
}

}  // namespace controls
