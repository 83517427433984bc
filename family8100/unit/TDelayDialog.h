#pragma once

#include <array>
#include <string>

#include "bus/UCodeObject.h"
#include "family8100/unit/TValueDialog8100.h"
#include "family8100/unit/ValueConversions8100.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

// The left and right delays in milliseconds, feet or meters (the choice is remembered), typed or
// stepped coarsely (one displayed unit) or finely (one sample) from the unit's value.
class TDelayDialog : public TValueDialog8100 {
 public:
  TDelayDialog(ui::Window* parent, IQDevice8100& device);

  void FillControls() override;
  void ApplyTyped() override;
  void CloseWindow(int result = ui::kIdCancel) override;
  DelayUnits Units() const { return units_; }

 protected:
  void SetupWindow() override;
  // The units the delays are shown in stay chosen: they are the program's, not the unit's.
  void ShowUnknown() override;

 private:
  struct Side {
    const LongIntUCodeObject& object;
    ui::Edit edit;
    // The unit's delay as last shown: a field left so writes nothing.
    std::string shown{};
  };
  void Step(Side& side, int delta, bool coarse);

  DelayUnits units_ = DelayUnits::Milliseconds;
  std::array<ui::RadioButton, 3> unitButtons_;
  // Left, then right.
  std::array<Side, 2> sides_;
};

}  // namespace namespace8100
