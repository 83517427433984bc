#include "familyov/unit/TNetLogicDialog.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "controls/TProgressDialog.h"
#include "familyov/unit/NetworkLogicTrigger.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvCommandIds.h"

namespace namespaceOV {
namespace {

constexpr int kMaxInputChars = 2;
constexpr int kCoarseStep = 5;

int SpinStep(int zone) {
  switch (zone) {
    case TQuadButton::kLowerLeft:
      return -kCoarseStep;
    case TQuadButton::kLowerRight:
      return -1;
    case TQuadButton::kUpperRight:
      return 1;
    case TQuadButton::kUpperLeft:
      return kCoarseStep;
    default:
      return 0;
  }
}

}  // namespace

TNetLogicDialog::TNetLogicDialog(IQDeviceType* type, IQDeviceManager* manager, ui::Window* parent)
    : ui::Dialog(parent, ovres::kNetLogicDialog),
      type_(type),
      manager_(manager),
      edit_(this, ovres::kLogicInputEdit, kMaxInputChars),
      spin_(this, ovres::kLogicInputSpin) {
  OnCommand(ovres::kTriggerButton, [this] { CmTrigger(); });
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message&) { return EvQuadSpin(); });
}

void TNetLogicDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  edit_.SetValidator(
      std::make_unique<ui::RangeValidator>(kFirstNetworkLogicInput, kLastNetworkLogicInput));
  edit_.SetText("1");
}

ui::Param TNetLogicDialog::EvQuadSpin() {
  value_ = std::clamp(value_ + SpinStep(spin_.CurrentZone()), kFirstNetworkLogicInput,
                      kLastNetworkLogicInput);
  edit_.SetText(std::to_string(value_));
  return 0;
}

void TNetLogicDialog::CmTrigger() {
  const std::string text = edit_.Text();
  int input = value_;
  // A text that holds no number fires the number before.
  std::from_chars(text.data(), text.data() + text.size(), input);
  if (input >= kFirstNetworkLogicInput && input <= kLastNetworkLogicInput) value_ = input;
  TProgressDialog progress(this);
  progress.Create();
  progress.SetText("Waiting for the units to become ready...");
  SendNetworkLogicTrigger(type_, manager_, input, &progress);
}

}  // namespace namespaceOV
