#include "familyov/unit/CommandOutcome.h"

#include "controls/DeviceErrorReport.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "platform/ui/MessageBox.h"

namespace namespaceOV {

void ReportLoadError(IQDeviceOrdavinex& device, const familycommon::LoadFailure& failure) {
  try {
    std::rethrow_exception(failure.error);
  } catch (const IQException& error) {
    ReportCommError(error, device);
  }
}

void TellCommandOutcome(ui::Window* owner, const IQDeviceOrdavinex& device, const std::string& text,
                        const std::string& caption) {
  std::string shown = text;
  if (device.FiltersStale()) shown += std::string("\n") + familycommon::kFiltersReadAgainText;
  ui::MessageBox(owner, shown, caption, ui::mb::kOk | ui::mb::kIconStop);
}

}  // namespace namespaceOV
