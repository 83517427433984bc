#include "family3300/TDSPIDialog.h"

#include <utility>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr int kLampStyle = 0;

}  // namespace

TDSPIDialog::TDSPIDialog(IQDevice3300& device, ui::Window* parent, std::function<void()> readOwed)
    : ui::Dialog(parent, res3300::kDspiDialog),
      device_(device),
      readOwed_(std::move(readOwed)),
      lamp_(this, res3300::kDspiLamp) {
  lamp_.SetStyle(kLampStyle);
  lamp_.SetPushStyle(true);
  OnCommand(res3300::kDspiLamp, [this] { CmToggle(); });
}

void TDSPIDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ShowUnitSwitch();
}

void TDSPIDialog::ShowUnitSwitch() {
  if (!controls::GuardedBusCall(&device_, [this] { ShowSwitchFromUnit(); }) && readOwed_) {
    readOwed_();
  }
}

void TDSPIDialog::ShowSwitchFromUnit() {
  try {
    ShowSwitch(g3300DspiSwitch.Read(device_) ? kSetLamp : kClearLamp);
  } catch (const IQException&) {
    ShowUnknown();
    throw;
  }
}

void TDSPIDialog::ShowUnknown() {
  // Dark: a lamp never shows a state the unit did not give.
  ShowSwitch(TLEDButton::kOff);
}

void TDSPIDialog::ShowSwitch(int lampState) {
  lamp_.SetState(lampState);
  lamp_.Redraw();
}

void TDSPIDialog::CmToggle() {
  // A lost reply may have flipped the switch all the same: the lamp shows nothing until the unit,
  // read again, gives it.
  const auto showUnit = [this] { ShowUnitSwitch(); };
  controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(
            &device_, [this] { g3300DspiSwitch.Write(device_, !g3300DspiSwitch.Read(device_)); });
      },
      {.taken = showUnit, .showUnit = showUnit, .showUnknown = [this] { ShowUnknown(); }});
}

}  // namespace namespace3300
