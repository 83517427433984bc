#pragma once

#include <memory>
#include <vector>

#include "controls/TColorButton.h"
#include "controls/TDataWindow.h"
#include "controls/TQuadButton.h"
#include "familyov/channels/DelayPanes.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

// A header of the advanced mixer: a channel's name, and an input's colour; with no channel, the
// blank corner.
class TMatrixLabelDialog : public ui::Dialog, public TDataWindow {
 public:
  static constexpr int kCorner = -1;

  TMatrixLabelDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel, int resourceId);
  void Notify(NotifyRecord* record) override;

 protected:
  void SetupWindow() override;

 private:
  void Relabel();

  IQDeviceOrdavinex& device_;
  int channel_;
  ui::StaticText name_;
  std::unique_ptr<TColorButton> color_;
};

// One crosspoint: its gain (-100 dB is off) and its delay, typed or spun.
class TAdvMixerDialog : public ui::Dialog, public TDataWindow {
 public:
  TAdvMixerDialog(ui::Window* parent, IQDeviceOrdavinex& device, int output, int input);

  void Notify(NotifyRecord* record) override;
  // Enter (on its release) takes the focused edit's text; Escape shows the unit's values again.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  void Refill();
  void ApplyGainText();
  void ApplyDelayText();

 protected:
  void SetupWindow() override;

 private:
  int Element() const;
  void SpinDelay(int zone);
  void SpinGain(int zone);
  // Moves the delay by `step` samples as far as the delay memory allows, never below 0.
  void StepDelay(int64_t step);
  void NotifyCrosspoint();

  IQDeviceOrdavinex& device_;
  int output_;
  int input_;
  TQuadButton delaySpin_;
  TQuadButton gainSpin_;
  ui::Edit delay_;
  ui::Edit gain_;
  TColorButton bar_;
};

// Gain and delay of every crosspoint of the mixing matrix: outputs across, inputs down.
class TAdvMixerWindow : public OVChild<TGroupWindow> {
 public:
  explicit TAdvMixerWindow(TEditOVWindow& editWindow);
  ~TAdvMixerWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  TAdvMixerDialog& Cell(int output, int input);

 protected:
  void SetupWindow() override;

 private:
  std::unique_ptr<TDelayUnitsDialog> units_;
  std::vector<std::unique_ptr<TMatrixLabelDialog>> labels_;
  std::vector<std::unique_ptr<TAdvMixerDialog>> cells_;  // input i, output o at i * outputs + o
};

}  // namespace namespaceOV
