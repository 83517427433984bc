#include "familyov/channels/ChannelSummaryPanes.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>

#include "controls/CarriedName.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "controls/TypedEntry.h"
#include "familyov/channels/GroupMoves.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvSummaryIds.h"

namespace namespaceOV {

namespace {

using namespace ovsummary_res;

constexpr const char* kDelayCharacters = "0-9.msecft ";
constexpr float kMeterBottomDb = -40.0f;
constexpr float kMeterTopDb = 0.0f;
constexpr float kMeterGreenDb = -12.0f;
constexpr float kMeterYellowDb = -6.0f;
// The unit reports a meter this far above the level it shows.
constexpr float kMeterOffsetDb = 138.47f;
// Spin zones from coarse down to coarse up.
constexpr float kLevelSteps[] = {-2.0f, -0.5f, 0.5f, 2.0f};
constexpr ChannelPaneControls kInputControls{kInputLevel, kInputLevelSpin, kInputDelay,
                                             kInputDelaySpin};
constexpr ChannelPaneControls kOutputControls{kOutputLevel, kOutputLevelSpin, kOutputDelay,
                                              kOutputDelaySpin};

int ReadDelayUnits(IQDeviceOrdavinex& device) { return gDelayUnitsObject.Read(device); }

}  // namespace

TInputSummaryStubDialog::TInputSummaryStubDialog(ui::Window* parent)
    : ui::Dialog(parent, kStubPaneDialog) {}

TChannelSummaryDialog::TChannelSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                             TEditOVWindow& editWindow, int channel, int resourceId,
                                             const ChannelPaneControls& ids,
                                             const LevelRange& range)
    : ui::Dialog(parent, resourceId),
      TDataWindow(parent),
      device_(device),
      editWindow_(editWindow),
      channel_(channel),
      ids_(ids),
      range_(range),
      label_(this, kChannelLabel),
      name_(this, kName, kNameLimit),
      level_(this, ids.level),
      delay_(this, ids.delay),
      levelSpin_(this, ids.levelSpin),
      delaySpin_(this, ids.delaySpin),
      meter_(this, kMeter) {
  if (device.IsOnline()) polling_.emplace(editWindow.Poller(), *this);
  OnNotify(kName, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitName();
    return 0;
  });
  OnNotify(ids.level, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitLevel();
    return 0;
  });
  OnNotify(ids.delay, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitDelay();
    return 0;
  });
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    Spin(m.lParam);
    return 0;
  });
  OnMessage(ui::msg::kSetFocus, [this](const ui::Message&) {
    name_.SetFocus();
    name_.SetSelection(0, kNameLimit + 1);
    return 0;
  });
  OnCommand(kFiltersButton, [this] { OpenWindow(editWindow_.ChannelNodeId(channel_)); });
}

void TChannelSummaryDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  label_.SetText(device_.GetChannelLabel(channel_));
  level_.SetValidator(
      std::make_unique<ui::CharSetValidator>(range_.minimum < 0.0f ? "-0-9." : "0-9."));
  delay_.SetValidator(std::make_unique<ui::CharSetValidator>(kDelayCharacters));
  meter_.SetScale(kMeterBottomDb, kMeterTopDb);
  meter_.SetThresholds(kMeterGreenDb, kMeterYellowDb);
  Refresh();
}

void TChannelSummaryDialog::OpenWindow(int nodeId) { editWindow_.OpenChildWindow(nodeId); }

void TChannelSummaryDialog::SetControlText(int id, const std::string& text) {
  if (ui::Control* control = ControlById(id)) control->SetText(text);
}

std::string TChannelSummaryDialog::UnitName() {
  gChannelNameObject.SetElement(channel_);
  return gChannelNameObject.Read(device_);
}

float TChannelSummaryDialog::UnitLevel() {
  gChannelLevelObject.SetElement(channel_);
  return gChannelLevelObject.Read(device_);
}

int TChannelSummaryDialog::UnitDelay() {
  gChannelDelayObject.SetElement(channel_);
  // A unit's word beyond any delay shows as the longest one.
  return static_cast<int>(
      std::min<uint32_t>(gChannelDelayObject.Read(device_), std::numeric_limits<int>::max()));
}

void TChannelSummaryDialog::ShowUnitName() {
  std::string name;
  GuardedUnitCall(device_, [&] { name = UnitName(); });
  name_.SetText(name);
}

void TChannelSummaryDialog::ShowUnknown() {
  name_.SetText("");
  SetControlText(kFiltersButton, "Filters (?)");
  level_.SetText("");
  delay_.SetText("");
}

void TChannelSummaryDialog::Refresh() {
  ShowUnknown();
  GuardedUnitCall(device_, [this] {
    name_.SetText(UnitName());
    device_.RecountDspUse();
    const std::optional<int> count =
        device_.DspFigure(device_.sectionsPerChannel[static_cast<std::size_t>(channel_)]);
    if (count) SetControlText(kFiltersButton, "Filters (" + std::to_string(*count) + ")");
    level_.SetText(LevelText(UnitLevel()));
    delay_.SetText(DelayText(UnitDelay(), ReadDelayUnits(device_)));
    RefreshMore();
  });
}

void TChannelSummaryDialog::PollOnce() {
  float reading = 0.0f;
  {
    MaskedStretch masked(device_);
    gChannelMeterObject.SetElement(channel_);
    reading = gChannelMeterObject.Read(device_);
  }
  meter_.SetLevel(reading - kMeterOffsetDb);
  meter_.PaintLevel();
}

void TChannelSummaryDialog::CommitName() {
  controls::CommitEntry(name_, [&] {
    const std::string text = name_.Text().substr(0, kNameLimit);
    if (controls::RefusedName(this, text, "Channel name")) {
      ShowUnitName();
      return;
    }
    bool changed = false;
    ChangeOnUnit(device_,
                 [&] {
                   if (text == UnitName()) return;
                   changed = true;
                   gChannelNameObject.SetElement(channel_);
                   gChannelNameObject.Write(device_, text);
                 },
                 {.taken =
                      [&] {
                        if (!changed) return;
                        NotifyRecord record{ChannelRenamed, channel_, 0, nullptr};
                        NotifyRoot(&record);
                      },
                  .showUnit = [this] { ShowUnitName(); },
                  .showUnknown = [this] { name_.SetText(""); }});
  });
}

void TChannelSummaryDialog::WriteLevel(float dB) {
  std::vector<int> changed;
  ChangeOnUnit(device_, [&] { changed = MoveChannelLevel(device_, channel_, dB).changed; },
               {.taken =
                    [&] {
                      for (const int channel : changed) {
                        NotifyRecord record{LevelChanged, channel, 0, nullptr};
                        NotifyRoot(&record);
                      }
                    },
                .showUnit = [this] { Refresh(); }});
}

void TChannelSummaryDialog::CommitLevel() {
  controls::CommitEntry(level_, [&] {
    const std::optional<float> dB = ParseLevel(level_.Text(), range_);
    if (!dB) {
      Refresh();
      return;
    }
    WriteLevel(*dB);
  });
}

void TChannelSummaryDialog::CommitDelay() {
  controls::CommitEntry(delay_, [&] {
    std::optional<int> samples;
    if (!GuardedUnitCall(device_, [&] {
          samples = ParseDelay(delay_.Text(), ReadDelayUnits(device_), device_.GetDelayCapacity());
        })) {
      return;
    }
    if (!samples) {
      Refresh();
      return;
    }
    MoveDelay([&] { return *samples - UnitDelay(); });
  });
}

void TChannelSummaryDialog::MoveDelay(const std::function<int()>& stepOf) {
  DelayMove move;
  ChangeOnUnit(device_, [&] { move = MoveChannelDelay(device_, channel_, stepOf()); },
               {.taken =
                    [&] {
                      NotifyRecord record{move.group == 0 ? DelayChanged : GroupDelayStep,
                                          move.group == 0 ? channel_ : move.group, 0, &move.step};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { Refresh(); }});
}

void TChannelSummaryDialog::Spin(ui::Param sender) {
  if (sender == reinterpret_cast<ui::Param>(&levelSpin_)) {
    const int zone = levelSpin_.CurrentZone();
    if (zone < 0 || zone >= static_cast<int>(std::size(kLevelSteps))) return;
    float dB = 0.0f;
    if (!GuardedUnitCall(device_, [&] { dB = UnitLevel(); })) return;
    WriteLevel(range_.Clamp(dB + kLevelSteps[zone]));
  } else if (sender == reinterpret_cast<ui::Param>(&delaySpin_)) {
    const int zone = delaySpin_.CurrentZone();
    if (zone < 0 || zone > 3) return;
    MoveDelay([&] {
      const int unit = static_cast<int>(SamplesPerUnit(ReadDelayUnits(device_)).value_or(1.0));
      const int steps[] = {-unit, -1, 1, unit};
      return steps[zone];
    });
  }
}

bool TChannelSummaryDialog::RefreshesOn(uint32_t code) const {
  switch (code) {
    case FilterAdded:
    case FilterRemoved:
    case FilterChanged:
    case DelayChanged:
    case LevelChanged:
      return true;
    default:
      return false;
  }
}

void TChannelSummaryDialog::Notify(NotifyRecord* record) {
  switch (record->code) {
    case DelayUnitsChanged:
    case RefreshAll:
    case GroupDelayStep:
      Refresh();
      break;
    case GroupLevelStep:
      // The window that moved the group wrote every member; a pane only shows the move.
      if (!GuardedUnitCall(device_, [&] {
            if (ReadGroup(device_, channel_) == record->channel) {
              level_.SetText(LevelText(UnitLevel()));
            }
          })) {
        level_.SetText("");
      }
      break;
    case ChannelRenamed:
      if (record->channel == channel_) ShowUnitName();
      break;
    default:
      if (record->channel == channel_ && RefreshesOn(record->code)) Refresh();
      break;
  }
  TDataWindow::Notify(record);
}

bool TChannelSummaryDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kEscape) {
    // Neither half of Escape reaches the dialog, which would close nothing but cancel.
    if (key.down) Refresh();
    return true;
  }
  if (!key.down) return ui::Dialog::PreProcessKey(key);
  if (key.code == ui::key::kReturn) {
    if (name_.IsFocusOfItsWindow()) CommitName();
    if (level_.IsFocusOfItsWindow()) CommitLevel();
    if (delay_.IsFocusOfItsWindow()) CommitDelay();
    return true;
  }
  if (key.code == ui::key::kTab) {
    if (auto* group = dynamic_cast<TGroupWindow*>(Parent())) {
      group->MoveFocus(this, (key.modifiers & ui::kShiftKey) != 0);
      // The pane that took the focus handed it to its name, all selected, where the next stray
      // key would rename the channel: Tab stops on its "Filters" button instead.
      for (ui::Window* w = ui::Window::FocusWindow(); w != nullptr; w = w->Parent()) {
        if (auto* pane = dynamic_cast<TChannelSummaryDialog*>(w)) {
          if (ui::Control* filters = pane->ControlById(kFiltersButton)) filters->SetFocus();
          break;
        }
      }
    }
    return true;
  }
  return ui::Dialog::PreProcessKey(key);
}

TInputSummaryDialog::TInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                         TEditOVWindow& editWindow, int channel)
    : TInputSummaryDialog(parent, device, editWindow, channel, kInputPaneDialog) {}

TInputSummaryDialog::TInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                         TEditOVWindow& editWindow, int channel, int resourceId)
    : TChannelSummaryDialog(parent, device, editWindow, channel, resourceId, kInputControls,
                            kInputLevelRange) {
  OnCommand(kLevelButton, [this] { OpenWindow(editWindow_.Ids().inputLevel); });
  OnCommand(kDelayButton, [this] { OpenWindow(editWindow_.Ids().inputDelay); });
}

TAdvInputSummaryDialog::TAdvInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                               TEditOVWindow& editWindow, int channel)
    : TInputSummaryDialog(parent, device, editWindow, channel, kCompressorInputPaneDialog) {
  OnCommand(kCompressorsButton, [this] { OpenWindow(editWindow_.Ids().compressors); });
}

TOutputSummaryDialog::TOutputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                           TEditOVWindow& editWindow, int channel)
    : TChannelSummaryDialog(parent, device, editWindow, channel, kOutputPaneDialog, kOutputControls,
                            kOutputLevelRange),
      mute_(this, kMute),
      polarity_(this, kPolarity) {
  mute_.SetStyle(TLEDButton::kColoredStyle);
  OnCommand(kLevelButton, [this] { OpenWindow(editWindow_.Ids().outputLevel); });
  OnCommand(kDelayButton, [this] { OpenWindow(editWindow_.Ids().outputDelay); });
  OnCommand(kLimiterButton, [this] { OpenWindow(editWindow_.Ids().limiter); });
  OnCommand(kCrossoversButton, [this] { OpenWindow(editWindow_.Ids().crossovers); });
  OnCommand(kMute, [this] { CmMute(); });
  OnCommand(kPolarity, [this] { CmPolarity(); });
}

int TOutputSummaryDialog::Output() const { return Channel() - device_.firstOutput; }

void TOutputSummaryDialog::ShowUnknown() {
  TChannelSummaryDialog::ShowUnknown();
  mute_.SetState(TLEDButton::kOff);
  mute_.SetText(controls::kUnknownValue);
  mute_.Redraw();
  // A plain face: no polarity shown, and none to turn over.
  polarity_.Enable(false);
  polarity_.Redraw();
  SetControlText(kLimiterButton, "Limiter: ?");
  SetControlText(kCrossoversButton, "Crossovers: ?");
}

void TOutputSummaryDialog::RefreshMore() {
  gChannelMuteObject.SetElement(Channel());
  if (gChannelMuteObject.Read(device_)) {
    mute_.SetState(TLEDButton::kRed);
    mute_.SetText("Mute");
  } else {
    mute_.SetText("");
    mute_.SetState(gMasterMuteObject.Read(device_) ? TLEDButton::kRed : TLEDButton::kOff);
  }
  mute_.Redraw();
  gPolarityObject.SetElement(Output());
  polarity_.SetState(gPolarityObject.Read(device_) == -1.0f ? 1 : 0);
  polarity_.Enable(true);
  polarity_.Redraw();
  gLimiterEnableObject.SetElement(Channel());
  if (gLimiterEnableObject.Read(device_)) {
    gLimiterThresholdObject.SetElement(Channel());
    SetControlText(kLimiterButton, "Limiter: " + LevelText(gLimiterThresholdObject.Read(device_)));
  } else {
    SetControlText(kLimiterButton, "Limiter: Off");
  }
  // The crossovers are read with the filters: none are known while those are not.
  if (device_.FiltersStale()) return;
  const bool low = device_.LowCrossover(Output()) != nullptr;
  const bool high = device_.HighCrossover(Output()) != nullptr;
  std::string crossovers = low ? (high ? "Low/High" : "Low") : (high ? "High" : "<None>");
  SetControlText(kCrossoversButton, "Crossovers: " + crossovers);
}

bool TOutputSummaryDialog::RefreshesOn(uint32_t code) const {
  return code == ChannelRenamed || code == MuteChanged || code == PolarityChanged ||
         code == LimiterEnableChanged || TChannelSummaryDialog::RefreshesOn(code);
}

void TOutputSummaryDialog::Notify(NotifyRecord* record) {
  if (record->code == MasterMuteChanged) Refresh();
  if (record->code == LimiterThresholdChanged && record->channel == Channel() &&
      record->pointer != nullptr) {
    SetControlText(kLimiterButton,
                   "Limiter: " + LevelText(*static_cast<const float*>(record->pointer)));
  }
  TChannelSummaryDialog::Notify(record);
}

void TOutputSummaryDialog::CmMute() {
  std::vector<int> members{Channel()};
  ChangeOnUnit(device_,
               [&] {
                 gChannelMuteObject.SetElement(Channel());
                 const bool muted = !gChannelMuteObject.Read(device_);
                 const int group = ReadGroup(device_, Channel());
                 if (group != 0) members = GroupMembers(device_, group);
                 for (const int member : members) {
                   if (member < device_.firstOutput)
                     continue;  // a group of outputs mutes only outputs
                   gChannelMuteObject.SetElement(member);
                   gChannelMuteObject.Write(device_, muted);
                 }
               },
               {.taken =
                    [&] {
                      for (const int member : members) {
                        if (member < device_.firstOutput) continue;
                        NotifyRecord record{MuteChanged, member, 0, nullptr};
                        NotifyRoot(&record);
                      }
                    },
                .showUnit = [this] { Refresh(); }});
}

void TOutputSummaryDialog::CmPolarity() {
  const bool inverted = polarity_.GetState() == 0;
  ChangeOnUnit(device_,
               [&] {
                 gPolarityObject.SetElement(Output());
                 gPolarityObject.Write(device_, inverted ? -1.0f : 1.0f);
               },
               {.taken =
                    [this] {
                      NotifyRecord record{PolarityChanged, Channel(), 0, nullptr};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { Refresh(); }});
}

}  // namespace namespaceOV
