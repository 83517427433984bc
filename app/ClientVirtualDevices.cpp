// The client dialog's virtual devices: new, delete, rename, the popup menu with mark and paste,
// and dragging items within and between the two lists.

#include <exception>

#include "app/ClientDialog.h"
#include "app/ErrorDialogs.h"
#include "app/SelectDeviceDialog.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "controls/CarriedName.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "resources/AppIds.h"

using namespace appres;

namespace {

// A device taken from the manager for the length of one operation, given back also when the
// operation throws.
class AcquiredDevice {
 public:
  explicit AcquiredDevice(IQDevice* device) : device_(device) {}
  ~AcquiredDevice() { Release(); }
  // Gives the device back now; what failed is reported after this, with nothing held.
  void Release() {
    if (device_) TheDeviceManager.Release(device_);
    device_ = nullptr;
  }
  AcquiredDevice(const AcquiredDevice&) = delete;
  AcquiredDevice& operator=(const AcquiredDevice&) = delete;
  IQDevice* operator->() const { return device_; }
  IQDevice& operator*() const { return *device_; }
  explicit operator bool() const { return device_ != nullptr; }

 private:
  IQDevice* device_;
};

void Warn(ui::Window* owner, const std::string& text, const std::string& caption) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | ui::mb::kIconExclamation);
}

bool Confirm(ui::Window* owner, const std::string& text, const std::string& caption) {
  return ui::MessageBox(owner, text, caption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
         ui::kIdOk;
}

}  // namespace

template <typename Operation>
std::exception_ptr TTelvo33DlgClient::Attempted(Operation operation) {
  try {
    operation();
  } catch (const IQException&) {
    return std::current_exception();
  } catch (const FileParserError&) {
    return std::current_exception();
  }
  return nullptr;
}

void TTelvo33DlgClient::Report(const std::exception_ptr& failure) {
  if (!failure) return;
  try {
    std::rethrow_exception(failure);
  } catch (const IQException& e) {
    ShowDeviceError(e, nullptr, -1);
  } catch (const FileParserError& e) {
    ui::MessageBox(this, e.GetText(), "Load file", ui::mb::kOk | ui::mb::kIconStop);
  }
}

int TTelvo33DlgClient::InsertVirtualItem(IQDevice* device, int slot) {
  return virtualList_.InsertItem(0, device->GetName().substr(0, IQDevice::kMaxNameChars),
                                 ImageOf(*device), slot);
}

void TTelvo33DlgClient::CmNewVirtual() {
  // Without a registered type there is nothing to choose.
  if (typeOrder_.empty()) return;
  int chosen = 0;
  if (TSelectDeviceDialog(this, typeOrder_, images_, chosen).Execute() != ui::kIdOk) return;
  if (chosen < 0 || chosen >= static_cast<int>(typeOrder_.size())) return;
  IQDevice* device = TheDeviceManager.NewVirtualDevice(typeOrder_[chosen]);
  if (device == nullptr) return;
  const int slot = slots_.Take(device);
  if (slot < 0) {
    Warn(this, "Too many devices!", "");
    TheDeviceManager.DeleteDevice(device);
    return;
  }
  InsertVirtualItem(device, slot);
}

void TTelvo33DlgClient::CmDeleteVirtual() {
  const int selected = virtualList_.SelectedItem();
  if (selected < 0 || IsFixedItem(virtualList_, selected)) return;
  const int slot = GetItemSlot(virtualList_, selected);
  IQDevice* device = nullptr;
  {
    AcquiredDevice acquired(AcquireItemDevice(virtualList_, selected));
    if (!acquired) {
      Warn(this, "Device cannot be deleted while open.", "");
      return;
    }
    device = &*acquired;
  }
  if (!Confirm(this, "Delete device '" + DeviceText(*device) + "'?", "Delete Virtual Device")) {
    return;
  }
  const bool marked = copyMark_.Refers(*device);
  if (!TheDeviceManager.DeleteDevice(device)) {
    ui::MessageBox(this, "Unable to delete device!", "Delete", ui::mb::kOk | ui::mb::kIconStop);
    return;
  }
  if (marked) copyMark_.Clear();
  slots_.Free(slot);
  virtualList_.DeleteItem(selected);
}

ui::Param TTelvo33DlgClient::EndLabelEdit(const ui::Notification& n) {
  const int item = n.item;
  if (n.text.empty() || item < 0 || IsFixedItem(virtualList_, item)) return 0;
  const std::string name = n.text.substr(0, IQDevice::kMaxNameChars);
  IQDevice* edited = slots_.At(GetItemSlot(virtualList_, item));
  if (edited == nullptr || controls::RefusedName(this, name, "Rename Virtual Device")) return 0;
  for (IQDevice* other : TheDeviceManager.Devices()) {
    // Only names given to devices conflict; a unit without one is only shown by its address.
    if (other != edited && other->MatchesInfoOrName(edited->GetInfo(), name)) {
      ui::Beep();
      Warn(this, "Name conflicts with another device.", "Rename Virtual Device");
      return 0;
    }
  }
  AcquiredDevice device(AcquireItemDevice(virtualList_, item));
  if (!device) {
    ui::Beep();
    Warn(this, "Access denied (close device).", "Rename Virtual Device");
    return 0;
  }
  device->SetName(name);
  virtualList_.SetItemText(item, 0, name);
  // The item now shows the name as the device keeps it; accepting the edit would put back the
  // text as typed, which may be longer.
  return 0;
}

TDeviceListWindow* TTelvo33DlgClient::ListAt(ui::Point clientPoint) {
  for (TDeviceListWindow* list : {&virtualList_, &busList_}) {
    if (list->WindowRect().Contains(clientPoint)) return list;
  }
  return nullptr;
}

void TTelvo33DlgClient::PopupMenu(ui::Point clientPoint) {
  TDeviceListWindow* list = ListAt(clientPoint);
  if (list == nullptr) return;
  const ui::Point inList = list->ScreenToClient(ClientToScreen(clientPoint));
  popup_ = {list, inList};

  ui::Menu menu;
  menu.AppendItem(kCmMarkForCopy, "Mark for copy");
  menu.AppendItem(kCmPaste, "Paste");
  menu.AppendSeparator();
  bool markEnabled = true;
  bool pasteEnabled = copyMark_.IsSet();
  const int item = list->HitTest(inList);
  if (item < 0) {
    markEnabled = false;
    if (list == &virtualList_) menu.AppendItem(kCmNewVirtual, "New ...");
  } else {
    IQDevice* device = slots_.At(GetItemSlot(*list, item));
    if (device && copyMark_.Refers(*device)) pasteEnabled = false;
    if (list == &virtualList_) {
      if (IsFixedItem(*list, item)) {
        markEnabled = false;
      } else {
        menu.AppendItem(kCmDeleteVirtual, "Delete");
      }
    }
  }
  OnEnable(kCmMarkForCopy, [markEnabled](ui::CommandState& s) { s.enabled = markEnabled; });
  OnEnable(kCmPaste, [pasteEnabled](ui::CommandState& s) { s.enabled = pasteEnabled; });
  if (list == &virtualList_ && item >= 0) virtualList_.SelectItem(item);
  menu.Track(*this, ClientToScreen(clientPoint));
}

void TTelvo33DlgClient::CmEditCopy() {
  if (popup_.list == nullptr) return;
  const int item = popup_.list->HitTest(popup_.point);
  if (item < 0 || IsFixedItem(*popup_.list, item)) return;
  AcquiredDevice device(AcquireItemDevice(*popup_.list, item));
  if (!device) {
    ui::MessageBox(this, "Could not gain access to device.", "Copy device",
                   ui::mb::kOk | ui::mb::kIconInformation);
    return;
  }
  copyMark_.Set(*device);
  popup_ = {};
}

void TTelvo33DlgClient::CmEditPaste() {
  IQDevice* marked = copyMark_.Find(TheDeviceManager);
  {
    AcquiredDevice source(marked ? TheDeviceManager.Acquire(marked) : nullptr);
    if (!source) {
      Warn(this, "Could not gain access to or could not find source device.", "Copy");
      copyMark_.Clear();
      return;
    }
  }
  if (popup_.list == nullptr) return;
  // The marked device needs a list item to copy from: the bus list shows every found unit, the
  // virtual list every virtual device.
  TDeviceListWindow& sourceList = marked->GetInfo().IsVirtual() ? virtualList_ : busList_;
  const int sourceItem = FindListItem(sourceList, marked);
  if (sourceItem < 0) {
    Warn(this, "Could not gain access to or could not find source device.", "Copy");
    copyMark_.Clear();
    return;
  }
  const int target = popup_.list->HitTest(popup_.point);
  if (target >= 0) {
    CopyDevice(sourceList, sourceItem, *popup_.list, target);
  } else if (popup_.list == &virtualList_) {
    DropOnVirtualList(sourceList, sourceItem);
  }
}

void TTelvo33DlgClient::BeginDrag(TDeviceListWindow& list, int item) {
  if (item < 0) return;
  constexpr int kHotSpotOffsetPixels = 8;
  ui::Point upperLeft;
  const QImage picture = list.CreateDragImage(item, upperLeft);
  const ui::Point grip{kHotSpotOffsetPixels, kHotSpotOffsetPixels};
  drag_ = {true, &list, item};
  drag_.image = std::make_unique<ui::DragImage>(picture, grip);
  drag_.image->Enter(
      *this, ScreenToClient(list.ClientToScreen({upperLeft.x + grip.x, upperLeft.y + grip.y})));
  CaptureMouse();
}

void TTelvo33DlgClient::MoveDrag(ui::Point clientPoint) {
  if (drag_.image) drag_.image->Move(clientPoint);
}

void TTelvo33DlgClient::EndDrag(ui::Point clientPoint) {
  if (!drag_.dragging) return;
  TDeviceListWindow* source = drag_.list;
  const int item = drag_.item;
  drag_ = {};
  ui::Window::ReleaseMouse();
  DropAt(*source, item, clientPoint);
}

void TTelvo33DlgClient::DropAt(TDeviceListWindow& source, int sourceItem, ui::Point clientPoint) {
  TDeviceListWindow* target = ListAt(clientPoint);
  if (target == nullptr) return;
  const int targetItem = target->HitTest(target->ScreenToClient(ClientToScreen(clientPoint)));
  if (targetItem >= 0) {
    CopyDevice(source, sourceItem, *target, targetItem);
  } else if (target == &virtualList_) {
    DropOnVirtualList(source, sourceItem);
  }
}

void TTelvo33DlgClient::CopyDevice(TDeviceListWindow& source, int sourceItem,
                                   TDeviceListWindow& target, int targetItem) {
  if (HandleFixedItemDrop(source, sourceItem, target, targetItem)) return;
  if (&source == &target && sourceItem == targetItem) return;
  AcquiredDevice from(AcquireItemDevice(source, sourceItem));
  if (!from) {
    Warn(this, "Could not gain access to source device.", "Copy error");
    return;
  }
  AcquiredDevice to(AcquireItemDevice(target, targetItem));
  if (!to) {
    Warn(this, "Could not gain access to destination device.", "Copy error");
    return;
  }
  if (!to->AcceptsCopyFrom(*from)) return;
  const std::string question = "Copy item '" + DeviceText(source, sourceItem, *from) + "' to '" +
                               DeviceText(target, targetItem, *to) + "'?";
  if (!Confirm(this, question, "Confirm")) return;
  const std::exception_ptr failure = Attempted([&] { to->CopyFrom(*from); });
  from.Release();
  to.Release();
  Report(failure);
}

bool TTelvo33DlgClient::HandleFixedItemDrop(TDeviceListWindow& source, int sourceItem,
                                            TDeviceListWindow& target, int targetItem) {
  const bool sourceFixed = IsFixedItem(source, sourceItem);
  const bool targetFixed = IsFixedItem(target, targetItem);
  if (!sourceFixed && !targetFixed) return false;
  if (sourceFixed && targetFixed) return true;
  if (IsReportItem(source, sourceItem)) return true;
  if (IsFileItem(source, sourceItem)) {
    AcquiredDevice device(AcquireItemDevice(target, targetItem));
    if (!device) {
      Warn(this, "Could not gain access to destination device.", "");
      return true;
    }
    const std::exception_ptr failure = Attempted([&] { device->LoadFile(); });
    target.SetItemText(targetItem, 0, ItemText(target, targetItem, *device));
    device.Release();
    Report(failure);
    return true;
  }
  AcquiredDevice device(AcquireItemDevice(source, sourceItem));
  if (!device) {
    Warn(this, "Could not gain access to source device.", "");
    return true;
  }
  const std::exception_ptr failure = Attempted([&] {
    if (IsReportItem(target, targetItem)) {
      device->PrintReport();
    } else {
      device->SaveFile();
    }
  });
  device.Release();
  Report(failure);
  return true;
}

void TTelvo33DlgClient::DropOnVirtualList(TDeviceListWindow& source, int sourceItem) {
  if (IsFixedItem(source, sourceItem)) return;
  if (!Confirm(this, "Create new virtual device?", "Copy")) return;
  AcquiredDevice from(AcquireItemDevice(source, sourceItem));
  if (!from) {
    Warn(this, "Could not gain access to source device.", "Copy error");
    return;
  }
  IQDevice* copy = TheDeviceManager.NewVirtualDevice(from->GetType());
  if (copy == nullptr) return;
  const int slot = slots_.Take(copy);
  if (slot < 0) {
    Warn(this, "Too many devices!", "");
    TheDeviceManager.DeleteDevice(copy);
    return;
  }
  InsertVirtualItem(copy, slot);
  const std::exception_ptr failure = Attempted([&] { copy->CopyFrom(*from); });
  from.Release();
  Report(failure);
}
