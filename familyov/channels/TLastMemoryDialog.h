#pragma once

#include "controls/TDataWindow.h"
#include "controls/TLEDButton.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The unit summary's footer: DSP usage, the filters the unit can still take, the memory recalled
// last, the logic input that fired last, and "Mod" while the settings differ from every memory.
class TLastMemoryDialog : public ui::Dialog, public TDataWindow {
 public:
  TLastMemoryDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  void Notify(NotifyRecord* record) override;
  // Enter and Escape do nothing here.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Follows the settings-changed mark; no bus traffic, and a repaint only when it changes.
  bool IdleAction(long idleCount) override;
  void Refresh();

 protected:
  void SetupWindow() override;

 private:
  void SetControlText(int id, const std::string& text);

  IQDeviceOrdavinex& device_;
  ui::ProgressBar usage_;
  TLEDButton modified_;
};

}  // namespace namespaceOV
