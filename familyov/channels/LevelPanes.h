#pragma once

#include <optional>

#include "controls/TDataWindow.h"
#include "controls/TLogHotGauge2.h"
#include "controls/TPolarityButton.h"
#include "controls/UnitSteps.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/LatestPosition.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// One channel's level: a trackbar, the level as text, the channel's name and a live meter; an
// output's pane adds mute and polarity. Moving a grouped channel moves its group (GroupMoves.h);
// the pane then tells the unit which levels changed. A group step heard from elsewhere is only
// shown: the sender wrote it.
class TLevelDialog : public ui::Dialog, public TDataWindow, public LiveValue {
 public:
  // The meter's reading is this far above the scale's 0 dB.
  static constexpr float kMeterOffsetDb = 138.47f;

  // `resourceId`: the input or the output pane.
  TLevelDialog(ui::Window* parent, IQDeviceOrdavinex& device, UnitPoller& poller, int channel,
               int resourceId);
  ~TLevelDialog() override;

  void Notify(NotifyRecord* record) override;
  // Enter and Escape do nothing here.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Reads the channel's meter once and shows it.
  void PollOnce() override;
  void ShowReadingUnknown() override { meter_.ShowUnknown(); }

  int Channel() const { return channel_; }
  bool IsOutput() const;
  const LevelRange& Range() const { return range_; }
  // The level as the pane shows it: snapped to the step.
  void ShowLevel(float dB);
  void ShowMeter(float reading);
  TLogHotGauge2& Meter() { return meter_; }

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;

 private:
  void MoveTo(int position);
  void CmMute();
  void CmPolarity();
  // Answers whether the unit gave the level.
  bool ReadLevel();
  void ShowLevelUnknown();
  void ReadName();
  void ReadMute();
  void ReadPolarity();

  IQDeviceOrdavinex& device_;
  UnitPoller& poller_;
  int channel_;
  const LevelRange& range_;
  ui::StaticText name_;
  ui::StaticText levelText_;
  ui::Trackbar trackbar_;
  controls::UnitSteps steps_{trackbar_};
  TLogHotGauge2 meter_;
  std::optional<ui::CheckBox> mute_;
  std::optional<TPolarityButton> polarity_;
  LatestPosition drag_;
  std::optional<LiveValueRegistration> polling_;
};

// The unit's master level and mute, at the head of the output level window.
class TMasterLevelDialog : public ui::Dialog, public TDataWindow {
 public:
  TMasterLevelDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  // Answers whether the unit gave both.
  bool ReadValues();
  void MoveTo(int position);
  void CmMute();
  void ShowLevelUnknown();

  IQDeviceOrdavinex& device_;
  ui::StaticText levelText_;
  ui::Trackbar trackbar_;
  controls::UnitSteps steps_{trackbar_};
  ui::CheckBox mute_;
  LatestPosition drag_;
};

}  // namespace namespaceOV
