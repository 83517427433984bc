#pragma once

#include <functional>

#include "controls/ChangeOutcome.h"
#include "controls/DeviceErrorReport.h"

namespace controls {

// What a control shows after a change the user made on it, whatever the unit made of the change.
// A control changes, and other windows are told, only once the unit has taken the change. After a
// refusal the unit holds what it held, and the control is drawn again from that. A write whose
// answer never came may or may not have been carried out: the control shows unknown where it can,
// until the unit, read again once it answers, tells every window what it holds. The write, its
// read back and the windows it refreshes are one action: a failing unit is told of once.
struct ChangeViews {
  // The control keeps the change and the other windows are told.
  std::function<void()> taken;
  // The control is drawn again from what the unit holds.
  std::function<void()> showUnit;
  // The control shows unknown; without it, it is drawn again from the unit, whose value in doubt
  // is read again.
  std::function<void()> showUnknown;
};

// `guarded` runs the change under the family's guard, which reports a failure, and answers whether
// the unit took it.
inline ChangeOutcome ApplyChange(const std::function<bool()>& guarded, const ChangeViews& views) {
  const OneReportScope action;
  const ChangeOutcome outcome = OutcomeOf(guarded);
  const std::function<void()>& show = outcome == ChangeOutcome::kTaken ? views.taken
                                      : outcome == ChangeOutcome::kInDoubt && views.showUnknown
                                          ? views.showUnknown
                                          : views.showUnit;
  if (show) show();
  return outcome;
}

}  // namespace controls
