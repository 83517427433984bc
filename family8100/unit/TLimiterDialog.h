#pragma once

#include <array>
#include <optional>
#include <string>

#include "bus/UCodeObject.h"
#include "controls/TLEDButton.h"
#include "family8100/unit/TValueDialog8100.h"
#include "family8100/unit/ValueConversions8100.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Trackbar.h"

namespace namespace8100 {

// The two output limiters: threshold in dBu, release speed and knee per channel, and "Enable
// Limiting" and "Link Channels" for both. While limiting is on, or not known, a bus unit's gain
// reduction is read in idle time, one transaction per pass; while it is off the bars stand full,
// nothing being limited. A silent unit's bars show unknown either way. Only a threshold the user
// changed is written: the one-decimal text would otherwise move an untouched threshold.
class TLimiterDialog : public TValueDialog8100 {
 public:
  static constexpr int kBarRange = 100;
  TLimiterDialog(ui::Window* parent, IQDevice8100& device);

  void FillControls() override;
  void ApplyTyped() override;
  void ShowUnknown() override;
  bool IdleAction(long idleCount) override;
  const ui::ProgressBar& Bar(int side) const {
    return sides_.at(static_cast<std::size_t>(side)).bar;
  }

 protected:
  void SetupWindow() override;

 private:
  struct Side {
    const LongIntUCodeObject& threshold;
    const FloatUCodeObject& release;
    const FloatUCodeObject& gainReduction;
    uint32_t softKneeMask;
    ui::Edit edit;
    ui::ProgressBar bar;
    std::array<ui::RadioButton, 3> releases;
    ui::RadioButton soft;
    ui::RadioButton hard;
    std::string shown{};
    float reduction = 0.0f;
  };
  void StepThreshold(Side& side, int delta);
  // The release chosen, unless the unit holds it already.
  void WriteRelease(Side& side, Release release);
  // The bits of `mask` in the limiter mode the unit holds set as `on` says, else turned over.
  void WriteMode(uint32_t mask, std::optional<bool> on);
  void ShowBars();
  // Limiting off: nothing is limited.
  void ShowBarsFull();

  std::array<Side, 2> sides_;
  TLEDButton link_;
  TLEDButton enable_;
  // "Enable Limiting" as last read; none while the lamp shows unknown.
  std::optional<bool> enabled_;
  bool linked_ = false;
  bool polling_ = false;
  // The next transaction of the gain-reduction round: 0 the ready flag, 1 left, 2 right.
  int pollStep_ = 0;
};

}  // namespace namespace8100
