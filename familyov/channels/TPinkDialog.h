#pragma once

#include <memory>
#include <vector>

#include "controls/TDataWindow.h"
#include "controls/TQuadButton.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespaceOV {

// The pink-noise generator: on (only when the unit's DSP can take it) or off, its level, and a
// mute for each output so that the noise reaches only the outputs under test.
class TPinkDialog : public ui::Dialog, public virtual TDataWindow {
 public:
  TPinkDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId);

  void Notify(NotifyRecord* record) override;
  // Enter (on its release) takes the typed level as the focus leaving the field does, whether the
  // generator is on or off; other keys go to the controls, never to the dialog's buttons.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  void Refill();
  void ApplyLevelText();

 protected:
  void SetupWindow() override;

 private:
  void CmEnable();
  void CmOutputMute(int output);
  void EvSpin();
  void NameMuteBox(int output);

  IQDeviceOrdavinex& device_;
  ui::Edit level_;
  TQuadButton spin_;
  ui::CheckBox enable_;
  std::vector<std::unique_ptr<ui::CheckBox>> mutes_;
};

// The dialog resource of a unit with `outputs` outputs; 0 when such a unit has none.
int PinkNoiseDialogId(int outputs);

// The pink-noise window of the unit; null for a unit with no such window.
std::unique_ptr<ui::Window> MakePinkDialog(TEditOVWindow& editWindow);

}  // namespace namespaceOV
