#include "controls/TAdjustDialog.h"

#include <algorithm>

#include "controls/LevelScale.h"

TAdjustDialog::TAdjustDialog(ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId),
      readOut_(this, controls_res::kAdjustText),
      upDown_(this, controls_res::kAdjustUpDown) {
  OnNotify(controls_res::kAdjustUpDown, ui::Notify::DeltaPos, [this](const ui::Notification& n) {
    // The arrows count down as they go up; the offset counts up.
    value_ = std::clamp(static_cast<int>(value_ - n.value), kMinSteps, kMaxSteps);
    readOut_.SetText(controls::DbText(value_, kDbPerStep, 0.0f));
    return ui::Param{0};
  });
}

void TAdjustDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  readOut_.SetText("0 dB");
}

void TAdjustDialog::CloseWindow(int) { ui::Dialog::CloseWindow(value_); }
