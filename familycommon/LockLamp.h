#pragma once

#include "controls/TLEDButton.h"

namespace familycommon {

// The lamp of a unit's security page: a frame of the lamp strip that shows whether the unit is
// locked, pressed like a button to lock or unlock it.
class LockLamp : public TLEDButton {
 public:
  static constexpr int kLocked = 2;
  static constexpr int kUnlocked = 6;

  LockLamp(ui::Window* parent, int id);
  // Shows the lock at once.
  void Show(bool locked);
  // Shows neither state, for a lock the unit did not give.
  void ShowUnknown();
};

}  // namespace familycommon
