#include "familyov/filters/FilterDrop.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"

namespace namespaceOV {

void FilterDrop::Begin(TFilter& filter) {
  dragged_ = &filter;
  before_ = filter.Clone();
}

void FilterDrop::PutBack(IQDeviceOrdavinex& device, bool askUnit) {
  const std::unique_ptr<TFilter> before = std::move(before_);
  // The failure's report may have taken the filter away with the others the views read again.
  if (dragged_ == nullptr || !device.Holds(dragged_)) return;
  if (before != nullptr) dragged_->CopyParamsFrom(*before);
  if (askUnit) ReadBackQuietly(device, *dragged_);
}

controls::ChangeOutcome FilterDrop::End(IQDeviceOrdavinex& device,
                                        const std::function<void()>& write,
                                        const controls::ChangeViews& views) {
  const auto then = [](const std::function<void()>& show) {
    if (show) show();
  };
  const controls::ChangeOutcome outcome =
      ChangeOnUnit(device, write,
                   {.taken = views.taken,
                    .showUnit =
                        [&] {
                          PutBack(device, true);
                          then(views.showUnit);
                        },
                    .showUnknown =
                        [&] {
                          PutBack(device, false);
                          then(views.showUnknown ? views.showUnknown : views.showUnit);
                        }});
  before_.reset();
  dragged_ = nullptr;
  return outcome;
}

void FilterDrop::LiveWriteFailed(IQDeviceOrdavinex& device) {
  PutBack(device, true);
  dragged_ = nullptr;
}

}  // namespace namespaceOV
