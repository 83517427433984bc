// The unit commands that the function tree and the menu run. Each takes the node id that ran it
// (-1 from the menu); its failures reach the caller's guard, which shows them.

#include <vector>

#include "controls/DeviceErrorReport.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/Reflash.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/UnitCommands.h"

namespace namespaceOV {

void TEditOVWindow::CmRenameUnit(int) {
  // The unit's windows: this one and those its tree opened, with whatever each of them opened.
  std::vector<ui::Window*> windows{this};
  for (const auto& child : children_) windows.push_back(child.get());
  if (!RenameUnit(*device_, this, windows)) return;
  NotifyRecord renamed{UnitRenamed, 0, 0, nullptr};
  Notify(&renamed);
}

void TEditOVWindow::CmStrobeLEDs(int) { StrobeLeds(*device_); }

void TEditOVWindow::NodeFactoryInit(int) {
  controls::OneReportScope command;
  if (FactoryInitialize(*device_, this)) UpdateCaption();
  // Also after a refusal: what the window shows is read from the unit again.
  RereadUnit(*device_, true);
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  Notify(&refresh);
}

void TEditOVWindow::CmChangeAddress(int) {
  if (ChangeAddress(*device_, this)) UpdateCaption();
}

void TEditOVWindow::CmFirmwareVersion(int) { ShowFirmwareVersion(*device_, this); }

void TEditOVWindow::CmSerialNumber(int) { ShowSerialNumber(*device_, this); }

void TEditOVWindow::NodeReflash(int) { ReflashUnit(*device_, this); }

}  // namespace namespaceOV
