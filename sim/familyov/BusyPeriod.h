#pragma once

#include <chrono>

namespace sim::familyov {

// How long a unit stays busy after a command: until the program has polled it this many times or
// this much time has passed, whichever comes first, so a waiting program never waits long and a
// test needs no sleep.
struct BusyLength {
  int polls = 2;
  std::chrono::milliseconds time{200};
};

// A stretch of work the unit does by itself: started by a command, over after its length.
class BusyPeriod {
 public:
  explicit BusyPeriod(const BusyLength& length) : length_(length) {}

  void Start();
  // Counts one poll of the flag that shows the work; true while the work goes on.
  bool Poll();
  bool Running() const;

 private:
  using Clock = std::chrono::steady_clock;

  BusyLength length_;
  int pollsLeft_ = 0;
  Clock::time_point end_{};
};

}  // namespace sim::familyov
