#pragma once

#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"
#include "resources/ControlsResources.h"

// Asks for one offset in half-dB steps, -20 to 20. However it closes, Execute answers the offset,
// not a button id.
class TAdjustDialog : public ui::Dialog {
 public:
  static constexpr int kMinSteps = -20;
  static constexpr int kMaxSteps = 20;
  static constexpr float kDbPerStep = 0.5f;

  explicit TAdjustDialog(ui::Window* parent, int resourceId = controls_res::kAdjustDialog);
  void CloseWindow(int result = ui::kIdCancel) override;
  int Value() const { return value_; }

 protected:
  void SetupWindow() override;

 private:
  ui::StaticText readOut_;
  ui::UpDown upDown_;
  int value_ = 0;
};
