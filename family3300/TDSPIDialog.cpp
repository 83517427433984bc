#include "family3300/TDSPIDialog.h"

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr int kLampStyle = 0;

}  // namespace

TDSPIDialog::TDSPIDialog(IQDevice3300& device, ui::Window* parent)
    : ui::Dialog(parent, res3300::kDspiDialog), device_(device), lamp_(this, res3300::kDspiLamp) {
  lamp_.SetStyle(kLampStyle);
  lamp_.SetPushStyle(true);
  OnCommand(res3300::kDspiLamp, [this] { CmToggle(); });
}

void TDSPIDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // Dark until the unit gives the switch: a lamp never shows a state the unit did not give.
  lamp_.SetState(TLEDButton::kOff);
  lamp_.Redraw();
  ShowUnitSwitch();
}

void TDSPIDialog::ShowUnitSwitch() {
  controls::GuardedBusCall(&device_, [this] { ShowSwitchFromUnit(); });
}

void TDSPIDialog::ShowSwitchFromUnit() { ShowSwitch(g3300DspiSwitch.Read(device_)); }

void TDSPIDialog::ShowSwitch(bool set) {
  lamp_.SetState(set ? kSetLamp : kClearLamp);
  lamp_.Redraw();
}

void TDSPIDialog::CmToggle() {
  // A lost reply may have flipped the switch all the same: whatever became of the press, the lamp
  // shows what the unit holds.
  const auto showUnit = [this] { ShowUnitSwitch(); };
  controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(
            &device_, [this] { g3300DspiSwitch.Write(device_, !g3300DspiSwitch.Read(device_)); });
      },
      {.taken = showUnit, .showUnit = showUnit, .showUnknown = {}});
}

}  // namespace namespace3300
