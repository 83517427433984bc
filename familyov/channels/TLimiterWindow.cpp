#include "familyov/channels/TLimiterWindow.h"

#include <cmath>

#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "controls/TypedEntry.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/channels/GroupAssignment.h"
#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;
constexpr float kFineDb = 0.1f;
constexpr float kCoarseDb = 1.0f;
// A typed threshold this close to the unit's is taken as the same.
constexpr float kThresholdResolutionDb = 0.09f;
// The meter shows the reading from -40 dB (empty) to 0 dB (full).
constexpr int kMeterSpanDb = 40;
constexpr int kLimiterGroups = 6;
constexpr const char* kReleaseTexts[] = {"Slow", "Medium", "Fast"};

}  // namespace

TLimiterDialog::TLimiterDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel,
                               UnitPoller& poller)
    : ui::Dialog(parent, kLimiterPane),
      TDataWindow(parent),
      device_(device),
      channel_(channel),
      caption_(this, kLimCaption),
      threshold_(this, kLimThreshold),
      release_(this, kLimRelease),
      soft_(this, kLimSoft),
      hard_(this, kLimHard),
      meter_(this, kLimMeter),
      meterText_(this, kLimMeterText),
      enable_(this, kLimEnable),
      spin_(this, kLimThresholdSpin),
      live_(poller, *this) {
  OnCommand(kLimEnable, [this] { CmEnable(); });
  const auto knee = [this] {
    const bool hard = !soft_.IsChecked();
    ChangeOnUnit(device_,
                 [&] {
                   gLimiterKneeObject.SetElement(channel_);
                   gLimiterKneeObject.Write(device_, hard);
                 },
                 {.showUnit = [this] { FillControls(kReadFromUnit); },
                  .showUnknown =
                      [this] {
                        soft_.ShowNoState();
                        hard_.ShowNoState();
                      }});
  };
  OnCommand(kLimSoft, knee);
  OnCommand(kLimHard, knee);
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message&) {
    EvSpin();
    return 0;
  });
  OnNotify(kLimRelease, ui::Notify::SelChange, [this](const ui::Notification&) {
    const int selection = release_.Selection();
    if (selection < 0) return 0;
    ChangeOnUnit(device_,
                 [&] {
                   gLimiterSpeedObject.SetElement(channel_);
                   gLimiterSpeedObject.Write(device_, static_cast<uint8_t>(selection));
                 },
                 {.showUnit = [this] { FillControls(kReadFromUnit); },
                  .showUnknown = [this] { release_.SetSelection(-1); }});
    return 0;
  });
  OnNotify(kLimThreshold, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyTypedThreshold();
    return 0;
  });
}

void TLimiterDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ShowCaption();
  threshold_.SetValidator(std::make_unique<ui::CharSetValidator>("-0-9."));
  meter_.SetRange(0, kMeterSpanDb);
  meter_.SetValue(kMeterSpanDb);
  for (const char* text : kReleaseTexts) release_.AddString(text);
  FillControls(kReadFromUnit);
}

void TLimiterDialog::ShowCaption() {
  // A name the unit does not answer leaves the frame unnamed, not named by the template.
  std::string name;
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    name = gChannelNameObject.Read(device_);
  });
  caption_.SetText(name);
}

void TLimiterDialog::EnableSettings(bool enable) {
  for (ui::Window* control :
       std::initializer_list<ui::Window*>{&soft_, &hard_, &threshold_, &spin_, &release_}) {
    control->Enable(enable);
  }
}

void TLimiterDialog::ShowSettingsUnknown() {
  soft_.ShowNoState();
  hard_.ShowNoState();
  release_.SetSelection(-1);
  threshold_.SetText("");
}

// A limiter whose switch the unit does not answer is neither on nor off: nothing of it is shown,
// and nothing of it can be changed until the unit is read again.
void TLimiterDialog::ShowUnknown() {
  enable_.ShowNoState();
  EnableSettings(false);
  ShowSettingsUnknown();
}

void TLimiterDialog::FillControls(int state) {
  bool on = state != 0;
  if (state == kReadFromUnit && !GuardedUnitCall(device_, [&] {
        gLimiterEnableObject.SetElement(channel_);
        on = gLimiterEnableObject.Read(device_);
      })) {
    ShowUnknown();
    return;
  }
  EnableSettings(on);
  enable_.SetCheck(on);
  // An off limiter's settings are greyed, shown as the unit holds them; what the unit does not
  // answer shows as unknown.
  ShowSettingsUnknown();
  GuardedUnitCall(device_, [&] {
    gLimiterSpeedObject.SetElement(channel_);
    const int speed = gLimiterSpeedObject.Read(device_);
    // A byte the list does not hold selects nothing.
    release_.SetSelection(speed < static_cast<int>(std::size(kReleaseTexts)) ? speed : -1);
    gLimiterKneeObject.SetElement(channel_);
    const bool hardKnee = gLimiterKneeObject.Read(device_);
    (hardKnee ? hard_ : soft_).SetCheck(true);
    gLimiterThresholdObject.SetElement(channel_);
    threshold_.SetText(LevelText(gLimiterThresholdObject.Read(device_)));
  });
}

void TLimiterDialog::CmEnable() {
  const bool on = enable_.IsChecked();
  // The capacity read, the switch and the windows it changes are one action.
  const controls::OneReportScope action;
  if (on && !RoomForSection(device_, this, kLimiter, "Limiter")) {
    enable_.SetCheck(false);
    return;
  }
  ChangeOnUnit(device_,
               [&] {
                 gLimiterEnableObject.SetElement(channel_);
                 gLimiterEnableObject.Write(device_, on);
               },
               {.taken =
                    [&] {
                      FillControls(on ? 1 : 0);
                      bool told = on;
                      NotifyRecord record{
                          .code = LimiterEnableChanged, .channel = channel_, .pointer = &told};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { FillControls(kReadFromUnit); },
                // The windows and the program's DSP count read again what the unit holds.
                .showUnknown =
                    [this] {
                      ShowUnknown();
                      NotifyRecord record{.code = LimiterEnableChanged, .channel = channel_};
                      NotifyRoot(&record);
                    }});
}

void TLimiterDialog::NotifyThreshold(float dB) {
  NotifyRecord record{.code = LimiterThresholdChanged, .channel = channel_, .pointer = &dB};
  NotifyRoot(&record);
}

void TLimiterDialog::EvSpin() {
  float value = 0.0f;
  ChangeOnUnit(
      device_,
      [&] {
        gLimiterThresholdObject.SetElement(channel_);
        value = kLimiterThresholdRange.Clamp(gLimiterThresholdObject.Read(device_) +
                                             ZoneStep(spin_.CurrentZone(), kFineDb, kCoarseDb));
        gLimiterThresholdObject.Write(device_, value);
      },
      {.taken =
           [&] {
             threshold_.SetText(LevelText(value));
             NotifyThreshold(value);
           },
       .showUnit = [this] { FillControls(kReadFromUnit); },
       .showUnknown = [this] { threshold_.SetText(""); }});
}

void TLimiterDialog::ApplyTypedThreshold() {
  controls::CommitEntry(threshold_, [&] {
    const std::optional<float> typed = ParseTypedDb(threshold_.Text(), kLimiterThresholdRange);
    GuardedUnitCall(device_, [&] {
      gLimiterThresholdObject.SetElement(channel_);
      const float current = gLimiterThresholdObject.Read(device_);
      if (!typed) {
        // Not a number: the unit keeps its threshold and the edit shows it again.
        threshold_.SetText(LevelText(current));
        return;
      }
      threshold_.SetText(LevelText(*typed));
      if (std::fabs(current - *typed) < kThresholdResolutionDb) return;
      gLimiterThresholdObject.Write(device_, *typed);
      NotifyThreshold(*typed);
    });
  });
}

void TLimiterDialog::Notify(NotifyRecord* record) {
  if (record->code == ChannelRenamed && record->channel == channel_) ShowCaption();
  if (record->code == RefreshAll) FillControls(kReadFromUnit);
}

bool TLimiterDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (!key.down) return ui::Dialog::PreProcessKey(key);
  if (key.code == ui::key::kReturn) {
    ApplyTypedThreshold();
    return true;
  }
  if (key.code == ui::key::kEscape) return true;
  return ui::Dialog::PreProcessKey(key);
}

void TLimiterDialog::PollOnce() {
  if (!IsCreated()) return;
  gLimiterMeterObject.SetElement(channel_);
  const float reading = gLimiterMeterObject.Read(device_);
  meter_.SetValue(static_cast<int>(reading + kMeterSpanDb));
  meterText_.SetText(LevelText(reading));
}

void TLimiterDialog::ShowReadingUnknown() {
  if (!IsCreated()) return;
  meter_.SetValue(0);
  meterText_.SetText(controls::kUnknownValue);
}

void TLimiterTreeWindow::Build() {
  const int first = device_.firstOutput;
  for (int g = 1; g <= kLimiterGroups; ++g) {
    const ui::TreeItem group = AddGroup(g);
    // A failed read ends this group; the next one is built all the same.
    GuardedUnitCall(device_, [&] {
      for (int c = first; c < first + device_.outputs; ++c) {
        gLimiterGroupObject.SetElement(c);
        if (gLimiterGroupObject.Read(device_) != g) continue;
        gLimiterEnableObject.SetElement(c);
        const bool on = gLimiterEnableObject.Read(device_);
        AddChannel(group, c, on ? kChannelImage : kDisabledImage,
                   on ? kChannelSelectedImage : kDisabledImage);
      }
    });
    CloseGroup(group);
  }
}

bool TLimiterTreeWindow::RebuildsOn(uint32_t code) const {
  return code == LimiterGroupChanged || code == RefreshAll || code == ChannelRenamed;
}

void TLimiterTreeWindow::Notify(NotifyRecord* record) {
  // A switch whose write is in doubt tells no state: the tree reads what the unit holds.
  if (record->code == LimiterEnableChanged) {
    if (record->pointer != nullptr) {
      UpdateItemImage(record->channel, *static_cast<const bool*>(record->pointer));
    } else {
      Rebuild();
    }
  }
  ChannelTreeWindow::Notify(record);
}

void TLimiterTreeWindow::UpdateItemImage(int channel, bool on) {
  ui::TreeView& tree = Tree();
  for (ui::TreeItem group = tree.FirstRoot(); group; group = tree.NextSibling(group)) {
    for (ui::TreeItem item = tree.FirstChild(group); item; item = tree.NextSibling(item)) {
      if (tree.ItemData(item) != channel) continue;
      tree.SetItemImages(item, on ? kChannelImage : kDisabledImage,
                         on ? kChannelSelectedImage : kDisabledImage);
      return;
    }
  }
}

TLimiterWindow::TLimiterWindow(TEditOVWindow& editWindow)
    : OVChild<ui::Frame>(editWindow, "Limiter", "Limiter", nullptr),
      group_(std::make_unique<TGroupWindow>(this)) {
  SetClient(group_.get());
  PlaceAtWorkAreaCorner(*this, kWidth, kHeight);
  SetIcon(Device().GetModelBitmapId());
  SetMenu(ovchannels_res::kGroupsMenu);
  OnCommand(ovchannels_res::kCmGroups, [this] { CmGroups(); });
  for (int o = 0; o < Device().outputs; ++o) {
    panes_.push_back(std::make_unique<TLimiterDialog>(
        group_.get(), Device(), Device().firstOutput + o, editWindow.Poller()));
  }
  tree_ = std::make_unique<TLimiterTreeWindow>(group_.get(), Device());
}

TLimiterWindow::~TLimiterWindow() { Destroy(); }

void TLimiterWindow::CmGroups() {
  AssignGroups(this, Device(), GroupKind::kLimiter, [this] {
    NotifyRecord changed{.code = LimiterGroupChanged};
    NotifyLocal(&changed);
  });
}

void TLimiterWindow::SetupWindow() {
  ui::Frame::SetupWindow();
  const int secondRow = LimiterSecondRow(Device().outputs);
  for (int o = 0; o < static_cast<int>(panes_.size()); ++o) {
    group_->AddPane(panes_[static_cast<std::size_t>(o)].get(), o == secondRow);
  }
  // As tall as a row of panes: the group window's client is not sized yet.
  const int height =
      panes_.empty() ? group_->ClientRect().Height() : panes_.front()->WindowRect().Height();
  tree_->SetRect({0, 0, ChannelTreeWindow::kWidth, height});
  group_->SetEdgePane(tree_.get(), TGroupWindow::kLeft);
}

}  // namespace namespaceOV
