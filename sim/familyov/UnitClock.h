#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace sim::familyov {

// The unit's real-time clock: the time record (day of week 1..7, hour, minute, second) and the
// date record (day, month, year in the century, century) run on from what was last set, each
// midnight turning the day of the week and the date together.
class UnitClock {
 public:
  using Clock = std::chrono::steady_clock;
  using Record = std::array<uint8_t, 4>;

  // Sunday noon, 1 January 2026, as the unit leaves the factory.
  explicit UnitClock(Clock::time_point now = Clock::now());

  // Records are taken as given: the unit checks their ranges before they get here.
  void SetTime(const Record& time, Clock::time_point now = Clock::now());
  void SetDate(const Record& date, Clock::time_point now = Clock::now());
  Record Time(Clock::time_point now = Clock::now()) const;
  Record Date(Clock::time_point now = Clock::now()) const;

 private:
  // Seconds into the week (Sunday 00:00:00 is 0) and the date, as they stood at `set_`.
  int64_t weekSeconds_ = 0;
  std::chrono::sys_days date_;
  Clock::time_point set_;

  int64_t SecondsSinceSet(Clock::time_point now) const;
  std::chrono::sys_days Today(Clock::time_point now) const;
  void Rebase(int64_t weekSeconds, std::chrono::sys_days date, Clock::time_point now);
};

}  // namespace sim::familyov
