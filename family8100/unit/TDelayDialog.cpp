#include "family8100/unit/TDelayDialog.h"

#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

using namespace f8100res;

FamilyKey8100 KeyOf(const IQDevice8100& device) {
  const auto* type = dynamic_cast<const IQ8100Type*>(device.GetType());
  return type ? type->Key() : FamilyKey8100(registry::Key());
}

}  // namespace

TDelayDialog::TDelayDialog(ui::Window* parent, IQDevice8100& device)
    : TValueDialog8100(parent, kDelayDialog, device),
      unitButtons_{ui::RadioButton(this, kMsecButton), ui::RadioButton(this, kFeetButton),
                   ui::RadioButton(this, kMetersButton)},
      sides_{Side{g8100LeftDelay, ui::Edit(this, kLeftDelayEdit)},
             Side{g8100RightDelay, ui::Edit(this, kRightDelayEdit)}} {
  for (int i = 0; i < 3; ++i) {
    OnCommand(kMsecButton + i, [this, i] {
      units_ = static_cast<DelayUnits>(i);
      Guarded([] {});
    });
  }
  const std::pair<int, int> spins[] = {
      {kLeftCoarseSpin, 0}, {kLeftFineSpin, 0}, {kRightCoarseSpin, 1}, {kRightFineSpin, 1}};
  for (const auto& [id, side] : spins) {
    const bool coarse = id == kLeftCoarseSpin || id == kRightCoarseSpin;
    OnNotify(id, ui::Notify::DeltaPos, [this, side = side, coarse](const ui::Notification& n) {
      Step(sides_[static_cast<std::size_t>(side)], static_cast<int>(n.value), coarse);
      return ui::Param{0};
    });
  }
}

void TDelayDialog::SetupWindow() {
  units_ = static_cast<DelayUnits>(KeyOf(Device()).DelayUnits().value_or(0) % 3);
  unitButtons_[static_cast<std::size_t>(units_)].SetCheck(true);
  for (Side& side : sides_) side.edit.SetValidator(std::make_unique<ui::CharSetValidator>("0-9."));
  TValueDialog8100::SetupWindow();
}

void TDelayDialog::ShowUnknown() {
  TValueDialog8100::ShowUnknown();
  unitButtons_[static_cast<std::size_t>(units_)].SetCheck(true);
}

void TDelayDialog::CloseWindow(int result) {
  TValueDialog8100::CloseWindow(result);
  KeyOf(Device()).SetDelayUnits(static_cast<uint8_t>(units_));
}

void TDelayDialog::FillControls() {
  for (Side& side : sides_) {
    side.shown = DelayText(side.object.Read(Device()), units_);
    side.edit.SetText(side.shown);
  }
}

void TDelayDialog::ApplyTyped() {
  for (Side& side : sides_) {
    if (side.edit.Text() == side.shown) continue;
    if (const auto typed = ParseTyped(side.edit.Text())) {
      side.object.Write(Device(), TypedDelaySamples(*typed, units_));
    }
  }
}

void TDelayDialog::Step(Side& side, int delta, bool coarse) {
  // The up arrow (a negative delta) lengthens the delay.
  const float samples = coarse ? -delta * SamplesPerUnit(units_) : static_cast<float>(-delta);
  Guarded([&] { side.object.Write(Device(), SteppedDelay(side.object.Read(Device()), samples)); });
}

}  // namespace namespace8100
