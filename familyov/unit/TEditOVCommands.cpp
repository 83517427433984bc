// The unit commands that the function tree and the menu run. Each takes the node id that ran it
// (-1 from the menu); its failures reach the caller's guard, which shows them.

#include "familyov/unit/Reflash.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

void TEditOVWindow::CmRenameUnit(int) {}
void TEditOVWindow::CmStrobeLEDs(int) {}
void TEditOVWindow::NodeFactoryInit(int) {}
void TEditOVWindow::CmChangeAddress(int) {}
void TEditOVWindow::CmFirmwareVersion(int) {}
void TEditOVWindow::CmSerialNumber(int) {}

void TEditOVWindow::NodeReflash(int) { ReflashUnit(*device_, this); }

}  // namespace namespaceOV
