#include "controls/IdlePoll.h"

#include <algorithm>
#include <chrono>

#include "bus/IQDevice.h"
#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "platform/ui/Application.h"
#include "platform/ui/IdleDispatcher.h"

namespace controls {

namespace {

void WakeIdleWhenPauseEnds(const PollBackoff& backoff) {
  auto* app = ui::Application::Instance();
  if (app == nullptr) return;
  const auto wait =
      std::chrono::ceil<std::chrono::milliseconds>(backoff.ResumeAt() - PollBackoff::Clock::now());
  app->Idle().PassAfter(static_cast<int>(std::max<long long>(wait.count(), 0)));
}

}  // namespace

PollOutcome PollUnit(IQDevice& device, const std::function<void()>& poll,
                     const PollFailureReport& report) {
  PollBackoff& backoff = device.IdlePolling();
  if (!backoff.MayPoll(PollBackoff::Clock::now())) {
    WakeIdleWhenPauseEnds(backoff);
    return PollOutcome::kResting;
  }
  try {
    poll();
  } catch (const IQException& error) {
    // The pause is in place before the report's dialog runs its own loop, so no other window
    // polls the silent unit (or opens a second dialog) meanwhile.
    backoff.Failed(PollBackoff::Clock::now());
    WakeIdleWhenPauseEnds(backoff);
    if (report && backoff.TakeReport()) report(error);
    return PollOutcome::kFailed;
  }
  backoff.Answered();
  return PollOutcome::kAnswered;
}

PollOutcome OwedRead::Settle(IQDevice& device) {
  if (!owed_) return PollOutcome::kResting;
  // The unit's failure was told when the read was first owed.
  const PollOutcome outcome = PollUnit(device,
                                       [this] {
                                         const PassOverReports told;
                                         read_();
                                       },
                                       {});
  if (outcome == PollOutcome::kAnswered) owed_ = false;
  return outcome;
}

PollOutcome SettleDoubt(IQDevice& device) {
  const UnitReadAgain* const readAgain = UnitReadAgain::Of(device);
  if (readAgain == nullptr || !device.InDoubt() || !device.IsOnline()) return PollOutcome::kResting;
  // Taken first: a write of the read again that goes unanswered leaves a doubt of its own.
  device.TakeDoubt();
  // The write in doubt was told: the read again, and every window it refreshes, tell nothing more.
  const PollOutcome outcome = PollUnit(device,
                                       [&] {
                                         const PassOverReports told;
                                         readAgain->Run();
                                       },
                                       {});
  if (outcome != PollOutcome::kAnswered) device.MarkInDoubt();
  return outcome;
}

}  // namespace controls
