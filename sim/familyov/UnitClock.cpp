#include "sim/familyov/UnitClock.h"

namespace sim::familyov {
namespace {

using namespace std::chrono;

constexpr int64_t kDay = 24 * 60 * 60;
constexpr int64_t kWeek = 7 * kDay;

int64_t WeekSeconds(const UnitClock::Record& time) {
  return (time[0] - 1) * kDay + time[1] * 3600 + time[2] * 60 + time[3];
}

}  // namespace

UnitClock::UnitClock(Clock::time_point now)
    : weekSeconds_(WeekSeconds({1, 12, 0, 0})),
      date_(sys_days(year(2026) / January / 1)),
      set_(now) {}

int64_t UnitClock::SecondsSinceSet(Clock::time_point now) const {
  return now <= set_ ? 0 : duration_cast<seconds>(now - set_).count();
}

void UnitClock::Rebase(int64_t weekSeconds, sys_days date, Clock::time_point now) {
  weekSeconds_ = weekSeconds;
  date_ = date;
  set_ = now;
}

sys_days UnitClock::Today(Clock::time_point now) const {
  return date_ + ::std::chrono::days((weekSeconds_ % kDay + SecondsSinceSet(now)) / kDay);
}

void UnitClock::SetTime(const Record& time, Clock::time_point now) {
  Rebase(WeekSeconds(time), Today(now), now);
}

void UnitClock::SetDate(const Record& date, Clock::time_point now) {
  // A day the month lacks (31 February) runs on into the next month, as the unit's counter would.
  const sys_days firstOfMonth(year(date[3] * 100 + date[2]) / month(date[1]) / 1);
  Rebase(WeekSeconds(Time(now)), firstOfMonth + ::std::chrono::days(date[0] - 1), now);
}

UnitClock::Record UnitClock::Time(Clock::time_point now) const {
  const int64_t t = (weekSeconds_ + SecondsSinceSet(now)) % kWeek;
  const int64_t inDay = t % kDay;
  return {static_cast<uint8_t>(t / kDay + 1), static_cast<uint8_t>(inDay / 3600),
          static_cast<uint8_t>(inDay / 60 % 60), static_cast<uint8_t>(inDay % 60)};
}

UnitClock::Record UnitClock::Date(Clock::time_point now) const {
  const year_month_day ymd{Today(now)};
  const int y = static_cast<int>(ymd.year());
  return {static_cast<uint8_t>(static_cast<unsigned>(ymd.day())),
          static_cast<uint8_t>(static_cast<unsigned>(ymd.month())), static_cast<uint8_t>(y % 100),
          static_cast<uint8_t>(y / 100)};
}

}  // namespace sim::familyov
