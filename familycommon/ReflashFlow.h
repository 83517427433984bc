#pragma once

#include <cstdint>
#include <functional>

#include "bus/IQException.h"
#include "familycommon/IntelHex.h"

class TProgressDialog;

namespace ui {
class Window;
}

// A unit's firmware replaced from an Intel HEX file, the same for both processor families but for
// how each talks to its units.
namespace familycommon {

// The unit's side of a reflash, as one family talks to its units.
class FirmwareSteps {
 public:
  virtual ~FirmwareSteps() = default;
  // Readies the unit for the erase; nothing is erased yet.
  virtual void PrepareErase() = 0;
  // Erases, programs and reboots the unit, moving `progress` along.
  virtual void Program(const Firmware& firmware, TProgressDialog& progress) = 0;
};

// The warnings, the file read and checked whole for a unit of `unitFamilyCode` before the unit is
// touched, then `steps` with the progress dialog and the wait cursor over `owner`. Every failure is
// shown to the user, a bus failure through `report` first.
void ReflashUnit(uint32_t unitFamilyCode, const HexRules& rules, FirmwareSteps& steps,
                 const std::function<void(const IQException&)>& report, ui::Window* owner);

// For a rebooting unit, which may not answer: the wait for its ready flag that follows tells.
void IgnoringBusFailure(const auto& action) {
  try {
    action();
  } catch (const IQException&) {
  }
}

}  // namespace familycommon
