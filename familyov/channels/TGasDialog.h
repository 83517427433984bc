#pragma once

#include <memory>

#include "familyov/unit/TOVWindow.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

// How much of the unit's DSP budget and delay memory the settings take, and on a bus unit the
// unit's own usage counter, polled while the program is idle.
class TGasDialog : public ui::Dialog, public virtual TDataWindow, public LiveValue {
 public:
  TGasDialog(IQDeviceOrdavinex& device, ui::Window* parent, UnitPoller& poller);

  void Notify(NotifyRecord* record) override;
  // Keys go to the controls, never to the dialog's buttons.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // One read of the unit's usage counter.
  void PollOnce() override;
  void ShowReadingUnknown() override;
  void Refresh();

 protected:
  void SetupWindow() override;

 private:
  IQDeviceOrdavinex& device_;
  ui::ProgressBar totalBar_;
  ui::ProgressBar usageBar_;
  ui::StaticText total_;
  ui::StaticText usage_;
  LiveValueRegistration live_;
};

std::unique_ptr<ui::Window> MakeGasDialog(TEditOVWindow& editWindow);

}  // namespace namespaceOV
