#include "familyov/channels/LevelPanes.h"

#include <functional>
#include <utility>

#include "controls/DeviceErrorReport.h"
#include "familyov/channels/GroupMoves.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "resources/FamilyOvChannelIds.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;

constexpr int kTickLevelDb = 0;
constexpr float kMeterBottomDb = -40.0f;
constexpr float kMeterTopDb = 0.0f;
constexpr float kMeterGreenDb = -12.0f;
constexpr float kMeterYellowDb = -6.0f;
constexpr float kInvertedPolarity = -1.0f;

void SetUpTrackbar(ui::Trackbar& trackbar, const LevelRange& range) {
  trackbar.SetRange(0, range.Positions());
  trackbar.SetTickMarks({{range.PositionOf(kTickLevelDb), ""}});
}

void ShowSnappedLevel(ui::Trackbar& trackbar, ui::StaticText& text, const LevelRange& range,
                      float dB) {
  const float shown = SnapLevel(dB, range.step);
  trackbar.SetPosition(range.PositionOf(shown));
  text.SetText(LevelText(shown));
}

// A level the unit did not answer, or whose write is in doubt: the slider's read-out says so.
constexpr const char* kUnknownLevel = "?";

bool IsEnterOrEscape(const ui::KeyStroke& key) {
  return key.down && (key.code == ui::key::kReturn || key.code == ui::key::kEscape);
}

void Announce(const TDataWindow& sender, uint32_t code, int channel, int flag = 0) {
  NotifyRecord record{code, channel, flag, nullptr};
  sender.NotifyRoot(&record);
}

// A move of the pane's level slider goes on to `drag`; a step on a level shown unknown is first
// taken from the level the unit holds, given by `read`.
void OnLevelScroll(ui::Window& pane, ui::Trackbar& trackbar, controls::UnitSteps& steps,
                   LatestPosition& drag, std::function<bool()> read) {
  pane.OnNotify(kLevelTrackbar, ui::Notify::Scroll,
                [&trackbar, &steps, &drag, read = std::move(read)](const ui::Notification& n) {
                  if (steps.Move(static_cast<ui::ScrollCode>(n.value), read)) {
                    drag.Moved(trackbar.Position());
                  }
                  return ui::Param{0};
                });
}

}  // namespace

TLevelDialog::TLevelDialog(ui::Window* parent, IQDeviceOrdavinex& device, UnitPoller& poller,
                           int channel, int resourceId)
    : ui::Dialog(parent, resourceId),
      TDataWindow(parent),
      device_(device),
      poller_(poller),
      channel_(channel),
      range_(LevelRangeOf(device, channel)),
      name_(this, kChannelName),
      levelText_(this, kLevelText),
      trackbar_(this, kLevelTrackbar),
      meter_(this, kLevelMeter),
      drag_(*this, [this](int position) { MoveTo(position); }) {
  if (IsOutput()) {
    mute_.emplace(this, kMute);
    polarity_.emplace(this, kPolarity);
    OnCommand(kMute, [this] { CmMute(); });
    OnCommand(kPolarity, [this] { CmPolarity(); });
  }
  OnLevelScroll(*this, trackbar_, steps_, drag_, [this] { return ReadLevel(); });
}

TLevelDialog::~TLevelDialog() { Destroy(); }

bool TLevelDialog::IsOutput() const { return channel_ >= device_.firstOutput; }

void TLevelDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  SetUpTrackbar(trackbar_, range_);
  if (IsOutput()) {
    ReadMute();
    ReadPolarity();
  }
  ReadName();
  ReadLevel();
  meter_.SetScale(kMeterBottomDb, kMeterTopDb);
  meter_.SetThresholds(kMeterGreenDb, kMeterYellowDb);
  // Only a unit on the bus has live levels to show.
  if (device_.IsOnline()) polling_.emplace(poller_, *this);
}

void TLevelDialog::CleanupWindow() {
  polling_.reset();
  ui::Dialog::CleanupWindow();
}

void TLevelDialog::ShowLevel(float dB) {
  ShowSnappedLevel(trackbar_, levelText_, range_, dB);
  steps_.Rest(true);
}

void TLevelDialog::ShowLevelUnknown() {
  levelText_.SetText(kUnknownLevel);
  steps_.Rest(false);
}

void TLevelDialog::ShowMeter(float reading) {
  meter_.SetLevel(reading - kMeterOffsetDb);
  meter_.PaintLevel();
}

void TLevelDialog::PollOnce() {
  gChannelMeterObject.SetElement(channel_);
  ShowMeter(gChannelMeterObject.Read(device_));
}

void TLevelDialog::MoveTo(int position) {
  LevelMove move;
  ChangeOnUnit(device_,
               [&] { move = MoveChannelLevel(device_, channel_, range_.LevelAt(position)); },
               {.taken =
                    [&] {
                      for (int channel : move.changed) Announce(*this, LevelChanged, channel);
                      if (move.changed.empty()) ReadLevel();
                    },
                // A slider's thumb has no unknown place: its read-out says so. The groups' level
                // ranges are the unit's levels: they are read again, unknown where it is silent.
                .showUnit = [this] { ReadLevel(); },
                .showUnknown =
                    [this] {
                      ShowLevelUnknown();
                      device_.GetGroupLevelRange();
                    }});
}

void TLevelDialog::CmMute() {
  const bool muted = mute_->IsChecked();
  std::vector<int> members;
  ChangeOnUnit(device_,
               [&] {
                 members = GroupMembers(device_, ReadGroup(device_, channel_));
                 if (members.empty()) members.push_back(channel_);
                 for (int channel : members) {
                   // The outputs of the group, each once: a group never mutes an input.
                   if (channel < device_.firstOutput) continue;
                   gChannelMuteObject.SetElement(channel);
                   gChannelMuteObject.Write(device_, muted);
                 }
               },
               {.taken =
                    [&] {
                      for (int channel : members) {
                        if (channel >= device_.firstOutput) Announce(*this, MuteChanged, channel);
                      }
                    },
                .showUnit = [this] { ReadMute(); },
                .showUnknown = [this] { mute_->ShowNoState(); }});
}

void TLevelDialog::CmPolarity() {
  const bool inverted = polarity_->GetState() == 0;
  ChangeOnUnit(device_,
               [&] {
                 gPolarityObject.SetElement(channel_ - device_.firstOutput);
                 gPolarityObject.Write(device_, inverted ? kInvertedPolarity : 1.0f);
               },
               {.taken =
                    [&] {
                      polarity_->SetState(inverted ? 1 : 0);
                      Announce(*this, PolarityChanged, channel_);
                    },
                .showUnit = [this] { ReadPolarity(); }});
}

// A value the unit does not answer shows as unknown: an empty text, not the template's.
bool TLevelDialog::ReadLevel() {
  const bool read = GuardedUnitCall(device_, [&] {
    gChannelLevelObject.SetElement(channel_);
    ShowLevel(gChannelLevelObject.Read(device_));
  });
  if (!read) ShowLevelUnknown();
  return read;
}

void TLevelDialog::ReadName() {
  std::string name;
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    name = gChannelNameObject.Read(device_);
  });
  name_.SetText(name);
}

void TLevelDialog::ReadMute() {
  mute_->ShowNoState();
  GuardedUnitCall(device_, [&] {
    gChannelMuteObject.SetElement(channel_);
    mute_->SetCheck(gChannelMuteObject.Read(device_));
  });
}

void TLevelDialog::ReadPolarity() {
  const bool read = GuardedUnitCall(device_, [&] {
    gPolarityObject.SetElement(channel_ - device_.firstOutput);
    polarity_->SetState(gPolarityObject.Read(device_) == kInvertedPolarity ? 1 : 0);
  });
  // A plain face: no polarity shown, and none to turn over.
  polarity_->Enable(read);
  polarity_->Redraw();
}

void TLevelDialog::Notify(NotifyRecord* record) {
  const bool mine = record->channel == channel_;
  switch (record->code) {
    case LevelChanged:
      if (mine) {
        ReadName();
        ReadLevel();
      }
      break;
    case GroupLevelStep:
      // The members' levels were written by whoever moved the group.
      GuardedUnitCall(device_, [&] {
        if (ReadGroup(device_, channel_) == record->channel) ReadLevel();
      });
      break;
    case ChannelRenamed:
      if (mine) ReadName();
      break;
    case MuteChanged:
      if (mine && IsOutput()) ReadMute();
      break;
    case PolarityChanged:
      if (mine && IsOutput()) ReadPolarity();
      break;
    case RefreshAll:
      if (IsOutput()) {
        ReadMute();
        ReadPolarity();
      }
      ReadName();
      ReadLevel();
      break;
    default:
      break;
  }
  TDataWindow::Notify(record);
}

bool TLevelDialog::PreProcessKey(const ui::KeyStroke& key) {
  return IsEnterOrEscape(key) || ui::Dialog::PreProcessKey(key);
}

TMasterLevelDialog::TMasterLevelDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kMasterLevelDialog),
      TDataWindow(parent),
      device_(device),
      levelText_(this, kLevelText),
      trackbar_(this, kLevelTrackbar),
      mute_(this, kMute),
      drag_(*this, [this](int position) { MoveTo(position); }) {
  OnCommand(kMute, [this] { CmMute(); });
  OnLevelScroll(*this, trackbar_, steps_, drag_, [this] { return ReadValues(); });
}

void TMasterLevelDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  SetUpTrackbar(trackbar_, kOutputLevelRange);
  ReadValues();
}

bool TMasterLevelDialog::ReadValues() {
  mute_.ShowNoState();
  ShowLevelUnknown();
  return GuardedUnitCall(device_, [&] {
    mute_.SetCheck(gMasterMuteObject.Read(device_));
    ShowSnappedLevel(trackbar_, levelText_, kOutputLevelRange, gMasterLevelObject.Read(device_));
    steps_.Rest(true);
  });
}

void TMasterLevelDialog::ShowLevelUnknown() {
  levelText_.SetText(kUnknownLevel);
  steps_.Rest(false);
}

void TMasterLevelDialog::MoveTo(int position) {
  const float level = kOutputLevelRange.LevelAt(position);
  ChangeOnUnit(device_, [&] { gMasterLevelObject.Write(device_, level); },
               {.taken =
                    [&] {
                      levelText_.SetText(LevelText(level));
                      steps_.Rest(true);
                    },
                .showUnit = [this] { ReadValues(); },
                .showUnknown = [this] { ShowLevelUnknown(); }});
}

void TMasterLevelDialog::CmMute() {
  ChangeOnUnit(device_, [&] { gMasterMuteObject.Write(device_, mute_.IsChecked()); },
               {.taken = [this] { Announce(*this, MasterMuteChanged, 0); },
                .showUnit = [this] { ReadValues(); },
                .showUnknown = [this] { mute_.ShowNoState(); }});
}

void TMasterLevelDialog::Notify(NotifyRecord* record) {
  TDataWindow::Notify(record);
  if (record->code == RefreshAll) ReadValues();
}

bool TMasterLevelDialog::PreProcessKey(const ui::KeyStroke& key) {
  return IsEnterOrEscape(key) || ui::Dialog::PreProcessKey(key);
}

}  // namespace namespaceOV
