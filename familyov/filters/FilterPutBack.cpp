#include "familyov/filters/FilterPutBack.h"

#include "familyov/filters/FiltersInDoubt.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"

namespace namespaceOV {

void FilterPutBack::Hold(TFilter& filter) {
  changed_ = &filter;
  held_ = filter.Clone();
}

void FilterPutBack::PutBack(IQDeviceOrdavinex& device, const TDataWindow& window, bool refused) {
  // The failure's report may have taken the filter away with the others the views read again.
  if (changed_ == nullptr || held_ == nullptr || !device.Holds(changed_)) return;
  changed_->CopyParamsFrom(*held_);
  if (refused) {
    ReadBackAfterRefusal(device, *changed_, window);
  } else {
    ShowFiltersInDoubt(device, window);
  }
}

controls::ChangeOutcome FilterPutBack::Write(IQDeviceOrdavinex& device,
                                             const std::function<void()>& write,
                                             const controls::ChangeViews& views,
                                             const TDataWindow& window) {
  const auto show = [](const std::function<void()>& view) {
    if (view) view();
  };
  const controls::ChangeOutcome outcome =
      ChangeOnUnit(device, write,
                   {.taken = views.taken,
                    .showUnit =
                        [&] {
                          PutBack(device, window, true);
                          show(views.showUnit);
                        },
                    .showUnknown =
                        [&] {
                          PutBack(device, window, false);
                          show(views.showUnknown ? views.showUnknown : views.showUnit);
                        }});
  changed_ = nullptr;
  held_.reset();
  return outcome;
}

void FilterPutBack::LiveWriteFailed(IQDeviceOrdavinex& device, const IQException& failure,
                                    const TDataWindow& window) {
  // The report, the put-back and every view's update: one report, its box once every view shows
  // what the unit holds.
  const controls::PutBackBeforeBox putBackFirst;
  const controls::OneReportScope action;
  ReportCommError(failure, device);
  // A refusal is the unit's answer; any other failure may have reached it.
  PutBack(device, window, dynamic_cast<const ErrorObject*>(&failure) != nullptr);
  changed_ = nullptr;
  held_.reset();
}

}  // namespace namespaceOV
