#pragma once

#include <chrono>
#include <functional>

#include "bus/IQException.h"

class IQDevice;

namespace namespace8100 {

inline constexpr const char* kNotReadyText = "Timeout elapsed waiting for device to become ready.";

class NotReadyTimeout : public IQException {
 public:
  std::string GetText() const override { return kNotReadyText; }
  const char* what() const noexcept override { return kNotReadyText; }
};

// A unit answers not-ready while it stores a memory, erases its flash or reboots. The count is the
// units' own limit; the time keeps a unit that answers slowly, or was unplugged, from freezing the
// program for 2000 reply time-outs.
struct ReadyBound {
  using Clock = std::chrono::steady_clock;
  int maxPolls = 2000;
  std::chrono::milliseconds limit = std::chrono::seconds(20);
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
  // Told after each not-ready poll how much of the bound has passed, 0 to 1, so a dialog can show
  // it.
  std::function<void(double)> onPoll;
};

// Reads the unit's ready flag until it is set. Throws NotReadyTimeout once either bound has
// passed; a bus failure of a poll ends the wait with its own exception.
void WaitReady(IQDevice& device, const ReadyBound& bound);

// A unit's own ready waits, before each write and after each store or recall of a memory. Once a
// wait has passed its bound, the unit is taken as stuck: each later wait asks it once and gives up
// at once while it is still not ready, so that a command and the put-back after its failure tell
// the user within one bound, not one bound per write. The first answer of ready ends that. A wait
// that meets a not-ready answer shows the user that the program waits (ReadyWaitShown).
class ReadyWaits {
 public:
  void SetBound(ReadyBound bound);
  const ReadyBound& Bound() const { return bound_; }
  void Wait(IQDevice& device);
  // Whether the last wait gave up and no poll has found the unit ready since: no write has gone
  // to it meanwhile.
  bool Stuck() const { return stuck_; }

 private:
  ReadyBound bound_;
  bool stuck_ = false;
};

// The same for a unit that reboots: it may leave polls unanswered for a while, and such a poll
// counts as not ready. So many failures in a row that the unit must be gone throw
// NotReadyTimeout.
void WaitReadyThroughReboot(IQDevice& device, const ReadyBound& bound);

}  // namespace namespace8100
