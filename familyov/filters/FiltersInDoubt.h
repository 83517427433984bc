#pragma once

#include "controls/TDataWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"

namespace namespaceOV {

// A write to the unit's filters or crossovers went unanswered: they may not be what the unit
// holds. They are read again whole once it answers, and until then every view of the unit, told
// from `window`, shows them unknown.
inline void ShowFiltersInDoubt(IQDeviceOrdavinex& device, const TDataWindow& window) {
  device.MarkFiltersStale();
  NotifyRecord record{FilterSetChanged, 0, 0, nullptr};
  window.NotifyRoot(&record);
}

}  // namespace namespaceOV
