#include "familyov/unit/FlagWait.h"

#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/UCodeObject.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

const WaitBound& BoundOf(const IQDevice& device) {
  static const WaitBound kDefault;
  const auto* family = dynamic_cast<const IQDeviceOrdavinex*>(&device);
  return family ? family->GetWaitBound() : kDefault;
}

// True when a read failed on the way: its reply may still come, late.
bool PollFlag(IQDevice& device, const BoolUCodeObject& flag, bool wanted, const WaitBound& bound,
              const std::string& timeoutText) {
  const auto start = bound.now();
  bool failed = false;
  for (;;) {
    try {
      if (flag.Read(device, kFlagPollReplyTimeoutMs) == wanted) return failed;
    } catch (const IQException&) {
      // A unit busy rebooting does not answer; that is "not yet", not a failure.
      failed = true;
    }
    const auto waited = bound.now() - start;
    if (bound.onPoll) {
      bound.onPoll(std::chrono::duration<double>(waited) /
                   std::chrono::duration<double>(bound.limit));
    }
    if (waited >= bound.limit) throw FlagWaitTimeout(timeoutText);
  }
}

}  // namespace

void WaitForFlag(IQDevice& device, const BoolUCodeObject& flag, bool wanted, const WaitBound& bound,
                 const std::string& timeoutText) {
  PollFlag(device, flag, wanted, bound, timeoutText);
}

void WaitReady(IQDevice& device) {
  // Discarding what is left on the line takes a whole reply time-out: only worth it when a late
  // reply may be on its way.
  const bool failed = PollFlag(device, gReadyObject, true, BoundOf(device), kReadyTimeoutText);
  IQDeviceManager* manager = device.GetManager();
  if (failed && manager) manager->GetEncoder().Flush(kFlagPollReplyTimeoutMs);
}

void WaitNewSettingsLoaded(IQDevice& device) {
  WaitForFlag(device, gNewSettingsObject, false, BoundOf(device), kNewSettingsTimeoutText);
}

}  // namespace namespaceOV
