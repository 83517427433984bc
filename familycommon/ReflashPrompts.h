#pragma once

#include <cstdint>
#include <optional>

#include "familycommon/IntelHex.h"

namespace ui {
class Window;
}

// The questions and messages of a reflash, the same for both processor families.
namespace familycommon {

// After the warning, the firmware file the user picks, read and checked for a unit of
// `unitFamilyCode` under the family's `rules`; none when the user stops or the file is refused
// (the user has been told why). Nothing has gone to the unit.
std::optional<Firmware> ChooseFirmware(uint32_t unitFamilyCode, const HexRules& rules,
                                       ui::Window* owner);
// The warning of firmware cut short and the re-initialise question when they apply, then the last
// question before the erase.
bool ConfirmReflash(const Firmware& firmware, ui::Window* owner);
void ShowReflashFailure(ui::Window* owner);
void ShowReflashDone(ui::Window* owner);

}  // namespace familycommon
