#include "familyov/unit/MemoryPanes.h"

#include <memory>
#include <string>

#include "controls/CarriedName.h"
#include "controls/DeviceErrorReport.h"
#include "controls/TypedEntry.h"
#include "familyov/unit/CommandOutcome.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvFunctionIds.h"

namespace namespaceOV {

namespace {

using namespace ovfunctions_res;

constexpr const char* kNameCharacters = "0-9 a-zA-Z/,#()&-";
constexpr int kLampRecalledLast = 3;  // green
constexpr int kLampDark = 5;          // unlit, the button face

}  // namespace

TMemoryTitleDialog::TMemoryTitleDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kMemoryTitleDialog), TDataWindow(parent), device_(device) {
  OnCommand(kSaveToAll, [this] { CmSaveAll(); });
}

bool TMemoryTitleDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn || key.code == ui::key::kEscape) return true;
  return ui::Dialog::PreProcessKey(key);
}

void TMemoryTitleDialog::CmSaveAll() {
  if (!Confirmed(this, "Save current settings over ALL memories?", "Save all")) return;
  const int count = device_.GetMemoryCount();
  int memory = 1;
  std::exception_ptr failure;
  {
    ProgressWindow progress;
    ProgressScope scope(&progress, count, "Saving...");
    // The first failure ends the run: later memories keep what they held.
    failure = FailureOf([&] {
      for (; memory <= count; ++memory) {
        gSaveMemoryObject.SaveMemory(device_, static_cast<uint8_t>(memory));
        scope.Step(memory);
      }
    });
  }
  if (!failure) return;
  TellCommandOutcome(
      this, device_,
      TakeFailureText(device_, failure) + familycommon::SaveAllNotFinishedText(memory), "Save all");
}

TMemoryDialog::TMemoryDialog(ui::Window* parent, IQDeviceOrdavinex& device, int memory)
    : ui::Dialog(parent, kMemoryRowDialog),
      TDataWindow(parent),
      device_(device),
      memory_(memory),
      name_(this, kMemoryName, kNameLimit),
      number_(this, kMemoryNumber),
      lamp_(this, kMemoryLamp) {
  lamp_.SetStyle(TLEDButton::kColoredStyle);
  lamp_.SetState(TLEDButton::kOff);
  OnCommand(kMemorySave, [this] { CmSave(); });
  OnCommand(kMemoryRecall, [this] { CmRecall(); });
  OnNotify(kMemoryName, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitName();
    return 0;
  });
  OnMessage(ui::msg::kSetFocus, [this](const ui::Message&) {
    name_.SetFocus();
    name_.SetSelection(0, kNameLimit + 1);
    return 0;
  });
}

void TMemoryDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  number_.SetText(std::to_string(memory_));
  name_.SetValidator(std::make_unique<ui::CharSetValidator>(kNameCharacters));
  ShowUnitName();
  UpdateLed();
}

void TMemoryDialog::ShowUnitName() {
  std::string name;
  if (!GuardedUnitCall(device_, [&] { name = UnitName(); })) rowOwed_.Owe();
  name_.SetText(name);
}

std::string TMemoryDialog::UnitName() {
  gMemoryNameObject.SetElement(memory_ - 1);
  return gMemoryNameObject.Read(device_);
}

int TMemoryDialog::LampOfUnit() {
  return gLastMemoryObject.Read(device_) == memory_ ? kLampRecalledLast : kLampDark;
}

void TMemoryDialog::ShowLamp(int state) {
  lamp_.SetState(state);
  lamp_.Redraw();
}

void TMemoryDialog::UpdateLed() {
  if (!device_.HasFeature(kFeatureLastMemory)) return;
  // A memory the unit did not say it recalled last is neither lit nor dark.
  int state = TLEDButton::kUnknownState;
  if (!GuardedUnitCall(device_, [&] { state = LampOfUnit(); })) rowOwed_.Owe();
  ShowLamp(state);
}

void TMemoryDialog::ReadRow() {
  const std::string name = UnitName();
  // A name the user is typing meanwhile stays, to be committed as typed.
  if (!name_.IsModified()) name_.SetText(name);
  if (device_.HasFeature(kFeatureLastMemory)) ShowLamp(LampOfUnit());
}

bool TMemoryDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  return rowOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

void TMemoryDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll) {
    ShowUnitName();
    UpdateLed();
  }
  TDataWindow::Notify(record);
}

bool TMemoryDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (!key.down) return ui::Dialog::PreProcessKey(key);
  if (key.code == ui::key::kReturn) {
    CommitName();
    return true;
  }
  if (key.code == ui::key::kTab) {
    if (auto* group = dynamic_cast<TGroupWindow*>(Parent())) {
      group->MoveFocus(this, (key.modifiers & ui::kShiftKey) != 0);
    }
    return true;
  }
  if (key.code == ui::key::kEscape) {
    // What was typed goes, whether or not the unit answers: it was never the unit's.
    ShowUnitName();
    return true;
  }
  return ui::Dialog::PreProcessKey(key);
}

void TMemoryDialog::CommitName() {
  controls::CommitEntry(name_, [&] {
    const std::string text = name_.Text().substr(0, kNameLimit);
    if (controls::RefusedName(this, text, "Memory name")) {
      GuardedUnitCall(device_, [&] { name_.SetText(UnitName()); });
      return;
    }
    GuardedUnitCall(device_, [&] {
      if (text == UnitName()) return;
      gMemoryNameObject.SetElement(memory_ - 1);
      gMemoryNameObject.Write(device_, text);
      NotifyRecord record{.code = MemoryRenamed, .channel = memory_ - 1};
      NotifyRoot(&record);
    });
  });
}

TMemoryDialog::RunOutcome TMemoryDialog::ConfirmedThenRun(const std::string& before,
                                                          const std::string& after,
                                                          const std::string& caption,
                                                          const std::string& waitText,
                                                          const std::function<void()>& operation,
                                                          std::exception_ptr& failure) {
  std::string name;
  if (!GuardedUnitCall(device_, [&] { name = UnitName(); })) return RunOutcome::kNotRead;
  if (!Confirmed(this, before + std::to_string(memory_) + ", '" + name + "'" + after, caption)) {
    return RunOutcome::kDeclined;
  }
  failure = FailureOf([&] { WithProgress(waitText, operation); });
  return failure ? RunOutcome::kFailed : RunOutcome::kDone;
}

void TMemoryDialog::CmSave() {
  // The name read before the question and the save are one command: one failure, one report.
  controls::OneReportScope command;
  std::exception_ptr failure;
  switch (ConfirmedThenRun(
      "Copy current settings over memory ", "?", "Save to memory", "Saving...",
      [&] { gSaveMemoryObject.SaveMemory(device_, static_cast<uint8_t>(memory_)); }, failure)) {
    case RunOutcome::kNotRead:
    case RunOutcome::kDeclined:
      return;
    case RunOutcome::kDone:
      UpdateLed();
      return;
    case RunOutcome::kFailed: {
      // The closing message tells of the failure: the lamp's read on a silent unit is passed over.
      const std::string failureText = TakeFailureText(device_, failure);
      UpdateLed();
      TellCommandOutcome(this, device_, failureText + familycommon::kSaveNotFinishedText,
                         "Save to memory");
      return;
    }
  }
}

void TMemoryDialog::CmRecall() {
  controls::OneReportScope command;
  std::exception_ptr failure;
  const RunOutcome outcome = ConfirmedThenRun(
      "Recall memory ", " over current settings?", "Recall memory", "Recalling...",
      [&] { gRecallMemoryObject.RecallMemory(device_, static_cast<uint8_t>(memory_)); }, failure);
  if (outcome == RunOutcome::kNotRead || outcome == RunOutcome::kDeclined) return;
  // Even a recall that failed may have changed the unit: what it holds is read. A read refused
  // once is made again, and counts when that one gets through.
  device_.InvalidateValues();
  std::exception_ptr readFailure;
  {
    ProgressWindow progress;
    readFailure = FailureOf([&] { device_.ReadDeviceParameters(&progress); });
  }
  if (device_.FiltersStale()) {
    // A unit that stopped answering has nothing for the views to read: they are refreshed when
    // its edit window finds it answering again.
    TellCommandOutcome(this, device_,
                       TakeFailureText(device_, failure ? failure : readFailure) +
                           familycommon::kStoppedAnsweringText,
                       "Recall memory");
    return;
  }
  if (failure) {
    TellCommandOutcome(this, device_,
                       TakeFailureText(device_, failure) + familycommon::kRecallNotFinishedText,
                       "Recall memory");
  } else if (readFailure) {
    GuardedUnitCall(device_, [&] { std::rethrow_exception(readFailure); });
  }
  NotifyRecord record{.code = RefreshAll};
  NotifyRoot(&record);
}

}  // namespace namespaceOV
