#pragma once

#include <utility>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// Every entry from the window layer into work on a unit (a tree command, a menu command, a
// button) runs through here: a failure of the family is shown with the error dialog and the
// window stays usable. Returns whether the work ran to its end.
template <typename F>
bool GuardedUnitCall(IQDeviceOrdavinex& device, F&& work) {
  try {
    std::forward<F>(work)();
    return true;
  } catch (const IQException& e) {
    ReportCommError(e, device);
  }
  return false;
}

}  // namespace namespaceOV
