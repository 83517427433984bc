#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct tm;

#include "familyov/unit/OVCodecs.h"

// The clock-event table and the unit clock as the clock-event editor shows and changes them:
// plain functions over the device's table, so the windows only read, call and draw.
namespace namespaceOV {

inline constexpr int kFirstDay = 1;  // Sunday
inline constexpr int kLastDay = 7;   // Saturday
inline constexpr int kMonday = 2;
inline constexpr int kFriday = 6;
inline constexpr int kFirstLogicInput = 1;
inline constexpr int kLastLogicInput = 31;
inline constexpr const char* kAfternoonSuffix = "PM";

// "Noday", "Sunday" .. "Saturday"; a number outside 0..7 (a unit's bad byte) reads as "Noday".
const char* DayName(int day);
// "NUL", "Jan" .. "Dec"; a number outside 0..12 reads as "NUL".
const char* MonthAbbreviation(int month);

// "h:mm:ss AM" on a 12-hour clock, hour 0 as 12, the afternoon suffix from hour 12 on.
std::string TwelveHourText(int hour, int minute, int second);
// The list's two columns: "Wednesday 3:30:00 PM" and "Activate logic 4".
std::string EventTimeText(const TTimerStruct& event);
std::string EventLogicText(const TTimerStruct& event);
// "Sunday, Jan 1, 2026  12:00:00 PM", the unit's clock as the editor shows it running.
std::string ClockText(const TimeRecord& time, const DateRecord& date);

// The events that are set (day not 0), earliest in the week first; seconds are not compared.
std::vector<TTimerStruct*> ListedEvents(std::vector<TTimerStruct>& table);
int ListedCount(const std::vector<TTimerStruct>& table);
// Fills the first empty slot with a new event on `day`: time and logic from `model` when there is
// one, else midnight and logic 1. None when every slot is taken.
TTimerStruct* FillFreeSlot(std::vector<TTimerStruct>& table, int day, const TTimerStruct* model);

// The days a copy command makes events on for an event on `ownDay`.
std::vector<int> AllWeekdaysBut(int ownDay);
std::vector<int> AllDaysBut(int ownDay);

// Whether the unit can hold the event: a day of the week, a time of day and a logic input.
bool IsStorableEvent(const TTimerStruct& event);

// The unit-clock dialog's "Set as given": the day from the day box (0-based selection), the time
// as typed on the 12-hour clock ("h:m:s"; a missing or unreadable part is 0, an hour above 11 is 0,
// minutes and seconds above 59 are 59), 12 hours more when afternoon is ticked. None when no day is
// chosen: a clock without a weekday is not a time the unit can hold.
std::optional<TimeRecord> TimeToSet(int daySelection, std::string_view typed, bool afternoon);
// The computer's local time and date as the unit's clock records hold them (Sunday is day 1).
TimeRecord PcTime(const struct tm& local);
DateRecord PcDate(const struct tm& local);

}  // namespace namespaceOV
