#include "family8100/unit/ReadyWait.h"

#include <algorithm>
#include <utility>

#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {
namespace {

constexpr int kRebootFailuresTolerated = 20;

}  // namespace

void WaitReady(IQDevice& device, const ReadyBound& bound) {
  const auto start = bound.now();
  for (int poll = 1;; ++poll) {
    if (g8100Ready.Read(device)) return;
    const double byCount = static_cast<double>(poll) / bound.maxPolls;
    const double byTime = std::chrono::duration<double>(bound.now() - start) /
                          std::chrono::duration<double>(bound.limit);
    const double passed = std::max(byCount, byTime);
    if (bound.onPoll) bound.onPoll(std::min(passed, 1.0));
    if (passed >= 1.0) throw NotReadyTimeout();
  }
}

void ReadyWaits::SetBound(ReadyBound bound) {
  bound_ = std::move(bound);
  stuck_ = false;
}

void ReadyWaits::Wait(IQDevice& device) {
  if (stuck_) {
    if (!g8100Ready.Read(device)) throw NotReadyTimeout();
    stuck_ = false;
    return;
  }
  try {
    WaitReady(device, bound_);
  } catch (const NotReadyTimeout&) {
    stuck_ = true;
    throw;
  }
}

void WaitReadyThroughReboot(IQDevice& device, const ReadyBound& bound) {
  for (int failures = 0;; ++failures) {
    try {
      WaitReady(device, bound);
      return;
    } catch (const NotReadyTimeout&) {
      throw;
    } catch (const IQException&) {
      if (failures == kRebootFailuresTolerated) throw NotReadyTimeout();
    }
  }
}

}  // namespace namespace8100
