#include "familyov/unit/CommandOutcome.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "platform/ui/MessageBox.h"

namespace namespaceOV {

std::string OutcomeText(const IQDeviceOrdavinex& device, const std::string& text) {
  return device.FiltersStale() ? text + "\n" + familycommon::kUnitReadAgainText : text;
}

void TellCommandOutcome(ui::Window* owner, const IQDeviceOrdavinex& device, const std::string& text,
                        const std::string& caption) {
  ui::MessageBox(owner, OutcomeText(device, text), caption, ui::mb::kOk | ui::mb::kIconStop);
}

}  // namespace namespaceOV
