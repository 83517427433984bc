#pragma once

#include <utility>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// One idle read of a live value, left out of the COM monitor's log. A failure stops the polling
// (`polling` cleared) before the error dialog shows, so that idle passes run while the dialog is
// open cannot stack another one. Returns whether the read ran.
template <typename F>
bool PollOnce(IQDeviceOrdavinex& device, bool& polling, F&& read) {
  device.MaskMonitor();
  try {
    std::forward<F>(read)();
    device.UnmaskMonitor();
    return true;
  } catch (const IQException& e) {
    polling = false;
    device.UnmaskMonitor();
    ReportCommError(e, device);
  }
  return false;
}

}  // namespace namespaceOV
