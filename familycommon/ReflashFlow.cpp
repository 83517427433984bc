#include "familycommon/ReflashFlow.h"

#include <exception>
#include <optional>

#include "controls/TProgressDialog.h"
#include "familycommon/ReflashPrompts.h"
#include "platform/ui/Application.h"

namespace familycommon {

void ReflashUnit(uint32_t unitFamilyCode, const HexRules& rules, FirmwareSteps& steps,
                 const std::function<void(const IQException&)>& report, ui::Window* owner) {
  const std::optional<Firmware> firmware = ChooseFirmware(unitFamilyCode, rules, owner);
  if (!firmware || !ConfirmReflash(*firmware, owner)) return;

  TProgressDialog progress(owner);
  progress.Create();
  progress.SetRange(0, static_cast<int>(firmware->records.size()));
  progress.SetValue(0);
  progress.SetText("Erasing FLASH");
  try {
    ui::WaitCursor wait;
    steps.PrepareErase();
  } catch (const IQException& e) {
    // Nothing is erased yet: the unit keeps its firmware.
    report(e);
    return;
  }
  try {
    ui::WaitCursor wait;
    steps.Program(*firmware, progress);
  } catch (const IQException& e) {
    report(e);
    ShowReflashFailure(owner);
    return;
  } catch (const std::exception&) {
    ShowReflashFailure(owner);
    return;
  }
  ShowReflashDone(owner);
}

}  // namespace familycommon
