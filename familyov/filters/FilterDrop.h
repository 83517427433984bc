#pragma once

#include <functional>
#include <memory>

#include "controls/ControlChange.h"
#include "familycommon/FilterLifetime.h"
#include "familyov/filters/TFilter.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// A filter or crossover dragged on a graph, from the press to the release. The program keeps no
// value the unit has not taken: a drop or a live write the unit failed puts back what the filter
// held when the drag began, and a unit that answered (it refused) is asked what it holds, since the
// steps written live may have reached it. A drop in doubt stays unknown until the unit is read
// again.
class FilterDrop {
 public:
  // Keeps what the filter holds as its drag begins.
  void Begin(TFilter& filter);
  // The filter being dragged, or null once it has gone.
  TFilter* Dragged() const { return dragged_; }
  // Writes the drop with `write` as one change on the unit; `views` as controls::ApplyChange uses
  // them, shown after the filter has been put back.
  controls::ChangeOutcome End(IQDeviceOrdavinex& device, const std::function<void()>& write,
                              const controls::ChangeViews& views);
  // A live write failed and ended the drag; the failure has been reported.
  void LiveWriteFailed(IQDeviceOrdavinex& device);

 private:
  void PutBack(IQDeviceOrdavinex& device, bool askUnit);

  familycommon::FilterHandle<TFilter> dragged_;
  std::unique_ptr<TFilter> before_;
};

}  // namespace namespaceOV
