#include "familyov/channels/DelayPanes.h"

#include <memory>

#include "controls/DeviceErrorReport.h"
#include "controls/TypedEntry.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/GroupMoves.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvChannelIds.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;

constexpr const char* kDelayCharacters = "0-9.msecft ";

int ReadUnits(IQDeviceOrdavinex& device) { return gDelayUnitsObject.Read(device); }

int ReadDelay(IQDeviceOrdavinex& device, int channel) {
  gChannelDelayObject.SetElement(channel);
  return static_cast<int32_t>(gChannelDelayObject.Read(device));
}

// Samples of a spin zone: a display unit down, a sample down, a sample up, a display unit up.
int SpinStep(int zone, int units) {
  const int perUnit = static_cast<int>(SamplesPerUnit(units).value_or(0.0));
  switch (zone) {
    case TQuadButton::kLowerLeft:
      return -perUnit;
    case TQuadButton::kLowerRight:
      return -1;
    case TQuadButton::kUpperRight:
      return 1;
    case TQuadButton::kUpperLeft:
      return perUnit;
    default:
      return 0;
  }
}

}  // namespace

TDelayDialog::TDelayDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel)
    : ui::Dialog(parent, kDelayDialog),
      TDataWindow(parent),
      device_(device),
      channel_(channel),
      edit_(this, kDelayEdit, kTextLimit),
      box_(this, kDelayBox),
      spin_(this, kDelaySpin),
      bypass_(this, kDelayBypass) {
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message&) {
    Spin(spin_.CurrentZone());
    return ui::Param{0};
  });
  OnNotify(kDelayEdit, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitTyped();
    return ui::Param{0};
  });
  OnCommand(kDelayBypass, [this] { CmBypass(); });
}

void TDelayDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ReadName();
  edit_.SetValidator(std::make_unique<ui::CharSetValidator>(kDelayCharacters));
  ShowDelay();
  // A virtual unit has every feature; its box stays as the template makes it.
  if (!device_.IsOnline()) return;
  bypass_.Enable(device_.HasFeature(kFeatureDelayBypass));
  ShowBypass();
}

void TDelayDialog::ShowBypass() {
  if (!device_.IsOnline() || !device_.HasFeature(kFeatureDelayBypass)) return;
  bypass_.ShowNoState();
  GuardedUnitCall(device_, [&] {
    gDelayBypassObject.SetElement(channel_);
    bypass_.SetCheck(gDelayBypassObject.Read(device_));
  });
}

void TDelayDialog::ReadName() {
  // A name the unit does not answer shows as unknown, not as the one read before.
  box_.SetText("");
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    box_.SetText(gChannelNameObject.Read(device_));
  });
}

// A delay the unit does not answer shows as unknown.
void TDelayDialog::ShowDelay() {
  edit_.SetText("");
  GuardedUnitCall(
      device_, [&] { edit_.SetText(DelayText(ReadDelay(device_, channel_), ReadUnits(device_))); });
}

void TDelayDialog::ApplyStep(int step) {
  DelayMove move;
  ChangeOnUnit(device_, [&] { move = MoveChannelDelay(device_, channel_, step); },
               {.taken =
                    [&] {
                      NotifyRecord changed =
                          move.group == 0 ? NotifyRecord{DelayChanged, channel_, 0, nullptr}
                                          : NotifyRecord{GroupDelayStep, move.group, 0, &move.step};
                      NotifyRoot(&changed);
                    },
                .showUnit = [this] { ShowDelay(); },
                .showUnknown = [this] { edit_.SetText(""); }});
}

void TDelayDialog::Spin(int zone) {
  int step = 0;
  if (!GuardedUnitCall(device_, [&] { step = SpinStep(zone, ReadUnits(device_)); })) return;
  if (step != 0) ApplyStep(step);
}

void TDelayDialog::CommitTyped() {
  controls::CommitEntry(edit_, [&] {
    int step = 0;
    const bool read = GuardedUnitCall(device_, [&] {
      const auto typed = ParseDelay(edit_.Text(), ReadUnits(device_), device_.GetDelayCapacity());
      if (typed) step = *typed - ReadDelay(device_, channel_);
    });
    // A text without a number, or the delay the channel has, changes nothing.
    if (read && step != 0) {
      ApplyStep(step);
    } else {
      ShowDelay();
    }
  });
}

void TDelayDialog::CmBypass() {
  ChangeOnUnit(device_,
               [&] {
                 gDelayBypassObject.SetElement(channel_);
                 gDelayBypassObject.Write(device_, bypass_.IsChecked());
               },
               {.taken =
                    [this] {
                      NotifyRecord changed{DelayChanged, channel_, 0, nullptr};
                      NotifyRoot(&changed);
                    },
                .showUnit = [this] { ShowBypass(); },
                .showUnknown = [this] { bypass_.ShowNoState(); }});
}

void TDelayDialog::Notify(NotifyRecord* record) {
  switch (record->code) {
    case DelayChanged:
      if (record->channel == channel_) ShowDelay();
      break;
    case RefreshAll:
      ShowBypass();
      ShowDelay();
      break;
    case DelayUnitsChanged:
    case GroupDelayStep:
      ShowDelay();
      break;
    case ChannelRenamed:
      if (record->channel == channel_) ReadName();
      break;
    default:
      break;
  }
  TDataWindow::Notify(record);
}

bool TDelayDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) {
    if (!key.down) CommitTyped();
    return true;
  }
  if (key.code == ui::key::kEscape) {
    if (key.down) ShowDelay();
    return true;
  }
  return ui::Dialog::PreProcessKey(key);
}

TDelayUnitsDialog::TDelayUnitsDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kDelayUnitsDialog),
      TDataWindow(parent),
      device_(device),
      msec_(this, kUnitsMsec),
      feet_(this, kUnitsFeet),
      meters_(this, kUnitsMeters) {
  for (int id : {kUnitsMsec, kUnitsFeet, kUnitsMeters}) OnCommand(id, [this] { CmUnits(); });
}

void TDelayUnitsDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ReadUnits();
}

void TDelayUnitsDialog::Check(int units) {
  msec_.SetCheck(units == kDelayMsec);
  feet_.SetCheck(units == kDelayFeet);
  meters_.SetCheck(units == kDelayMeters);
}

void TDelayUnitsDialog::ReadUnits() {
  for (ui::RadioButton* units : {&msec_, &feet_, &meters_}) units->ShowNoState();
  GuardedUnitCall(device_, [&] { Check(gDelayUnitsObject.Read(device_)); });
}

void TDelayUnitsDialog::CmUnits() {
  int units = feet_.IsChecked() ? kDelayFeet : meters_.IsChecked() ? kDelayMeters : kDelayMsec;
  ChangeOnUnit(device_, [&] { gDelayUnitsObject.Write(device_, static_cast<uint8_t>(units)); },
               {.taken =
                    [&] {
                      NotifyRecord changed{DelayUnitsChanged, 0, 0, &units};
                      NotifyRoot(&changed);
                    },
                // Every delay, and these boxes, read again in the units the unit holds: a unit
                // that does not answer leaves them unknown.
                .showUnit = [this] { TellUnitsRead(); },
                .showUnknown = [this] { TellUnitsRead(); }});
}

void TDelayUnitsDialog::TellUnitsRead() {
  NotifyRecord changed{DelayUnitsChanged, 0, 0, nullptr};
  NotifyRoot(&changed);
}

void TDelayUnitsDialog::Notify(NotifyRecord* record) {
  if (record->code == DelayUnitsChanged && record->pointer != nullptr) {
    Check(*static_cast<const int*>(record->pointer));
  } else if (record->code == RefreshAll || record->code == DelayUnitsChanged) {
    ReadUnits();
  }
  TDataWindow::Notify(record);
}

bool TDelayUnitsDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down && (key.code == ui::key::kReturn || key.code == ui::key::kEscape)) return true;
  return ui::Dialog::PreProcessKey(key);
}

}  // namespace namespaceOV
