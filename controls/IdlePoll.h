#pragma once

#include <functional>
#include <utility>

#include "bus/IQException.h"

class IQDevice;

namespace controls {

enum class PollOutcome {
  kResting,   // the unit's pause after a failure lasts: nothing was sent
  kAnswered,  // the poll went through
  kFailed,    // the unit did not answer (or the bus is down)
};

using PollFailureReport = std::function<void(const IQException& error)>;

// One idle poll of `device` through the backoff that all its windows share: nothing goes to a
// unit whose pause lasts, and the idle loop is woken when the pause ends; a failure starts or
// lengthens the pause and is reported through `report` only when no other poll has reported this
// spell of silence. An empty `report` keeps the failure quiet (a watch the user never sees) and
// leaves the report to the next poll that fails.
PollOutcome PollUnit(IQDevice& device, const std::function<void()>& poll,
                     const PollFailureReport& report);

// What a window could not read while its unit was silent (its tree, the unit's name in its
// caption, the switches it shows) is owed until the unit answers. Each idle pass tries `read`
// once through PollUnit, quietly, since the silence has been told of already; the first try that
// goes through settles the debt. `read` throws on a bus failure, and a try broken off leaves the
// read owed whole.
class OwedRead {
 public:
  explicit OwedRead(std::function<void()> read) : read_(std::move(read)) {}

  void Owe() { owed_ = true; }
  bool Owed() const { return owed_; }
  // One idle pass for `device`: kResting while nothing is owed or the unit's pause lasts.
  PollOutcome Settle(IQDevice& device);

 private:
  std::function<void()> read_;
  bool owed_ = false;
};

// One idle pass for a unit left in doubt by a write whose answer never came (IQDevice::InDoubt):
// the unit's read again (UnitReadAgain) reads it and tells every open window of it what it holds,
// through PollUnit, quietly, since the silence has been told of already. kResting while there is
// no doubt, no window names the read or the unit's pause lasts; a pass that fails leaves the unit
// in doubt for the next.
PollOutcome SettleDoubt(IQDevice& device);

}  // namespace controls
