#pragma once

#include <memory>
#include <vector>

#include "controls/TDataWindow.h"
#include "controls/TQuadButton.h"
#include "controls/UnitSteps.h"
#include "familyov/channels/ChannelTreeWindow.h"
#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVCodecs.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

// One input's compressor: threshold and post gain (typed or spun), ratio and speed (written when
// the slider is let go), knee, and the gang with the next input.
class TCompressorDialog : public ui::Dialog, public TDataWindow {
 public:
  TCompressorDialog(ui::Window* parent, IQDeviceOrdavinex& device, int input);

  void Notify(NotifyRecord* record) override;
  // Enter and Escape neither close the pane nor press a button.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  void FillControls();
  void ShowUnknown();

 protected:
  void SetupWindow() override;

 private:
  // A dB value of one object: its edit, its spin and its range.
  struct DbField {
    dBLevelObject* object;
    ui::Edit* edit;
    DbRange range;
  };
  void Spin(const DbField& field, int zone);
  void ApplyTyped(const DbField& field);
  void ShowCaption();
  void EvScroll(ui::Trackbar& bar, ui::ScrollCode code);
  // Reads the ratio, or the speed, into its slider and read-out; a bus failure is thrown. Answers
  // whether the thumb stands at the unit's value: a speed the unit gives out of range does not.
  bool ShowSlider(bool isRatio);

  IQDeviceOrdavinex& device_;
  int input_;
  ui::GroupBox caption_;
  ui::Edit threshold_;
  ui::Edit postGain_;
  ui::RadioButton soft_;
  ui::RadioButton hard_;
  ui::CheckBox gang_;
  TQuadButton thresholdSpin_;
  TQuadButton postGainSpin_;
  ui::Trackbar ratio_;
  ui::Trackbar speed_;
  ui::StaticText ratioText_;
  ui::StaticText speedText_;
  controls::UnitSteps ratioSteps_{ratio_};
  controls::UnitSteps speedSteps_{speed_};
  const DbField thresholdField_;
  const DbField postGainField_;
};

// The runs of ganged inputs, one "Group %d" each.
class TCompressorTreeWindow : public ChannelTreeWindow {
 public:
  using ChannelTreeWindow::ChannelTreeWindow;

 protected:
  void Build() override;
  bool RebuildsOn(uint32_t code) const override;
};

// The input compressors of a unit with the compressor option: one pane per input in a row, the
// gang tree at the left.
class TCompressorWindow : public OVChild<TGroupWindow> {
 public:
  explicit TCompressorWindow(TEditOVWindow& editWindow);
  ~TCompressorWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  TCompressorDialog& Pane(int input) { return *panes_.at(static_cast<std::size_t>(input)); }
  TCompressorTreeWindow& Tree() { return *tree_; }

 protected:
  void SetupWindow() override;

 private:
  std::vector<std::unique_ptr<TCompressorDialog>> panes_;
  std::unique_ptr<TCompressorTreeWindow> tree_;
};

// The compressor window of a unit that has compressors; null for one without.
std::unique_ptr<ui::Window> MakeCompressorWindow(TEditOVWindow& editWindow);

}  // namespace namespaceOV
