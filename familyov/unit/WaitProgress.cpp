#include "familyov/unit/WaitProgress.h"

#include <algorithm>

#include "controls/TProgressDialog.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

WaitProgress::WaitProgress(IQDeviceOrdavinex& device, TProgressDialog& dialog)
    : device_(device), saved_(device.GetWaitBound()) {
  dialog.SetRange(0, kSteps);
  WaitBound shown = saved_;
  shown.onPoll = [&dialog, inner = saved_.onPoll](double fraction) {
    if (inner) inner(fraction);
    dialog.SetValue(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kSteps));
  };
  device_.SetWaitBound(std::move(shown));
}

WaitProgress::~WaitProgress() { device_.SetWaitBound(std::move(saved_)); }

}  // namespace namespaceOV
