#pragma once

#include "platform/ui/ListView.h"

// A device list of the client dialog. A right click is passed on to the parent as its own
// right-button message, with the point in the parent's coordinates, so that the parent can
// offer its popup menu for either list.
class TDeviceListWindow : public ui::ListView {
 public:
  TDeviceListWindow(ui::Window* parent, int id);
  // The selected item as the item-changed notifications left it, -1 for none.
  int Selection() const { return selection_; }
  void TrackSelection(int item, bool selected);
  void ForgetSelection() { selection_ = -1; }

 private:
  int selection_ = -1;
};
