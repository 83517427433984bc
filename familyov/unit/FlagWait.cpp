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

}  // namespace

void WaitForFlag(IQDevice& device, const BoolUCodeObject& flag, bool wanted, const WaitBound& bound,
                 const std::string& timeoutText) {
  const auto deadline = bound.now() + bound.limit;
  for (;;) {
    try {
      if (flag.Read(device, kFlagPollReplyTimeoutMs) == wanted) return;
    } catch (const IQException&) {
      // A unit busy rebooting does not answer; that is "not yet", not a failure.
    }
    if (bound.now() >= deadline) throw FlagWaitTimeout(timeoutText);
  }
}

void WaitReady(IQDevice& device) {
  WaitForFlag(device, gReadyObject, true, BoundOf(device), kReadyTimeoutText);
  if (IQDeviceManager* manager = device.GetManager()) {
    manager->GetEncoder().Flush(kFlagPollReplyTimeoutMs);
  }
}

void WaitNewSettingsLoaded(IQDevice& device) {
  WaitForFlag(device, gNewSettingsObject, false, BoundOf(device), kNewSettingsTimeoutText);
}

}  // namespace namespaceOV
