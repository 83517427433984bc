#include "familyov/channels/TPinkDialog.h"

#include <vector>

#include "controls/DeviceErrorReport.h"
#include "controls/TypedEntry.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kLevelLimit = 11;
constexpr float kFineDb = 0.1f;
constexpr float kCoarseDb = 1.0f;

}  // namespace

int PinkNoiseDialogId(int outputs) {
  switch (outputs) {
    case 2:
      return kPinkNoise2Outputs;
    case 4:
      return kPinkNoise4Outputs;
    case 6:
      return kPinkNoise6Outputs;
    case 7:
      return kPinkNoise7Outputs;
    case 8:
      return kPinkNoise8Outputs;
    default:
      return 0;
  }
}

TPinkDialog::TPinkDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId),
      device_(device),
      level_(this, kPinkLevel, kLevelLimit),
      spin_(this, kPinkLevelSpin),
      enable_(this, kPinkEnable) {
  for (int o = 0; o < device.outputs; ++o) {
    mutes_.push_back(std::make_unique<ui::CheckBox>(this, kFirstPinkMute + o));
    OnCommand(kFirstPinkMute + o, [this, o] { CmOutputMute(o); });
  }
  OnCommand(kPinkEnable, [this] { CmEnable(); });
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message&) {
    EvSpin();
    return 0;
  });
  OnNotify(kPinkLevel, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyLevelText();
    return 0;
  });
}

void TPinkDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (int o = 0; o < static_cast<int>(mutes_.size()); ++o) NameMuteBox(o);
  level_.SetValidator(std::make_unique<ui::CharSetValidator>("0-9.-"));
  Refill();
}

void TPinkDialog::NameMuteBox(int output) {
  // A name the unit does not answer shows as unknown, not as the one read before.
  mutes_[static_cast<std::size_t>(output)]->SetText("");
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(device_.firstOutput + output);
    mutes_[static_cast<std::size_t>(output)]->SetText(gChannelNameObject.Read(device_));
  });
}

void TPinkDialog::Refill() {
  // What the unit does not answer shows as unknown.
  level_.SetText("");
  enable_.ShowNoState();
  for (auto& mute : mutes_) mute->ShowNoState();
  GuardedUnitCall(device_, [&] {
    enable_.SetCheck(gPinkNoiseEnableObject.Read(device_));
    level_.SetText(LevelText(gPinkNoiseLevelObject.Read(device_)));
    for (int o = 0; o < static_cast<int>(mutes_.size()); ++o) {
      gChannelMuteObject.SetElement(device_.firstOutput + o);
      mutes_[static_cast<std::size_t>(o)]->SetCheck(gChannelMuteObject.Read(device_));
    }
  });
}

void TPinkDialog::CmEnable() {
  // The capacity read, the switch and the windows it changes are one action.
  controls::OneReportScope action;
  const bool on = enable_.IsChecked();
  if (on && !RoomForSection(device_, this, kPinkNoise, "Pink noise")) {
    enable_.SetCheck(false);
    return;
  }
  ChangeOnUnit(device_, [&] { gPinkNoiseEnableObject.Write(device_, on); },
               {.taken =
                    [&] {
                      level_.Enable(on);
                      spin_.Enable(on);
                      NotifyRecord record{.code = PinkNoiseChanged};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { Refill(); },
                // The windows and the program's DSP count read again what the unit holds.
                .showUnknown =
                    [this] {
                      enable_.ShowNoState();
                      NotifyRecord record{.code = PinkNoiseChanged};
                      NotifyRoot(&record);
                    }});
}

void TPinkDialog::EvSpin() {
  float level = 0.0f;
  ChangeOnUnit(device_,
               [&] {
                 level =
                     kPinkNoiseLevelRange.Clamp(gPinkNoiseLevelObject.Read(device_) +
                                                ZoneStep(spin_.CurrentZone(), kFineDb, kCoarseDb));
                 gPinkNoiseLevelObject.Write(device_, level);
               },
               {.taken = [&] { level_.SetText(LevelText(level)); },
                .showUnit = [this] { Refill(); },
                .showUnknown = [this] { level_.SetText(""); }});
}

void TPinkDialog::ApplyLevelText() {
  controls::CommitEntry(level_, [&] {
    const std::optional<float> typed = ParseTypedDb(level_.Text(), kPinkNoiseLevelRange);
    GuardedUnitCall(device_, [&] {
      const float current = gPinkNoiseLevelObject.Read(device_);
      if (!typed) {
        level_.SetText(LevelText(current));
        return;
      }
      if (current != *typed) gPinkNoiseLevelObject.Write(device_, *typed);
    });
    if (typed) level_.SetText(LevelText(*typed));
  });
}

void TPinkDialog::CmOutputMute(int output) {
  // Each output's mute is a value of its own: the others keep what the unit holds, whatever
  // their boxes show.
  auto& box = *mutes_[static_cast<std::size_t>(output)];
  const int channel = device_.firstOutput + output;
  const bool muted = box.IsChecked();
  ChangeOnUnit(device_,
               [&] {
                 gChannelMuteObject.SetElement(channel);
                 gChannelMuteObject.Write(device_, muted);
               },
               {.taken =
                    [&] {
                      NotifyRecord record{.code = MuteChanged, .channel = channel};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { Refill(); },
                .showUnknown = [&box] { box.ShowNoState(); }});
}

bool TPinkDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down) return false;
  if (key.code == ui::key::kReturn) ApplyLevelText();
  return ui::Dialog::PreProcessKey(key);
}

void TPinkDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll || record->code == MuteChanged) Refill();
  if (record->code == ChannelRenamed && record->channel >= device_.firstOutput &&
      record->channel < device_.firstOutput + static_cast<int>(mutes_.size())) {
    NameMuteBox(record->channel - device_.firstOutput);
  }
}

std::unique_ptr<ui::Window> MakePinkDialog(TEditOVWindow& editWindow) {
  const int resourceId = PinkNoiseDialogId(editWindow.Device().outputs);
  if (resourceId == 0) return nullptr;
  return std::make_unique<OVChild<TPinkDialog>>(editWindow, "Pink noise", editWindow.Device(),
                                                nullptr, resourceId);
}

}  // namespace namespaceOV
