#include "family8100/unit/TNoiseDialog.h"

#include <algorithm>
#include <cstdio>

#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/ValueConversions8100.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

using namespace f8100res;

// By zone: the lower zones lower the level.
constexpr float kZoneSteps[] = {-1.0f, -0.1f, 0.1f, 1.0f};

std::string LevelText(float db) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", db);
  return text;
}

float ClampLevel(float db) {
  return std::clamp(db, TNoiseDialog::kMinLevelDb, TNoiseDialog::kMaxLevelDb);
}

}  // namespace

TNoiseDialog::TNoiseDialog(ui::Window* parent, IQDevice8100& device)
    : TValueDialog8100(parent, kNoiseDialog, device),
      sides_{Side{g8100LeftNoiseLevel, g8100LeftNoiseType, ui::Edit(this, kLeftNoiseLevelEdit),
                  ui::RadioButton(this, kLeftPinkButton), ui::RadioButton(this, kLeftFlatButton),
                  TQuadButton(this, kLeftNoiseSpin)},
             Side{g8100RightNoiseLevel, g8100RightNoiseType, ui::Edit(this, kRightNoiseLevelEdit),
                  ui::RadioButton(this, kRightPinkButton), ui::RadioButton(this, kRightFlatButton),
                  TQuadButton(this, kRightNoiseSpin)}} {
  for (Side& side : sides_) {
    OnCommand(side.pink.Id(), [this, &side] { ChangeType(side, 0); });
    OnCommand(side.flat.Id(), [this, &side] { ChangeType(side, 1); });
  }
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    for (Side& side : sides_) {
      if (reinterpret_cast<ui::Param>(&side.spin) == m.lParam) Spin(side);
    }
    return ui::Param{0};
  });
}

void TNoiseDialog::SetupWindow() {
  for (Side& side : sides_) side.edit.SetValidator(std::make_unique<ui::CharSetValidator>("-0-9."));
  TValueDialog8100::SetupWindow();
}

void TNoiseDialog::FillControls() {
  for (Side& side : sides_) {
    const bool flat = side.type.Read(Device()) != 0;
    side.pink.SetCheck(!flat);
    side.flat.SetCheck(flat);
    side.shown = LevelText(side.level.Read(Device()));
    side.edit.SetText(side.shown);
  }
}

void TNoiseDialog::ApplyTyped() {
  for (Side& side : sides_) {
    const std::string text = side.edit.Text();
    if (text == side.shown) continue;
    if (const auto typed = ParseTyped(text)) side.level.Write(Device(), ClampLevel(*typed));
  }
}

void TNoiseDialog::Spin(Side& side) {
  const int zone = side.spin.CurrentZone();
  if (zone < 0 || zone > 3) return;
  Commit([&] {
    side.level.Write(Device(), ClampLevel(side.level.Read(Device()) + kZoneSteps[zone]));
  });
}

void TNoiseDialog::ChangeType(Side& side, uint8_t type) {
  // The other side's type is its own value: whatever its buttons show, it is not written.
  Commit([&] {
    if (type != side.type.Read(Device())) side.type.Write(Device(), type);
  });
}

}  // namespace namespace8100
