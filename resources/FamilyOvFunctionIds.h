#pragma once

// Resource, control and command numbers of the newer family's memory, logic and clock-event
// windows.
namespace ovfunctions_res {

// Dialog templates.
inline constexpr int kLogicDialog = 1;
inline constexpr int kMemoryRowDialog = 51;
inline constexpr int kTimerDialog = 67;
inline constexpr int kSetTimeDialog = 68;
inline constexpr int kMemoryTitleDialog = 73;

// Bitmaps: strips of 16-pixel images on white, which is transparent.
inline constexpr int kLogicRowImages = 6;  // an input, the input fired last
// The clock-event editor's list and tool bar; clear of the program's icon numbers.
inline constexpr int kEventImage = 3120;
inline constexpr int kDeleteImage = 3112;

// Memory rows and their title.
inline constexpr int kMemorySave = 101;
inline constexpr int kMemoryRecall = 102;
inline constexpr int kMemoryName = 103;
inline constexpr int kMemoryLamp = 104;
inline constexpr int kMemoryNumber = 307;
inline constexpr int kSaveToAll = 101;

// Logic dialog; the five boxes of each row run from the bit worth 16 to the bit worth 1.
inline constexpr int kFirstLogicInBit = 101;
inline constexpr int kLogicInNumber = 106;
inline constexpr int kLogicInUpDown = 107;
inline constexpr int kFirstLogicOutBit = 108;
inline constexpr int kLogicOutNumber = 113;
inline constexpr int kLogicOutUpDown = 114;
inline constexpr int kTriggerNow = 116;
inline constexpr int kRecalledMemory = 120;
inline constexpr int kLogicList = 201;

// Clock-event editor and the unit-clock dialog.
inline constexpr int kClockDisplay = 323;
inline constexpr int kEventTime = 101;
inline constexpr int kSetClock = 102;
inline constexpr int kAfternoon = 107;
inline constexpr int kEventDay = 110;
inline constexpr int kEventLogic = 111;
inline constexpr int kEventList = 101;
inline constexpr int kClockTime = 101;
inline constexpr int kSetAsGiven = 102;
inline constexpr int kClockDayOfWeek = 103;
inline constexpr int kSetDateToPc = 104;
inline constexpr int kDaylightSaving = 105;
inline constexpr int kSetTimeToPc = 108;

// Commands of the clock-event editor; copying to one day runs from Sunday to Saturday.
inline constexpr int kCmAllDays = 51701;
inline constexpr int kCmNewEvent = 51704;
inline constexpr int kCmDeleteEvents = 51705;
inline constexpr int kCmAllWeekdays = 51706;
inline constexpr int kCmFirstCopyToDay = 51707;
inline constexpr int kCmLastCopyToDay = 51713;
// The clock-event editor has no menu: its tool bar's hints stand in a string table of their own.
inline constexpr int kClockEventHints = 51700;

// Adds the templates and images above to the program's resources.
void RegisterFunctionDialogs();

}  // namespace ovfunctions_res
