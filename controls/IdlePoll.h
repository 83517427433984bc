#pragma once

#include <functional>

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

}  // namespace controls
