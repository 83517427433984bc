#include "family3300/TDSPIDialog.h"

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
  ShowSwitch(false);
  controls::GuardedBusCall(&device_, [this] {
    if (g3300DspiSwitch.Read(device_)) ShowSwitch(true);
  });
}

void TDSPIDialog::ShowSwitch(bool set) {
  lamp_.SetState(set ? kSetLamp : kClearLamp);
  lamp_.Redraw();
}

void TDSPIDialog::CmToggle() {
  controls::GuardedBusCall(&device_, [this] {
    const bool set = !g3300DspiSwitch.Read(device_);
    ShowSwitch(set);
    g3300DspiSwitch.Write(device_, set);
  });
}

}  // namespace namespace3300
