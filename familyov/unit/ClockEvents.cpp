#include "familyov/unit/ClockEvents.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <tuple>

#include "controls/TimeText.h"

namespace namespaceOV {

namespace {

constexpr std::array<const char*, 8> kDayNames = {"Noday",     "Sunday",   "Monday", "Tuesday",
                                                  "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 13> kMonthNames = {
    "NUL", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kHoursPerHalfDay = 12;
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;
constexpr int kYearsPerCentury = 100;

bool IsDay(int day) { return day >= kFirstDay && day <= kLastDay; }

std::vector<int> DaysBut(int first, int last, int ownDay) {
  std::vector<int> days;
  for (int day = first; day <= last; ++day) {
    if (day != ownDay) days.push_back(day);
  }
  return days;
}

}  // namespace

const char* DayName(int day) {
  return day >= 0 && day < static_cast<int>(kDayNames.size()) ? kDayNames[day] : kDayNames[0];
}

const char* MonthAbbreviation(int month) {
  return month >= 0 && month < static_cast<int>(kMonthNames.size()) ? kMonthNames[month]
                                                                    : kMonthNames[0];
}

std::string TwelveHourText(int hour, int minute, int second) {
  const char* half = hour < kHoursPerHalfDay ? "AM" : kAfternoonSuffix;
  const int shown = hour % kHoursPerHalfDay == 0 ? kHoursPerHalfDay : hour % kHoursPerHalfDay;
  char text[48];
  std::snprintf(text, sizeof text, "%d:%02d:%02d %s", shown, minute, second, half);
  return text;
}

std::string EventTimeText(const TTimerStruct& event) {
  return std::string(DayName(event.day)) + " " +
         TwelveHourText(event.hour, event.minute, event.second);
}

std::string EventLogicText(const TTimerStruct& event) {
  return "Activate logic " + std::to_string(event.logic);
}

std::string ClockText(const TimeRecord& time, const DateRecord& date) {
  char dateText[48];
  std::snprintf(dateText, sizeof dateText, "%s %d, %d ", MonthAbbreviation(date.month), date.day,
                date.century * kYearsPerCentury + date.yearInCentury);
  return std::string(DayName(time.dayOfWeek)) + ", " + dateText + " " +
         TwelveHourText(time.hour, time.minute, time.second);
}

std::vector<TTimerStruct*> ListedEvents(std::vector<TTimerStruct>& table) {
  std::vector<TTimerStruct*> listed;
  for (TTimerStruct& event : table) {
    if (event.day != 0) listed.push_back(&event);
  }
  std::ranges::stable_sort(listed, [](const TTimerStruct* a, const TTimerStruct* b) {
    return std::tie(a->day, a->hour, a->minute) < std::tie(b->day, b->hour, b->minute);
  });
  return listed;
}

int ListedCount(const std::vector<TTimerStruct>& table) {
  return static_cast<int>(std::ranges::count_if(table, [](const auto& e) { return e.day != 0; }));
}

TTimerStruct* FillFreeSlot(std::vector<TTimerStruct>& table, int day, const TTimerStruct* model) {
  const auto free = std::ranges::find_if(table, [](const auto& e) { return e.day == 0; });
  if (free == table.end()) return nullptr;
  TTimerStruct& event = *free;
  event.day = day;
  event.hour = model ? model->hour : 0;
  event.minute = model ? model->minute : 0;
  event.second = model ? model->second : 0;
  event.logic = model ? model->logic : kFirstLogicInput;
  return &event;
}

std::vector<int> AllWeekdaysBut(int ownDay) { return DaysBut(kMonday, kFriday, ownDay); }

std::vector<int> AllDaysBut(int ownDay) { return DaysBut(kFirstDay, kLastDay, ownDay); }

bool IsStorableEvent(const TTimerStruct& event) {
  return IsDay(event.day) && event.hour >= 0 && event.hour <= kLastHour && event.minute >= 0 &&
         event.minute <= kLastMinute && event.logic >= kFirstLogicInput &&
         event.logic <= kLastLogicInput;
}

std::optional<TimeRecord> TimeToSet(int daySelection, std::string_view typed, bool afternoon) {
  if (!IsDay(daySelection + 1)) return std::nullopt;
  TimeRecord time{.dayOfWeek = daySelection + 1};
  controls::ParseTime(typed, time.hour, time.minute, time.second);
  if (afternoon) time.hour += kHoursPerHalfDay;
  return time;
}

TimeRecord PcTime(const struct tm& local) {
  return {.dayOfWeek = local.tm_wday + kFirstDay,
          .hour = local.tm_hour,
          .minute = local.tm_min,
          .second = local.tm_sec};
}

DateRecord PcDate(const struct tm& local) {
  constexpr int kYearsSince = 1900;
  const int year = local.tm_year + kYearsSince;
  return {.day = local.tm_mday,
          .month = local.tm_mon + 1,
          .yearInCentury = year % kYearsPerCentury,
          .century = year / kYearsPerCentury};
}

}  // namespace namespaceOV
