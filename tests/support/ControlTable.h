#pragma once

// The one walk every family's control table runs: every change every control of a window offers,
// made while the unit takes it, fails the write in each way a write fails, or answers nothing at
// all, each held to the rule that what the unit did not take never stays shown.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "sim/Fault.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/FaultKinds.h"

namespace testsupport {

// What a family's table tells the walk.
struct ControlTableHooks {
  // The window whose controls change, found again each time: a read again may make it anew.
  std::function<ui::Window&()> tested;
  // What every open window of the unit shows (ShownControls), each line led by its window, then
  // the program's copy of what the unit holds, a line per value.
  std::function<std::vector<std::string>()> shown;
  // Whether a line of `shown` is the tested window's or the program's copy's: those show what
  // the unit holds or unknown while a write is in doubt; other windows may still show what the
  // unit held before.
  std::function<bool(const std::string& line)> inTested;
  // The same windows opened anew on the unit read whole again, shown as `shown` shows them.
  std::function<std::vector<std::string>()> fresh;
  // Puts a fault on the unit; `answerAgain` takes every fault away and lets the unit's polls
  // resume and its read again settle.
  std::function<void(const sim::Fault& fault)> fail;
  std::function<void()> answerAgain;
  // How many failures the family's error dialog told since the last call.
  std::function<std::size_t()> takeReports;
  SweepOptions sweep;
};

// Every change of the tested window under `condition`: one report for each failed change and none
// for one taken; after a refusal every window and the program's copy as before; while the write
// is in doubt or the unit silent, the unit's value or unknown, line by line; once the unit answers,
// the unit's value everywhere, and at the end every open window as a freshly opened one.
void CheckEveryChange(const ControlTableHooks& hooks, const Condition& condition);

}  // namespace testsupport
