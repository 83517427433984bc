#pragma once

#include "controls/TLEDButton.h"
#include "platform/ui/Dialog.h"

namespace namespace3300 {

class IQDevice3300;

// The unit's DSPI switch on a lamp: pressing the lamp flips the switch.
class TDSPIDialog : public ui::Dialog {
 public:
  static constexpr int kSetLamp = 2;
  static constexpr int kClearLamp = 1;

  TDSPIDialog(IQDevice3300& device, ui::Window* parent);
  const TLEDButton& Lamp() const { return lamp_; }
  // Reads the switch from the unit and shows it; a bus failure is thrown.
  void ShowSwitchFromUnit();

 protected:
  void SetupWindow() override;

 private:
  void CmToggle();
  void ShowSwitch(bool set);
  // The same, with a failure reported and the lamp left as it is.
  void ShowUnitSwitch();

  IQDevice3300& device_;
  TLEDButton lamp_;
};

}  // namespace namespace3300
