#pragma once

#include <functional>
#include <optional>
#include <string>

#include "controls/TDataWindow.h"
#include "controls/TLEDButton.h"
#include "controls/TLogHotGauge2.h"
#include "controls/TPolarityButton.h"
#include "controls/TQuadButton.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TEditOVWindow;

// An empty pane as tall as a channel pane: stubs above the inputs centre the input column against
// a longer output column.
class TInputSummaryStubDialog : public ui::Dialog {
 public:
  explicit TInputSummaryStubDialog(ui::Window* parent);
};

// The ids of the controls that differ between the input and the output panes.
struct ChannelPaneControls {
  int level;
  int levelSpin;
  int delay;
  int delaySpin;
};

// One channel of the unit summary: label, name, level, delay and filter count with a live meter.
// The user types a name, a level or a delay (taken when the edit loses the focus or on Enter;
// Escape shows the unit's values again) or steps them with the spins; grouped channels move
// together. Buttons open the unit's windows for the channel. Nothing is cached: a refresh reads
// the unit again. The meter is one of the unit's live values, read while the unit polls.
class TChannelSummaryDialog : public ui::Dialog, public TDataWindow, public LiveValue {
 public:
  static constexpr int kNameLimit = 11;

  int Channel() const { return channel_; }
  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Reads what the pane shows from the unit; what a failure leaves unread shows as unknown.
  void Refresh();
  void CommitName();
  void CommitLevel();
  void CommitDelay();
  void PollOnce() override;
  void ShowReadingUnknown() override { meter_.ShowUnknown(); }
  const TLogHotGauge2& Meter() const { return meter_; }

 protected:
  TChannelSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                        int channel, int resourceId, const ChannelPaneControls& ids,
                        const LevelRange& range);
  void SetupWindow() override;
  // What an output pane shows besides the channel's name, filters, level and delay.
  virtual void RefreshMore() {}
  // Every field as unknown, before a refresh reads them: neither the pane's template text nor a
  // value from an earlier read stands for one the unit did not give.
  virtual void ShowUnknown();
  // Records about the pane's own channel that make it read everything again.
  virtual bool RefreshesOn(uint32_t code) const;
  void OpenWindow(int nodeId);
  void SetControlText(int id, const std::string& text);

  IQDeviceOrdavinex& device_;
  TEditOVWindow& editWindow_;

 private:
  std::string UnitName();
  // The channel's name in its field; nothing when the unit does not answer.
  void ShowUnitName();
  float UnitLevel();
  int UnitDelay();
  int Group();
  void WriteLevel(float dB);
  // A spin button's message: one step of the pressed zone, whatever the repeat count.
  void Spin(ui::Param sender);
  // Moves the delay, or the group's, by the step `stepOf` works out from the unit.
  void MoveDelay(const std::function<int()>& stepOf);

  int channel_;
  ChannelPaneControls ids_;
  LevelRange range_;
  ui::StaticText label_;
  ui::Edit name_;
  ui::Edit level_;
  ui::Edit delay_;
  TQuadButton levelSpin_;
  TQuadButton delaySpin_;
  TLogHotGauge2 meter_;
  std::optional<LiveValueRegistration> polling_;  // a virtual unit's meters are never read
};

class TInputSummaryDialog : public TChannelSummaryDialog {
 public:
  TInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                      int channel);

 protected:
  TInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                      int channel, int resourceId);
};

// The input pane of a unit with compressors, with a button that opens them.
class TAdvInputSummaryDialog : public TInputSummaryDialog {
 public:
  TAdvInputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                         int channel);
};

// An output adds its mute (which follows the group), polarity, limiter and crossovers.
class TOutputSummaryDialog : public TChannelSummaryDialog {
 public:
  TOutputSummaryDialog(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                       int channel);

  void Notify(NotifyRecord* record) override;
  void CmMute();
  void CmPolarity();

 protected:
  void RefreshMore() override;
  void ShowUnknown() override;
  bool RefreshesOn(uint32_t code) const override;

 private:
  int Output() const;

  TLEDButton mute_;
  TPolarityButton polarity_;
};

}  // namespace namespaceOV
