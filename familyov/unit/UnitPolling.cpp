#include "familyov/unit/UnitPolling.h"

#include <algorithm>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

UnitPoller::UnitPoller(IQDeviceOrdavinex& device) : device_(device) {}

void UnitPoller::Add(LiveValue& value) {
  values_.push_back(&value);
  paused_ = false;
}

void UnitPoller::Remove(LiveValue& value) {
  const auto it = std::find(values_.begin(), values_.end(), &value);
  if (it == values_.end()) return;
  const auto index = static_cast<std::size_t>(it - values_.begin());
  values_.erase(it);
  if (index < next_) --next_;
}

bool UnitPoller::PollNext() {
  if (paused_ || values_.empty() || !device_.IsOnline()) return false;
  if (next_ >= values_.size()) next_ = 0;
  LiveValue* value = values_[next_++];
  try {
    MaskedStretch masked(device_);
    value->PollOnce();
  } catch (const IQException& error) {
    // Paused first: the dialog runs its own message loop, and nothing may poll the silent unit
    // (or open a second dialog) meanwhile.
    paused_ = true;
    ReportCommError(error, device_);
  }
  return true;
}

LiveValueRegistration::LiveValueRegistration(UnitPoller& poller, LiveValue& value)
    : poller_(poller), value_(value) {
  poller_.Add(value_);
}

LiveValueRegistration::~LiveValueRegistration() { poller_.Remove(value_); }

MaskedStretch::MaskedStretch(IQDevice& device) : device_(device) { device_.MaskMonitor(); }

MaskedStretch::~MaskedStretch() { device_.UnmaskMonitor(); }

}  // namespace namespaceOV
