#include "app/DeviceListWindow.h"

TDeviceListWindow::TDeviceListWindow(ui::Window* parent, int id) : ui::ListView(parent, id) {
  // A drop or paste on no item of the virtual list makes a new virtual device.
  KeepRoomBelowItems();
  OnMessage(ui::msg::kRButtonDown, [this](const ui::Message& m) -> ui::Param {
    ui::Window* parent = Parent();
    if (parent == nullptr) return 0;
    const ui::Point inParent = parent->ScreenToClient(ClientToScreen(ui::UnpackPoint(m.lParam)));
    parent->Post(ui::msg::kRButtonDown, 0, ui::PackPoint(inParent));
    return 0;
  });
}
