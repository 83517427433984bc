#pragma once

#include "platform/ui/ListView.h"

// A device list of the client dialog. A right click is passed on to the parent as its own
// right-button message, with the point in the parent's coordinates, so that the parent can
// offer its popup menu for either list.
class TDeviceListWindow : public ui::ListView {
 public:
  TDeviceListWindow(ui::Window* parent, int id);
};
