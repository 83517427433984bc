#include "familycommon/LockLamp.h"

namespace familycommon {

namespace {

constexpr int kLampStripStyle = 0;

}  // namespace

LockLamp::LockLamp(ui::Window* parent, int id) : TLEDButton(parent, id) {
  SetStyle(kLampStripStyle);
  SetPushStyle(true);
}

void LockLamp::Show(bool locked) {
  SetState(locked ? kLocked : kUnlocked);
  Redraw();
}

void LockLamp::ShowUnknown() {
  SetState(kOff);
  Redraw();
}

}  // namespace familycommon
