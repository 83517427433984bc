#pragma once

#include <string>
#include <utility>

#include "controls/ControlChange.h"
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

// A change the user made on a control, written under the guard: kept and told (`views.taken`) only
// once the unit takes it, else drawn again from what the unit holds, as controls::ApplyChange says.
template <typename F>
controls::ChangeOutcome ChangeOnUnit(IQDeviceOrdavinex& device, F&& write,
                                     const controls::ChangeViews& views) {
  return controls::ApplyChange([&] { return GuardedUnitCall(device, std::forward<F>(write)); },
                               views);
}

// The unit's display name for a window's caption. A unit that does not answer is reported and the
// caption names it by its address alone: a caption without the unit's own name is better than no
// window.
inline std::string GuardedDisplayName(IQDeviceOrdavinex& device) {
  std::string name = device.GetName();
  GuardedUnitCall(device, [&] { name = device.GetDisplayName(); });
  return name;
}

// After a write to `filter` that the unit failed and that has been reported: the unit holds all,
// part or none of it, so the program takes what the unit holds rather than showing values the
// unit may never have had. A read that fails as well is the same failure: it is not reported
// again, and the filters are read again once the unit answers.
inline void ReadBackQuietly(IQDeviceOrdavinex& device, TFilter& filter) {
  TFilter* const reached[] = {&filter};
  try {
    device.ResyncFilterViews(reached);
  } catch (const IQException&) {
  }
}

}  // namespace namespaceOV
