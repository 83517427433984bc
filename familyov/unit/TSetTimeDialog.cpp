#include "familyov/unit/TSetTimeDialog.h"

#include <cstdio>
#include <ctime>
#include <memory>

#include "familyov/unit/ClockEvents.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvFunctionIds.h"

namespace namespaceOV {

namespace {

using namespace ovfunctions_res;

constexpr int kHoursPerHalfDay = 12;

// The dialog's own form: no trailing blank, hour 0 as 12.
std::string ClockFieldText(const TimeRecord& time) {
  const int shown = time.hour == 0                 ? kHoursPerHalfDay
                    : time.hour > kHoursPerHalfDay ? time.hour - kHoursPerHalfDay
                                                   : time.hour;
  char text[40];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", shown, time.minute, time.second);
  return text;
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

TSetTimeDialog::TSetTimeDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kSetTimeDialog),
      device_(device),
      time_(this, kClockTime),
      afternoon_(this, kAfternoon),
      dayOfWeek_(this, kClockDayOfWeek),
      daylightSaving_(this, kDaylightSaving) {
  OnCommand(kSetAsGiven, [this] { CmSetAsGiven(); });
  OnCommand(kSetTimeToPc, [this] { CmSetToPc(); });
  OnCommand(kSetDateToPc, [this] { CmSetDateToPc(); });
  OnCommand(kDaylightSaving, [this] { CmDaylightSaving(); });
}

void TSetTimeDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  time_.SetValidator(std::make_unique<ui::CharSetValidator>("0-9:"));
  for (int day = kFirstDay; day <= kLastDay; ++day) dayOfWeek_.AddString(DayName(day));
  if (!GuardedUnitCall(device_, [this] { ShowUnitClock(); })) {
    // A clock that could not be read shows no time, not the template's, nor a setting unread.
    time_.SetText("");
    afternoon_.ShowNoState();
    daylightSaving_.ShowNoState();
    clockOwed_.Owe();
  }
}

void TSetTimeDialog::ShowUnitClock() {
  TimeRecord time;
  gTimeObject.ReadTime(device_, time);
  const bool daylightSaving = gDaylightSavingObject.Read(device_);
  ShowTime(time);
  daylightSaving_.SetCheck(daylightSaving);
}

bool TSetTimeDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  return clockOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

void TSetTimeDialog::ShowTime(const TimeRecord& time) {
  time_.SetText(ClockFieldText(time));
  // A day the unit should not hold leaves the box empty rather than naming another.
  dayOfWeek_.SetSelection(
      time.dayOfWeek >= kFirstDay && time.dayOfWeek <= kLastDay ? time.dayOfWeek - 1 : -1);
  afternoon_.SetCheck(time.hour >= kHoursPerHalfDay);
}

bool TSetTimeDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) return true;
  return ui::Dialog::PreProcessKey(key);
}

void TSetTimeDialog::CmSetAsGiven() {
  if (!TimeToSet(dayOfWeek_.Selection(), time_.Text(), afternoon_.IsChecked())) {
    ui::MessageBox(this, "Choose the day of the week first.", "Set device date and time",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  GuardedUnitCall(device_, [&] {
    // What shows no time is the unit's, read now: an empty field is no midnight.
    if (time_.Text().empty() || !afternoon_.HasState()) {
      TimeRecord held;
      gTimeObject.ReadTime(device_, held);
      if (time_.Text().empty()) time_.SetText(ClockFieldText(held));
      if (!afternoon_.HasState()) afternoon_.SetCheck(held.hour >= kHoursPerHalfDay);
    }
    const auto time = TimeToSet(dayOfWeek_.Selection(), time_.Text(), afternoon_.IsChecked());
    ShowTime(*time);
    gTimeObject.WriteTime(device_, *time);
  });
}

void TSetTimeDialog::CmSetToPc() {
  const TimeRecord time = PcTime(LocalNow());
  GuardedUnitCall(device_, [&] { gTimeObject.WriteTime(device_, time); });
}

void TSetTimeDialog::CmSetDateToPc() {
  const DateRecord date = PcDate(LocalNow());
  GuardedUnitCall(device_, [&] { gDateObject.WriteDate(device_, date); });
}

void TSetTimeDialog::CmDaylightSaving() {
  const bool wanted = daylightSaving_.IsChecked();
  // A refused switch shows what the unit still holds; one whose answer never came shows unknown
  // until the unit, answering again, is read.
  ChangeOnUnit(device_, [&] { gDaylightSavingObject.Write(device_, wanted); },
               {.showUnit =
                    [this] {
                      GuardedUnitCall(device_, [this] {
                        daylightSaving_.SetCheck(gDaylightSavingObject.Read(device_));
                      });
                    },
                .showUnknown =
                    [this] {
                      daylightSaving_.ShowNoState();
                      clockOwed_.Owe();
                    }});
}

}  // namespace namespaceOV
