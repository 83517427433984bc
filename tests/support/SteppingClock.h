#pragma once

// Bounded waits that count polls instead of time. A wait reads its clock as it starts and after
// each poll; on a clock that moves on by a step at every reading, a bound of n steps allows about
// n polls however long each of them takes, so a loaded or stopped test program gives up on a unit
// no sooner than an idle one.

#include <chrono>
#include <functional>

namespace testsupport {

// A clock that moves on by `step` at every reading.
inline std::function<std::chrono::steady_clock::time_point()> SteppingClock(
    std::chrono::milliseconds step) {
  return [step, now = std::chrono::steady_clock::time_point{}]() mutable { return now += step; };
}

// A wait's bound (a limit and the clock `now` it runs on) of `polls` polls on a stepping clock.
template <typename Bound>
Bound PollCountBound(int polls) {
  constexpr std::chrono::milliseconds kStep{100};
  Bound bound;
  bound.limit = polls * kStep;
  bound.now = SteppingClock(kStep);
  return bound;
}

}  // namespace testsupport
