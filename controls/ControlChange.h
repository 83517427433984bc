#pragma once

#include <functional>

#include "controls/ChangeOutcome.h"
#include "controls/DeviceErrorReport.h"

namespace controls {

// What a control shows after a change the user made on it, whatever the unit made of the change.
// A control changes, and other windows and the program's copy of the unit are told, only once the
// unit has taken the change. After a refusal the unit holds what it held, and the control is drawn
// again from that. A write whose answer never came may or may not have been carried out, and a
// unit that answers nothing, reads included, cannot be asked: the control shows unknown, never the
// user's click, until the unit, read again once it answers, tells every window what it holds. The
// write, its read back and the windows it refreshes are one action: a failing unit is told of once,
// after the control and the windows show what the unit holds.
struct ChangeViews {
  // The control keeps the change and the other windows are told.
  std::function<void()> taken;
  // The control is drawn again from what the unit holds.
  std::function<void()> showUnit;
  // The control shows unknown; without it, it is drawn again from the unit, whose value in doubt
  // is read again, and a reader that cannot read shows unknown itself.
  std::function<void()> showUnknown;
};

// `guarded` runs the change under the family's guard, which reports a failure, and answers whether
// the unit took it. A write that reports its own failure answers false rather than swallowing it,
// so that the rule here sees every failure.
inline ChangeOutcome ApplyChange(const std::function<bool()>& guarded, const ChangeViews& views) {
  const PutBackBeforeBox putBackFirst;
  const OneReportScope action;
  const ChangeOutcome outcome = OutcomeOf(guarded);
  if (outcome == ChangeOutcome::kTaken) {
    if (views.taken) views.taken();
    return outcome;
  }
  if (outcome == ChangeOutcome::kInDoubt && views.showUnknown) {
    views.showUnknown();
    return outcome;
  }
  const OneReportScope readBack;
  if (views.showUnit) views.showUnit();
  if (readBack.FailureMet() && views.showUnknown) views.showUnknown();
  return outcome;
}

}  // namespace controls
