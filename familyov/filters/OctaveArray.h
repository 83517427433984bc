#pragma once

#include <vector>

#include "controls/TQuadButton.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

class TDataWindow;

namespace namespaceOV {

class IQDeviceOrdavinex;

// A bank of boost/cut filters at the ISO centres between two frequencies.
struct OctaveArraySettings {
  int start = 20;    // Hz
  int stop = 20000;  // Hz
  int spacing = 1;   // 0: 1/6, 1: 1/3, 2: 2/3, 3: 1 octave
  float q = 3.2f;
};

// The ISO centres of the spacing from the first one not below `start`, while not above `stop`.
std::vector<int> OctaveBankFrequencies(const OctaveArraySettings& settings);

// "Create octave filters": range, spacing and Q of a bank. The quad buttons and the spacing store
// their values in the caller's settings at once; closing with OK takes the edits too.
class TOctaveMacroDialog : public ui::Dialog {
 public:
  TOctaveMacroDialog(ui::Window* parent, OctaveArraySettings& settings);
  void CloseWindow(int result = ui::kIdCancel) override;

 protected:
  void SetupWindow() override;

 private:
  void Spin(ui::Param button);
  // The start or the stop stepped by the zone of its button, kept on its side of the other.
  void StepFrequency(ui::Edit& edit, const TQuadButton& quad, int& value, bool isStart);
  void ShowQ();
  int ReadFrequency(ui::Edit& edit, int current) const;

  OctaveArraySettings& settings_;
  ui::Edit start_;
  TQuadButton startQuad_;
  ui::Edit stop_;
  TQuadButton stopQuad_;
  ui::ComboBox spacing_;
  ui::Edit q_;
  TQuadButton qQuad_;
};

// Adds the bank to `channel`: one capacity check for the whole bank on every linked channel,
// then each filter is created on the unit and announced through `sender`. A bus failure on one
// filter is reported and the bank goes on.
void CreateOctaveBank(ui::Window& owner, const TDataWindow& sender, IQDeviceOrdavinex& device,
                      int channel, const OctaveArraySettings& settings);

// The filter editor's "Graphic EQ filters..." command: asks for the range, spacing and Q, then
// fills `channel` with the bank. `owner` is the editor's layout window (the dialog's parent and
// the capacity refusal's owner); `sender` tells the unit's windows of each new filter.
void RunOctaveArrayCommand(ui::Window& owner, const TDataWindow& sender, IQDeviceOrdavinex& device,
                           int channel);

}  // namespace namespaceOV
