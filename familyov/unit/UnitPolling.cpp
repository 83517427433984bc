#include "familyov/unit/UnitPolling.h"

#include <algorithm>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

UnitPoller::UnitPoller(IQDeviceOrdavinex& device) : device_(device) {}

void UnitPoller::Add(LiveValue& value) { values_.push_back(&value); }

bool UnitPoller::Paused() const { return device_.IdlePolling().Silent(); }

void UnitPoller::Remove(LiveValue& value) {
  const auto it = std::find(values_.begin(), values_.end(), &value);
  if (it == values_.end()) return;
  const auto index = static_cast<std::size_t>(it - values_.begin());
  values_.erase(it);
  if (index < next_) --next_;
}

bool UnitPoller::PollNext() {
  if (values_.empty() || !device_.IsOnline()) return false;
  if (next_ >= values_.size()) next_ = 0;
  const auto outcome = controls::PollUnit(
      device_,
      [this] {
        LiveValue* value = values_[next_++];
        MaskedStretch masked(device_);
        value->PollOnce();
      },
      [this](const IQException& error) { ReportCommError(error, device_); });
  // A unit found silent, by this poll or before it, has no value to show.
  if (outcome != controls::PollOutcome::kAnswered) {
    for (LiveValue* value : values_) value->ShowReadingUnknown();
  }
  return outcome != controls::PollOutcome::kResting;
}

LiveValueRegistration::LiveValueRegistration(UnitPoller& poller, LiveValue& value)
    : poller_(poller), value_(value) {
  poller_.Add(value_);
}

LiveValueRegistration::~LiveValueRegistration() { poller_.Remove(value_); }

MaskedStretch::MaskedStretch(IQDevice& device) : device_(device) { device_.MaskMonitor(); }

MaskedStretch::~MaskedStretch() { device_.UnmaskMonitor(); }

}  // namespace namespaceOV
