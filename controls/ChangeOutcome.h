#pragma once

#include <functional>

#include "bus/IQDevice.h"

namespace controls {

// Whether a write whose answer never came (on any unit) went out while the watch lived: the unit
// may have carried it out, so what it holds is unknown until it is read again (IQDevice::InDoubt).
class DoubtWatch {
 public:
  DoubtWatch() : unansweredBefore_(IQDevice::UnansweredWrites()) {}
  bool DoubtMet() const { return IQDevice::UnansweredWrites() != unansweredBefore_; }

 private:
  unsigned long unansweredBefore_;
};

// What became of a change the user made: the unit took it; it did not (it refused, or a request
// failed before anything was written); or a write's answer never came.
enum class ChangeOutcome { kTaken, kNotTaken, kInDoubt };

// `guarded` runs the change under the family's guard and answers whether it went through.
inline ChangeOutcome OutcomeOf(const std::function<bool()>& guarded) {
  const DoubtWatch watch;
  if (guarded()) return ChangeOutcome::kTaken;
  return watch.DoubtMet() ? ChangeOutcome::kInDoubt : ChangeOutcome::kNotTaken;
}

}  // namespace controls
