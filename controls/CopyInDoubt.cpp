#include "controls/CopyInDoubt.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "bus/IQDevice.h"
#include "controls/DeviceErrorReport.h"

namespace controls {

namespace {

// A unit's windows are opened and closed on the user-interface thread alone.
std::vector<const UnitReadAgain*>& Named() {
  static std::vector<const UnitReadAgain*> named;
  return named;
}

}  // namespace

UnitReadAgain::UnitReadAgain(IQDevice& device, std::function<void()> readAgain,
                             PollFailureReport report)
    : device_(device), readAgain_(std::move(readAgain)), report_(std::move(report)) {
  Named().push_back(this);
}

UnitReadAgain::~UnitReadAgain() { std::erase(Named(), this); }

const UnitReadAgain* UnitReadAgain::Of(const IQDevice& device) {
  const auto& named = Named();
  // The newest: a window that replaces another names its read before the old one is gone.
  const auto found = std::find_if(named.rbegin(), named.rend(), [&](const UnitReadAgain* read) {
    return &read->device_ == &device;
  });
  return found == named.rend() ? nullptr : *found;
}

bool SettleCopy(IQDevice& device) {
  if (!device.InDoubt() || !device.IsOnline()) return true;
  const UnitReadAgain* const readAgain = UnitReadAgain::Of(device);
  // Only the unit's own windows take its copy, and they live inside its edit window.
  if (readAgain == nullptr) return false;
  // The windows the read again refreshes meet a silent unit too: one box tells of it.
  const OneReportScope settle;
  // Taken first: a write of the read again that goes unanswered leaves a doubt of its own.
  device.TakeDoubt();
  try {
    readAgain->Run();
  } catch (const IQException& error) {
    device.MarkInDoubt();
    // Told here: the idle passes join this report and leave the unit alone for a while.
    device.IdlePolling().SilenceToldAt(PollBackoff::Clock::now());
    readAgain->Report(error);
    return false;
  }
  device.IdlePolling().Answered();
  return !device.InDoubt();
}

}  // namespace controls
