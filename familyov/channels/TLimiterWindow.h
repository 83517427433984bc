#pragma once

#include <memory>
#include <vector>

#include "controls/TDataWindow.h"
#include "controls/TQuadButton.h"
#include "familyov/channels/ChannelTreeWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

// One output's limiter: on or off (on only when the unit's DSP can take it), threshold, knee,
// release and, on a bus unit, the live gain reduction.
class TLimiterDialog : public ui::Dialog, public TDataWindow, public LiveValue {
 public:
  static constexpr int kReadFromUnit = -1;

  TLimiterDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel, UnitPoller& poller);

  void Notify(NotifyRecord* record) override;
  // Enter takes the typed threshold; neither Enter nor Escape reaches the dialog's buttons.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // One read of the gain reduction.
  void PollOnce() override;
  void ShowReadingUnknown() override;
  // `state`: kReadFromUnit, else 0 (off) or 1 (on).
  void FillControls(int state);

 protected:
  void SetupWindow() override;

 private:
  void CmEnable();
  void EvSpin();
  void ApplyTypedThreshold();
  void ShowCaption();
  void EnableSettings(bool enable);
  void ShowSettingsUnknown();
  void ShowUnknown();
  void NotifyThreshold(float dB);

  IQDeviceOrdavinex& device_;
  int channel_;
  ui::GroupBox caption_;
  ui::Edit threshold_;
  ui::ComboBox release_;
  ui::RadioButton soft_;
  ui::RadioButton hard_;
  ui::ProgressBar meter_;
  ui::StaticText meterText_;
  ui::CheckBox enable_;
  TQuadButton spin_;
  LiveValueRegistration live_;
};

// The limiter groups 1 to 6 and their outputs, each marked on or off.
class TLimiterTreeWindow : public ChannelTreeWindow {
 public:
  using ChannelTreeWindow::ChannelTreeWindow;
  void Notify(NotifyRecord* record) override;

 protected:
  void Build() override;
  bool RebuildsOn(uint32_t code) const override;

 private:
  void UpdateItemImage(int channel, bool on);
};

// The output limiters: one pane per output in one or two rows, the group tree at the left.
class TLimiterWindow : public OVChild<ui::Frame> {
 public:
  explicit TLimiterWindow(TEditOVWindow& editWindow);
  ~TLimiterWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  TLimiterDialog& Pane(int output) { return *panes_.at(static_cast<std::size_t>(output)); }
  TLimiterTreeWindow& Tree() { return *tree_; }

 protected:
  void SetupWindow() override;

 private:
  // Runs the limiter-group assignment; the tree follows when it returns.
  void CmGroups();

  std::unique_ptr<TGroupWindow> group_;
  std::vector<std::unique_ptr<TLimiterDialog>> panes_;
  std::unique_ptr<TLimiterTreeWindow> tree_;
};

}  // namespace namespaceOV
