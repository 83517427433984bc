#pragma once

#include <functional>

#include "bus/IQException.h"
#include "controls/ControlChange.h"
#include "controls/TDataWindow.h"
#include "familycommon/FilterLifetime.h"
#include "familyov/filters/TFilter.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// A filter or crossover that the program changes before the unit has it: dragged on a graph (the
// unit follows it live) or stepped by a key. It keeps what the unit holds of the filter, so that a
// change the unit failed puts that back: the program keeps no value the unit has not taken. The
// steps before a refused one may have reached the unit, so the filter is then read back; a change
// in doubt leaves the unit's filters unknown until the unit is read again.
class FilterPutBack {
 public:
  // The unit holds the filter as it is now: as the change begins, and after each live write.
  void Hold(TFilter& filter);
  // The filter being changed, or null once it has gone.
  TFilter* Changed() const { return changed_; }
  // Writes the change with `write` as one change on the unit, ChangeOnUnit's `views` shown once the
  // filter is put back; the views of the unit told from `window` while the change is in doubt.
  controls::ChangeOutcome Write(IQDeviceOrdavinex& device, const std::function<void()>& write,
                                const controls::ChangeViews& views, const TDataWindow& window);
  // A live write failed with `failure` and ended the drag: reported once, with what follows, its
  // box once the filter is put back. Called by the handler that caught the failure.
  void LiveWriteFailed(IQDeviceOrdavinex& device, const IQException& failure,
                       const TDataWindow& window);

 private:
  // The filter takes back what the unit last held of it; a refused change is read back, one in
  // doubt leaves the unit's filters unknown.
  void PutBack(IQDeviceOrdavinex& device, const TDataWindow& window, bool refused);

  familycommon::FilterHandle<TFilter> changed_;
  std::unique_ptr<TFilter> held_;
};

}  // namespace namespaceOV
