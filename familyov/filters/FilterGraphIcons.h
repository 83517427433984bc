#pragma once

#include <memory>
#include <span>
#include <vector>

#include "familyov/filters/FilterIcons.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The icons of one channel's filter graph and the curves they add up to. Every icon counts in the
// sum; the draggable ones (this channel's filters) are kept sorted by frequency for the keyboard.
// Filters of the cumulative input and an output's crossovers count as invisible icons.
class FilterGraphIcons {
 public:
  struct Range {
    int fStart;
    int fEnd;
  };

  // All icons again from the device's filters: this channel's, and with `cumulativeInput` >= 0
  // that input's filters and this output's crossovers.
  void Rebuild(const IQDeviceOrdavinex& device, int channel, int cumulativeInput, Range range);
  // Filters just added to this channel, or to the cumulative input when `ofInput` is set; with
  // `cumulative` a crossover of this output counts in the sum.
  void Add(std::span<TFilter* const> filters, bool ofInput, bool cumulative, Range range);
  // A filter changed: its icons move and resample.
  void Refresh(const TFilter& filter, Range range);
  void Sort();
  // The product of the enabled filters' gains and, with `withPhase`, the folded sum of their
  // phases; empty when no filter is enabled.
  void ComputeSum(bool withPhase);

  // Selects the icon of `filter` (none for null or a filter without one).
  void Select(const TFilter* filter);
  TFilterIcon* Selected() const { return selected_; }
  // The draggable icon `step` places after (or before) the selected one, wrapping round.
  TFilterIcon* Neighbour(int step) const;
  // The topmost icon under `p`, if any.
  TFilterIcon* HitTest(const TFreqDC& dc, ui::Point p) const;

  const std::vector<std::unique_ptr<TFilterIcon>>& All() const { return all_; }
  const std::vector<TFilterIcon*>& Draggable() const { return draggable_; }
  const Curve& SumMagnitude() const { return sumMagnitude_; }
  const Curve& SumPhase() const { return sumPhase_; }

 private:
  TFilterIcon* Keep(std::unique_ptr<TFilterIcon> icon, Range range, bool draggable);

  std::vector<std::unique_ptr<TFilterIcon>> all_;
  std::vector<TFilterIcon*> draggable_;
  TFilterIcon* selected_ = nullptr;
  Curve sumMagnitude_;
  Curve sumPhase_;
};

}  // namespace namespaceOV
