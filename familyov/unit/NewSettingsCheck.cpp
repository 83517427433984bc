#include "familyov/unit/NewSettingsCheck.h"

#include <charconv>
#include <memory>
#include <string>

#include "controls/IdlePoll.h"
#include "controls/TInputDialog.h"
#include "controls/TProgressDialog.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/UnitCommands.h"
#include "familyov/unit/UnitPolling.h"
#include "familyov/unit/WaitProgress.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvCommandIds.h"

namespace namespaceOV {
namespace {

constexpr int kMaxMemoryChars = 3;

}  // namespace

TRefreshDialog::TRefreshDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : ui::Dialog(parent, ovres::kRefreshDialog), device_(device) {
  OnCommand(ovres::kSaveToMemoryButton, [this] { CmSaveToMemory(); });
}

void TRefreshDialog::CmSaveToMemory() {
  try {
    const std::string last = std::to_string(gLastMemoryObject.Read(device_));
    TInputDialog ask(this, "Save to memory",
                     "Last recalled memory was #" + last + ".  Save to:", last, kMaxMemoryChars,
                     std::make_unique<ui::RangeValidator>(1, device_.GetMemoryCount()));
    if (ask.Execute() != ui::kIdOk) return;
    int memory = 0;
    const std::string& text = ask.Answer();
    std::from_chars(text.data(), text.data() + text.size(), memory);
    if (memory < 1 || memory > device_.GetMemoryCount()) return;
    TProgressDialog progress(this);
    progress.Create();
    progress.SetText("Saving to memory " + std::to_string(memory) + "...");
    WaitProgress shown(device_, progress);
    gSaveMemoryObject.SaveMemory(device_, static_cast<uint8_t>(memory));
  } catch (const IQException& error) {
    ReportCommError(error, device_);
    return;
  }
  EndDialog(ui::kIdOk);
}

NewSettingsCheck::NewSettingsCheck(IQDeviceOrdavinex& device, ui::Window* owner)
    : device_(device), owner_(owner) {}

bool NewSettingsCheck::MayLoad() {
  if (!device_.settingsChanged) return true;
  if (TRefreshDialog(device_, owner_).Execute() != ui::kIdOk) {
    gNewSettingsObject.Write(device_, false);
    return false;
  }
  device_.settingsChanged = false;
  return true;
}

NewSettingsCheck::Outcome NewSettingsCheck::Check() {
  if (!device_.parametersReady) return Outcome::kSkipped;
  {
    MaskedStretch masked(device_);
    bool raised = false;
    switch (controls::PollUnit(device_, [&] { raised = gNewSettingsObject.Read(device_); }, {})) {
      case controls::PollOutcome::kResting:
        return Outcome::kSkipped;
      case controls::PollOutcome::kFailed:
        return Outcome::kPolled;
      case controls::PollOutcome::kAnswered:
        break;
    }
    if (!raised) return Outcome::kPolled;
    try {
      if (!MayLoad()) return Outcome::kKept;
      gNewSettingsObject.Write(device_, true);
    } catch (const IQException&) {
      // The unit went silent between the poll and its answer; the next poll finds out.
      return Outcome::kPolled;
    }
    TProgressDialog progress(owner_);
    progress.Create();
    progress.SetText("Unit is loading new settings.  Please wait..");
    WaitProgress shown(device_, progress);
    try {
      WaitNewSettingsLoaded(device_);
    } catch (const IQException& error) {
      // What the unit holds now is read all the same.
      ReportCommError(error, device_);
    }
  }
  RereadUnit(device_, false);
  return Outcome::kReloaded;
}

}  // namespace namespaceOV
