#include "controls/TLevelDialog.h"

#include <string>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"

TLevelDialog::TLevelDialog(IQDevice* device, const ByteUCodeObject* parameter, int minimum,
                           int maximum, int tickGap, ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId),
      device_(device),
      parameter_(parameter),
      scale_{minimum, maximum, true},
      tickGap_(tickGap),
      readOut_(this, controls_res::kLevelText),
      unit_(this, controls_res::kLevelUnit),
      trackbar_(this, controls_res::kLevelTrackbar) {
  OnNotify(controls_res::kLevelTrackbar, ui::Notify::Scroll, [this](const ui::Notification& n) {
    Scrolled(static_cast<ui::ScrollCode>(n.value));
    return ui::Param{0};
  });
}

void TLevelDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  unit_.SetText(UnitText());
  trackbar_.SetRange(scale_.minimum, scale_.maximum);
  trackbar_.SetTickFrequency(tickGap_);
  ReadValue();
}

bool TLevelDialog::ReadValue() {
  if (device_ == nullptr || parameter_ == nullptr) return false;
  const bool read = controls::GuardedBusCall(
      device_, [this] { trackbar_.SetPosition(scale_.PositionOf(parameter_->Read(*device_))); });
  ShowValue();
  steps_.Rest(read);
  // A level the unit did not give shows as unknown, not as where the slider happens to rest.
  if (!read) ShowUnknown();
  return read;
}

void TLevelDialog::ShowUnknown() {
  readOut_.SetText(controls::kUnknownValue);
  steps_.Rest(false);
}

void TLevelDialog::ShowValue() { readOut_.SetText(std::to_string(ShownValue())); }

void TLevelDialog::Scrolled(ui::ScrollCode code) {
  // The rest of a move whose write failed keeps the thumb where the failure left it: at the unit's
  // level, or where the read-out says unknown.
  if (writes_.Stopped(code)) {
    trackbar_.SetPosition(stoppedAt_);
    return;
  }
  if (!steps_.Move(code, [this] { return ReadValue(); })) return;
  const bool due = writes_.Due(code, ShownValue());
  // A move's end that writes nothing stays at what its last write left shown: the level, the
  // unit's again, or unknown.
  if (due || code != ui::ScrollCode::EndScroll) ShowValue();
  if (!due || device_ == nullptr || parameter_ == nullptr) return;
  const controls::ChangeOutcome outcome = controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(
            device_, [this] { parameter_->Write(*device_, static_cast<uint8_t>(ShownValue())); });
      },
      {.taken = [this] { steps_.Rest(true); },
       .showUnit =
           [this] {
             ReadValue();
             writes_.UnitHolds(ShownValue());
           },
       .showUnknown = [this] { ShowUnknown(); }});
  if (outcome != controls::ChangeOutcome::kTaken) {
    writes_.Failed(code);
    stoppedAt_ = trackbar_.Position();
  }
}

TdBLevelDialog::TdBLevelDialog(IQDevice* device, const ByteUCodeObject* parameter, int minimum,
                               int maximum, int tickGap, float offset, float scale,
                               ui::Window* parent, int resourceId)
    : TLevelDialog(device, parameter, minimum, maximum, tickGap, parent, resourceId),
      dbScale_(scale),
      dbOffset_(offset) {}

void TdBLevelDialog::ShowValue() {
  ReadOut().SetText(controls::DbText(ShownValue(), dbScale_, dbOffset_));
}
