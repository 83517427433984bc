#include "sim/familyov/BusyPeriod.h"

namespace sim::familyov {

void BusyPeriod::Start() {
  pollsLeft_ = length_.polls;
  end_ = Clock::now() + length_.time;
}

bool BusyPeriod::Running() const { return pollsLeft_ > 0 && Clock::now() < end_; }

bool BusyPeriod::Poll() {
  if (!Running()) {
    pollsLeft_ = 0;
    return false;
  }
  --pollsLeft_;
  return true;
}

}  // namespace sim::familyov
