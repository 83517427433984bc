#pragma once

#include <functional>

#include "controls/TLEDButton.h"
#include "platform/ui/Dialog.h"

namespace namespace3300 {

class IQDevice3300;

// The unit's DSPI switch on a lamp: pressing the lamp flips the switch.
class TDSPIDialog : public ui::Dialog {
 public:
  static constexpr int kSetLamp = 2;
  static constexpr int kClearLamp = 1;

  // `readOwed` is told of a read of the switch that failed, to be tried again once the unit
  // answers.
  TDSPIDialog(IQDevice3300& device, ui::Window* parent, std::function<void()> readOwed);
  const TLEDButton& Lamp() const { return lamp_; }
  // Reads the switch from the unit and shows it; a bus failure shows it unknown and is thrown.
  void ShowSwitchFromUnit();
  // The lamp dark: the switch is not known.
  void ShowUnknown();

 protected:
  void SetupWindow() override;

 private:
  void CmToggle();
  void ShowSwitch(int lampState);
  // ShowSwitchFromUnit with a failure reported and the read owed.
  void ShowUnitSwitch();

  IQDevice3300& device_;
  std::function<void()> readOwed_;
  TLEDButton lamp_;
};

}  // namespace namespace3300
