#pragma once

#include <functional>
#include <utility>

#include "bus/IQException.h"

class IQDevice;

namespace controls {

// Where the controls' dialogs report a failed bus operation. The application installs the routine
// that shows its error dialogs; the controls sit below the application and cannot call it
// themselves. `code` is the unit's error code for an error-object reply, else -1.
using DeviceErrorReporter =
    std::function<void(const IQException& error, IQDevice* device, int code)>;
void SetDeviceErrorReporter(DeviceErrorReporter reporter);
void ReportDeviceError(const IQException& error, IQDevice* device, int code);

inline constexpr int kNoUnitErrorCode = -1;

// Runs one bus operation for `device`; a failure is reported (the unit's own error code first) and
// answered with false, so the window that asked stays usable.
template <typename F>
bool GuardedBusCall(IQDevice* device, F&& operation) {
  try {
    std::forward<F>(operation)();
    return true;
  } catch (const ErrorObject& e) {
    ReportDeviceError(e, device, e.code);
  } catch (const IQException& e) {
    ReportDeviceError(e, device, kNoUnitErrorCode);
  }
  return false;
}

}  // namespace controls
