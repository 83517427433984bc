#include "controls/CarriedName.h"

#include "bus/SettingsTextFile.h"
#include "platform/ui/MessageBox.h"

namespace controls {

bool RefusedName(ui::Window* owner, const std::string& name, const std::string& caption) {
  if (SettingsTextFile::CanCarry(name)) return false;
  ui::MessageBox(owner, SettingsTextFile::kUncarriedReason, caption,
                 ui::mb::kOk | ui::mb::kIconExclamation);
  return true;
}

}  // namespace controls
