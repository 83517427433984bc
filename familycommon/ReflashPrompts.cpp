#include "familycommon/ReflashPrompts.h"

#include <fstream>
#include <string>

#include "platform/shell/ProgramFolder.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"

namespace familycommon {

namespace {

constexpr const char* kCaption = "Reflash";

bool AskToContinue(ui::Window* owner, const std::string& text, unsigned icon) {
  return ui::MessageBox(owner, text, kCaption, ui::mb::kOkCancel | icon) == ui::kIdOk;
}

void Tell(ui::Window* owner, const std::string& text, std::optional<std::string> caption,
          unsigned icon) {
  ui::MessageBox(owner, text, std::move(caption), ui::mb::kOk | icon);
}

std::string CutShortWarning(const Firmware& firmware) {
  return "The firmware in this file is cut short: line " +
         std::to_string(firmware.records.back().line) +
         " holds a data record without data, and the " + std::to_string(firmware.recordsCutOff) +
         " records after it will not be sent.  A unit given incomplete firmware may not work.  "
         "Continue?";
}

}  // namespace

std::optional<Firmware> ChooseFirmware(uint32_t unitFamilyCode, const HexRules& rules,
                                       ui::Window* owner) {
  if (!AskToContinue(owner,
                     "Warning: This action will reprogram the unit.  Do not interrupt process.  "
                     "Errors during reprogramming can render the unit non-operational.  Continue?",
                     ui::mb::kIconInformation)) {
    return std::nullopt;
  }
  const auto path = ui::AskOpenFile(owner, {.filters = {{"Intel HEX-32 file (*.ihx)", "*.ihx"}},
                                            .defaultExtension = "ihx",
                                            .folder = shell::ProgramFolder().string()});
  if (!path) return std::nullopt;
  std::ifstream file(*path);
  if (!file) {
    Tell(owner, "Could not open file.", "Open file", ui::mb::kIconStop);
    return std::nullopt;
  }
  try {
    return ReadFirmware(file, rules, unitFamilyCode);
  } catch (const HexFileError& e) {
    Tell(owner, e.what(), e.Caption(),
         e.GetSeverity() == HexFileError::Severity::kWarning ? ui::mb::kIconExclamation
                                                             : ui::mb::kIconStop);
    return std::nullopt;
  }
}

bool ConfirmReflash(const Firmware& firmware, ui::Window* owner) {
  if (firmware.recordsCutOff > 0 &&
      !AskToContinue(owner, CutShortWarning(firmware), ui::mb::kIconExclamation)) {
    return false;
  }
  if (firmware.reinitialise &&
      !AskToContinue(owner,
                     "Unit will be re-initialized after reflash.  You will lose all current "
                     "settings.  Continue?",
                     ui::mb::kIconInformation)) {
    return false;
  }
  return AskToContinue(owner, "File opened successfully.  Continue with reflash?",
                       ui::mb::kIconQuestion);
}

void ShowReflashFailure(ui::Window* owner) {
  Tell(owner,
       "An error occurred during reflash.  Your unit may be corrupted.If so, contact technical "
       "support at Telvo Instruments.",
       kCaption, ui::mb::kIconStop);
}

void ShowReflashDone(ui::Window* owner) {
  Tell(owner,
       "Device reprogrammed successfully.  Please close device window and perform roll-call.",
       kCaption, ui::mb::kIconInformation);
}

}  // namespace familycommon
