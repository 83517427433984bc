#pragma once

#include "bus/IQException.h"
#include "controls/TDataWindow.h"
#include "familyov/filters/TFilter.h"
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

// The unit refused a write of `filter`, which holds again what the unit held before: the steps
// before the refused one may have reached the unit, so the filter is read back in place and every
// view of the unit told from `window`. A unit that refuses the read as well lets nothing of it be
// read, and the filter keeps what it held; one that does not answer leaves the filters in doubt.
// Either failure has been told already with the refusal.
inline void ReadBackAfterRefusal(IQDeviceOrdavinex& device, TFilter& filter,
                                 const TDataWindow& window) {
  try {
    if (device.IsOnline()) filter.ReadFromDevice(device);
  } catch (const ErrorObject&) {
  } catch (const IQException&) {
    device.MarkFiltersStale();
  }
  NotifyRecord record{FilterSetChanged, 0, 0, nullptr};
  window.NotifyRoot(&record);
}

}  // namespace namespaceOV
