#pragma once

#include <string>

#include "controls/TQuadButton.h"
#include "controls/UnitSteps.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/TFilterDialog.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

// The parameter dialog of each filter type that has one. Every change goes to the unit at once.
namespace namespaceOV {

// The frequency step of a quad button's zone at `frequency`, `count` steps at once: tens, hundreds
// or thousands of Hz on the outer zones by decade (down from 1000 Hz by 10, up by 100), single Hz
// on the inner ones; 0 for no zone.
long long FrequencyStep(int zone, int frequency, long long count);
// A filter's frequency stepped `count` times by its zone's step, kept to the filters' range.
int SteppedFilterFrequency(int frequency, int zone, int count);

// A frequency edit and the quad button that steps it.
struct FrequencyControls {
  explicit FrequencyControls(ui::Window* dialog);
  void SetUp();
  int Read(int current);
  void Show(int frequency);
  int Stepped(int frequency, int count) const;

  ui::Edit edit;
  TQuadButton quad;
};

// A level edit in dB and the quad button that steps it by a tenth or a whole dB.
struct LevelControls {
  LevelControls(ui::Window* dialog, float low, float high);
  void SetUp();
  float Read(float current);
  void Show(float level);
  float Stepped(float level) const;

  ui::Edit edit;
  TQuadButton quad;
  float low;
  float high;
};

// A dialog of one filter class: it shows only filters of that class.
template <typename Filter>
class TTypedFilterDialog : public TFilterDialog {
 public:
  void SetFilter(TFilter* filter) override;

 protected:
  TTypedFilterDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);
  Filter* Shown() const { return static_cast<Filter*>(GetFilter()); }
  // The edits a drag on the graph writes into.
  virtual ui::Edit* FrequencyEdit() { return nullptr; }
  virtual ui::Edit* LevelEdit() { return nullptr; }
  // The step of one of this dialog's quad buttons, taken by the shown filter; false for a
  // button that is not its own.
  virtual bool Spin(ui::Param button, int count) = 0;
};

// Peak filters: a level that "Inv." turns over, from -70 to +12 dB.
template <typename Filter>
class TPeakDialog : public TTypedFilterDialog<Filter> {
 public:
  static constexpr float kMinLevel = -70.0f;
  static constexpr float kMaxLevel = 12.0f;

 protected:
  TPeakDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);
  ui::Edit* LevelEdit() override { return &level_.edit; }
  void SetupWindow() override;
  bool Spin(ui::Param button, int count) override;

  LevelControls level_;
};

class TParametricDialog : public TPeakDialog<TParametricFilter> {
 public:
  static constexpr float kMinQ = kMinPeakQ;
  static constexpr float kMaxQ = kMaxPeakQ;
  static constexpr float kMinBandwidth = 0.0142f;
  static constexpr float kMaxBandwidth = 6.67f;
  // The slider's position p stands for 4 / p octaves.
  static constexpr int kSliderOctaves = 4;

  TParametricDialog(IQDeviceOrdavinex& device, ui::Window* parent);
  void ReadControls() override;
  void ShowFilter() override;

 protected:
  ui::Edit* FrequencyEdit() override { return &frequency_.edit; }
  void SetupWindow() override;
  void ApplyEntries() override;
  bool Spin(ui::Param button, int count) override;

 private:
  // Q or bandwidth typed: into the filter and shown in both forms, nothing written.
  void TakeQ();
  void TakeBandwidth();
  void ShowQ(float q);
  void Scrolled(ui::ScrollCode code);

  FrequencyControls frequency_;
  ui::Edit q_;
  ui::Edit bandwidth_;
  ui::Trackbar slider_;
  controls::UnitSteps sliderSteps_{slider_};
};

class TOctaveDialog : public TPeakDialog<TOctaveFilter> {
 public:
  TOctaveDialog(IQDeviceOrdavinex& device, ui::Window* parent);
  void ReadControls() override;
  void ShowFilter() override;

 private:
  ui::StaticText frequencyText_;
};

// Dialogs whose frequency has an edit and a quad button.
template <typename Filter>
class TFrequencyDialog : public TTypedFilterDialog<Filter> {
 protected:
  TFrequencyDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);
  ui::Edit* FrequencyEdit() override { return &frequency_.edit; }
  void SetupWindow() override;
  bool Spin(ui::Param button, int count) override;

  FrequencyControls frequency_;
};

// Lowpass and highpass: the order steps with an up-down, which re-allocates the filter on the
// unit once the DSP capacity allows the extra sections for every filter of its link chain.
template <typename Filter>
class TSlopeDialog : public TFrequencyDialog<Filter> {
 public:
  TSlopeDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId, std::string caption);
  void ReadControls() override;
  void ShowFilter() override;

 private:
  void StepOrder(int delta);

  ui::StaticText slope_;
  ui::UpDown order_;
  std::string caption_;
};

class TLowpassDialog : public TSlopeDialog<TLowpassFilter> {
 public:
  TLowpassDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

class THighpassDialog : public TSlopeDialog<THighpassFilter> {
 public:
  THighpassDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

// Shelves: a level from -12 to +12 dB.
template <typename Filter>
class TShelfDialog : public TFrequencyDialog<Filter> {
 public:
  TShelfDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);
  void ReadControls() override;
  void ShowFilter() override;

 protected:
  ui::Edit* LevelEdit() override { return &level_.edit; }
  void SetupWindow() override;
  bool Spin(ui::Param button, int count) override;

 private:
  LevelControls level_;
};

class TLowshelfDialog : public TShelfDialog<TLowshelfFilter> {
 public:
  TLowshelfDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

class THighshelfDialog : public TShelfDialog<THighshelfFilter> {
 public:
  THighshelfDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

// CD horn and allpass: order 1 or 2 by two radio buttons; a change is a full write.
template <typename Filter>
class TTwoOrderDialog : public TFrequencyDialog<Filter> {
 public:
  TTwoOrderDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);
  void ReadControls() override;
  void ShowFilter() override;
  void TakeUnshownFromUnit() override;

 private:
  ui::RadioButton first_;
  ui::RadioButton second_;
};

class TCDHornDialog : public TTwoOrderDialog<TCDHornFilter> {
 public:
  TCDHornDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

class TAllpassDialog : public TTwoOrderDialog<TAllpassFilter> {
 public:
  TAllpassDialog(IQDeviceOrdavinex& device, ui::Window* parent);
};

}  // namespace namespaceOV
