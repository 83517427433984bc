#pragma once

#include "familyov/unit/FlagWait.h"

class TProgressDialog;

namespace namespaceOV {

class IQDeviceOrdavinex;

// While it lives, the unit's ready and loading waits move the dialog's bar as their bound runs
// out, so a slow unit shows that something is going on. The device's bound is restored after.
class WaitProgress {
 public:
  static constexpr int kSteps = 100;

  WaitProgress(IQDeviceOrdavinex& device, TProgressDialog& dialog);
  ~WaitProgress();
  WaitProgress(const WaitProgress&) = delete;
  WaitProgress& operator=(const WaitProgress&) = delete;

 private:
  IQDeviceOrdavinex& device_;
  WaitBound saved_;
};

}  // namespace namespaceOV
