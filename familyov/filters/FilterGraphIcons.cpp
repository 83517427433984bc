#include "familyov/filters/FilterGraphIcons.h"

#include <algorithm>

#include "familyov/filters/ResponseSums.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

TFilterIcon* FilterGraphIcons::Keep(std::unique_ptr<TFilterIcon> icon, Range range,
                                    bool draggable) {
  if (!icon) return nullptr;
  icon->Update(range.fStart, range.fEnd);
  TFilterIcon* kept = all_.emplace_back(std::move(icon)).get();
  if (draggable) draggable_.push_back(kept);
  return kept;
}

void FilterGraphIcons::Rebuild(const IQDeviceOrdavinex& device, int channel, int cumulativeInput,
                               Range range) {
  sumMagnitude_.clear();
  sumPhase_.clear();
  selected_ = nullptr;
  draggable_.clear();
  all_.clear();
  const int inputIndex = cumulativeInput - 1;
  for (const auto& filter : device.Filters()) {
    if (filter->channel == channel) {
      Keep(MakeFilterIcon(*filter), range, true);
    } else if (filter->channel == inputIndex) {
      Keep(std::make_unique<TInvisibleIcon>(*filter), range, false);
    }
  }
  const int output = channel - device.firstOutput;
  if (inputIndex >= 0 && output >= 0) {
    for (TFilter* crossover : {static_cast<TFilter*>(device.LowCrossover(output)),
                               static_cast<TFilter*>(device.HighCrossover(output))}) {
      if (crossover) Keep(std::make_unique<TInvisibleIcon>(*crossover), range, false);
    }
  }
  Sort();
}

void FilterGraphIcons::Add(std::span<TFilter* const> filters, bool ofInput, bool cumulative,
                           Range range) {
  for (TFilter* filter : filters) {
    if (!filter) continue;
    if (ofInput || (filter->crossover && cumulative)) {
      Keep(std::make_unique<TInvisibleIcon>(*filter), range, false);
    } else if (!filter->crossover) {
      Keep(MakeFilterIcon(*filter), range, true);
    }
  }
  Sort();
}

void FilterGraphIcons::Refresh(const TFilter& filter, Range range) {
  for (const auto& icon : all_) {
    if (icon->Shows(&filter)) icon->Update(range.fStart, range.fEnd);
  }
}

void FilterGraphIcons::Sort() {
  std::ranges::stable_sort(draggable_, {},
                           [](const TFilterIcon* icon) { return icon->Filter().frequency; });
}

void FilterGraphIcons::ComputeSum(bool withPhase) {
  sumMagnitude_.clear();
  sumPhase_.clear();
  for (const auto& icon : all_) {
    if (icon->Filter().bypass || icon->magnitude.empty()) continue;
    if (sumMagnitude_.empty()) {
      sumMagnitude_ = icon->magnitude;
      sumPhase_ = icon->magnitude;
      for (TPlotPoint& p : sumPhase_) p.value = 0.0f;
    } else {
      const size_t n = std::min(sumMagnitude_.size(), icon->magnitude.size());
      for (size_t i = 0; i < n; ++i) sumMagnitude_[i].value *= icon->magnitude[i].value;
    }
    if (!withPhase) continue;
    const size_t n = std::min(sumPhase_.size(), icon->phase.size());
    for (size_t i = 0; i < n; ++i) {
      sumPhase_[i].value = AddWrappedPhase(sumPhase_[i].value, icon->phase[i].value);
    }
  }
}

void FilterGraphIcons::Select(const TFilter* filter) {
  selected_ = nullptr;
  for (const auto& icon : all_) {
    const bool chosen = filter && icon->Shows(filter) &&
                        std::ranges::find(draggable_, icon.get()) != draggable_.end();
    icon->selected = chosen ? 1 : 0;
    if (chosen) selected_ = icon.get();
  }
}

TFilterIcon* FilterGraphIcons::Neighbour(int step) const {
  const auto at = std::ranges::find(draggable_, selected_);
  if (at == draggable_.end()) return selected_;
  const auto count = static_cast<long>(draggable_.size());
  const long index = ((at - draggable_.begin()) + step % count + count) % count;
  return draggable_[static_cast<size_t>(index)];
}

TFilterIcon* FilterGraphIcons::HitTest(const TFreqDC& dc, ui::Point p) const {
  for (auto it = all_.rbegin(); it != all_.rend(); ++it) {
    if ((*it)->HitTest(dc, p)) return it->get();
  }
  return nullptr;
}

}  // namespace namespaceOV
