#pragma once

#include <functional>

#include "bus/IQDevice.h"

namespace namespace8100 {

// What became of a change the user made: the unit took it; it did not (it refused, or a request
// failed before anything was written); or a write's answer never came, so the unit may have
// carried it out and what it holds is unknown until it is read again.
enum class ChangeOutcome { kTaken, kNotTaken, kInDoubt };

// `guarded` runs the change under the family's guard and answers whether it went through.
inline ChangeOutcome OutcomeOf(const std::function<bool()>& guarded) {
  const unsigned long unanswered = IQDevice::UnansweredWrites();
  if (guarded()) return ChangeOutcome::kTaken;
  return IQDevice::UnansweredWrites() != unanswered ? ChangeOutcome::kInDoubt
                                                    : ChangeOutcome::kNotTaken;
}

}  // namespace namespace8100
