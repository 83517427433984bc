#pragma once

#include <memory>

#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

// How much of the unit's DSP budget and delay memory the settings take, and on a bus unit the
// unit's own usage counter, read while the program is idle.
class TGasDialog : public ui::Dialog, public virtual TDataWindow {
 public:
  TGasDialog(IQDeviceOrdavinex& device, ui::Window* parent);

  void Notify(NotifyRecord* record) override;
  // Keys go to the controls, never to the dialog's buttons.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IdleAction(long idleCount) override;
  void Refresh();
  bool Polling() const { return polling_; }

 protected:
  void SetupWindow() override;

 private:
  IQDeviceOrdavinex& device_;
  ui::ProgressBar totalBar_;
  ui::ProgressBar usageBar_;
  ui::StaticText total_;
  ui::StaticText usage_;
  bool polling_;
};

std::unique_ptr<ui::Window> MakeGasDialog(TEditOVWindow& editWindow);

}  // namespace namespaceOV
