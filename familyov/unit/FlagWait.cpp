#include "familyov/unit/FlagWait.h"

#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/UCodeObject.h"
#include "familycommon/BoundedPoll.h"
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
  bool failed = false;
  const bool set = familycommon::PollWithinBound(bound, [&] {
    try {
      return flag.Read(device, kFlagPollReplyTimeoutMs) == wanted;
    } catch (const IQException&) {
      // A unit busy rebooting does not answer; that is "not yet", not a failure.
      failed = true;
      return false;
    }
  });
  if (!set) throw FlagWaitTimeout(timeoutText);
  return failed;
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
