#pragma once

#include <functional>

#include "controls/ChangeOutcome.h"
#include "controls/TDataWindow.h"
#include "controls/TPolarityButton.h"
#include "controls/TQuadButton.h"
#include "familyov/filters/CrossoverChanges.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The crossover of one output: the low crossover's row (its upper edge), the high crossover's
// row (its lower edge) and the output's polarity. Every change goes to the unit at once; what the
// dialog shows comes from the device's crossover slots, read again on every record about the
// output.
class TCrossoverDialog : public ui::Dialog, public TDataWindow {
 public:
  TCrossoverDialog(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverDialog() override;

  // Shows the output on `channel`; 0 keeps the output shown.
  void SetOutput(int channel);
  int Output() const { return output_; }
  void UpdateControls();
  void Notify(NotifyRecord* record) override;
  // Enter takes the typed frequencies and never closes the dialog; Escape shows the unit's.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  struct Row {
    CrossoverSide side;
    ui::ComboBox type;
    ui::Edit frequency;
    TQuadButton quad;
    ui::UpDown order;
    ui::StaticText slope;
  };

  // The row's crossover, or every field unknown.
  void ShowRow(Row& row, bool unknown);
  void EvType(Row& row);
  void EvOrder(Row& row, int delta);
  void EvQuad(TQuadButton* button, int steps);
  void EvPolarity();
  // Runs a change of the crossovers on the unit; after a failure, the rows show what it holds.
  void Edit(const std::function<void()>& change);
  // No crossover of the unit keeps a link to this dialog's edits.
  void UnlinkEdits();
  // Tells of a change the unit has no room for.
  void Refused(CrossoverChanges::Outcome outcome);
  CrossoverChanges Changes();

  IQDeviceOrdavinex& device_;
  int output_ = 0;
  Row low_;
  Row high_;
  TPolarityButton polarity_;
};

}  // namespace namespaceOV
