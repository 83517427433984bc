#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>

#include "controls/TMyVSlider.h"
#include "family3300/Parameters3300.h"
#include "platform/ui/Dialog.h"

namespace namespace3300 {

class IQDevice3300;

// The 28 third-octave bands of one channel, one slider each. A slider writes its band when the
// user lets it go, or at each arrow or page key while it has the focus; "Flatten" sets every band
// to 0 dB and "Adjust ..." shifts them all by one offset from the levels the unit holds. Bands the
// unit did not take show what it holds; bands it did not answer for, or could not be read, show no
// level until it is read again.
class TGraphicEQ : public ui::Dialog {
 public:
  TGraphicEQ(IQDevice3300& device, int channel, ui::Window* parent);

  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Reads the bands and shows them; a failure is reported.
  void ReadBands();
  // The same, with a bus failure thrown.
  void ShowBands();
  // The bands from `first` on, as many as `count`, show no level.
  void ShowUnknown(std::size_t first, std::size_t count);
  TMyVSlider& Slider(int band) { return *sliders_[static_cast<std::size_t>(band - 1)]; }

 protected:
  void SetupWindow() override;

 private:
  void Scrolled(const ui::Message& message);
  void CmFlatten();
  void CmAdjust();
  // The slider that has the keyboard focus, else null.
  TMyVSlider* FocusedSlider() const;
  // Writes the slider's position to its band.
  void WriteBand(const TMyVSlider& slider);
  // Writes `levels` to the bands from `first` on. The sliders show them once the unit took them
  // all, else those bands as the unit holds them.
  void WriteBands(std::size_t first, std::span<const int> levels);
  // Reads the bands from `first` on, as many as `count`, and shows them; a bus failure is thrown.
  void ShowBandRange(std::size_t first, std::size_t count);

  IQDevice3300& device_;
  const ChannelObjects& objects_;
  std::array<std::unique_ptr<TMyVSlider>, kBandCount> sliders_;
};

}  // namespace namespace3300
