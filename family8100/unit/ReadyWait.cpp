#include "family8100/unit/ReadyWait.h"

#include <utility>

#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/ReadyWaitShown.h"
#include "familycommon/BoundedPoll.h"

namespace namespace8100 {
namespace {

constexpr int kRebootFailuresTolerated = 20;

}  // namespace

void WaitReady(IQDevice& device, const ReadyBound& bound) {
  if (!familycommon::PollWithinBound(bound, [&] { return g8100Ready.Read(device); })) {
    throw NotReadyTimeout();
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
  ReadyWaitShown shown;
  ReadyBound bound = bound_;
  bound.onPoll = [&shown, told = bound_.onPoll](double passed) {
    shown.Passed(passed);
    if (told) told(passed);
  };
  try {
    WaitReady(device, bound);
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
