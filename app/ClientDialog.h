#pragma once

#include <array>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/CopyMark.h"
#include "app/DeviceListWindow.h"
#include "app/DeviceSlotTable.h"
#include "app/DeviceTypes.h"
#include "app/MessageNotifier.h"
#include "controls/ClientWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DragImage.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Static.h"
#include "resources/AppIds.h"

class IQDevice;
class IQDeviceManager;
class IQException;
class TComMonitorDialog;
struct PortInfo;
namespace shell {
class Desktop;
}
namespace ui {
class Menu;
}

// Messages a device's edit window posts to the client, lParam the device.
inline constexpr ui::MessageId kDeviceWindowClosedMessage = 301;
inline constexpr ui::MessageId kDeviceChangedMessage = controls::kDeviceChangedMessage;

// The dialog that fills the main frame: the virtual and bus device lists, the "Roll Call" button
// and the name of the port in use. It owns the registered device types and their icons, keeps the
// port settings, runs the roll calls and the virtual-device commands.
class TTelvo33DlgClient : public ui::Dialog {
 public:
  // Item data of the two fixed items of the virtual list.
  static constexpr ui::Param kReportItem = 256;
  static constexpr ui::Param kFileItem = 257;

  TTelvo33DlgClient(DeviceTypeFactory makeTypes, shell::Desktop& desktop);
  ~TTelvo33DlgClient() override;

  bool CanClose() override;
  // Enter and Escape belong to the lists (a label being edited), not to the dialog: the client is
  // the main window's content and never closes by a key.
  bool PreProcessKey(const ui::KeyStroke&) override { return false; }

  const std::vector<IQDeviceType*>& Types() const { return typeOrder_; }
  const ui::ImageList& Images() const { return images_; }
  TDeviceListWindow& VirtualList() { return virtualList_; }
  TDeviceListWindow& BusList() { return busList_; }
  const DeviceSlotTable& Slots() const { return slots_; }
  TComMonitorDialog* ComMonitor() const { return comMonitor_.get(); }
  bool HasCopyMark() const { return copyMark_.IsSet(); }

 protected:
  void SetupWindow() override;

 private:
  static constexpr ui::MessageId kFillMenusMessage = 1001;

  // Set-up.
  void RegisterDeviceTypes();
  void FillHelpMenu();
  void FillSpecialCommands();
  void SelectStartPort();
  void ShowPortName(const PortInfo* port);
  void OpenComMonitor();
  ui::Menu* MenuPopup(int position) const;

  // Commands of the menus.
  void CmSpecial(int id);
  void CmHelpItem(int id);
  void CmHowToGetHelp();
  void CmInterface();
  void CmRollCall();
  void CmContinuousRollCall();
  bool ReopenPortAndClearBusList();
  void AddFoundDevices(const std::vector<IQDevice*>& found);
  void OpenSelected(TDeviceListWindow& list);
  void RefreshBusItem(IQDevice* device);

  // Items and devices.
  int GetItemSlot(const TDeviceListWindow& list, int index) const;
  IQDevice* AcquireItemDevice(const TDeviceListWindow& list, int index);
  bool IsFixedItem(const TDeviceListWindow& list, int index) const;
  bool IsReportItem(const TDeviceListWindow& list, int index) const;
  bool IsFileItem(const TDeviceListWindow& list, int index) const;
  int FindListItem(const TDeviceListWindow& list, const IQDevice* device) const;
  int ImageOf(const IQDevice& device) const;
  static std::string DeviceText(const IQDevice& device);
  // The device of item `index` of `list`, read from its unit again; when the unit does not
  // answer, the line the list shows for it, so that it keeps the name the user knows it by.
  static std::string DeviceText(const TDeviceListWindow& list, int index, const IQDevice& device);
  // The device's text as an item of `list` shows it: bus items are kept shorter.
  std::size_t ItemChars(const TDeviceListWindow& list) const;
  std::string ItemText(const TDeviceListWindow& list, const IQDevice& device) const;
  // The same for the device of item `index`, which keeps its line when the unit does not answer.
  std::string ItemText(const TDeviceListWindow& list, int index, const IQDevice& device) const;
  int InsertVirtualItem(IQDevice* device, int slot);

  // Virtual devices, copy, paste, drag and drop.
  void CmNewVirtual();
  void CmDeleteVirtual();
  ui::Param EndLabelEdit(const ui::Notification& n);
  void PopupMenu(ui::Point clientPoint);
  void CmEditCopy();
  void CmEditPaste();
  void BeginDrag(TDeviceListWindow& list, int item);
  void MoveDrag(ui::Point clientPoint);
  void EndDrag(ui::Point clientPoint);
  void DropAt(TDeviceListWindow& source, int sourceItem, ui::Point clientPoint);
  void CopyDevice(TDeviceListWindow& source, int sourceItem, TDeviceListWindow& target,
                  int targetItem);
  bool HandleFixedItemDrop(TDeviceListWindow& source, int sourceItem, TDeviceListWindow& target,
                           int targetItem);
  void DropOnVirtualList(TDeviceListWindow& source, int sourceItem);
  TDeviceListWindow* ListAt(ui::Point clientPoint);
  // Runs a device operation that may fail on the bus or in a settings file and hands back the
  // failure, so that the caller releases its devices before the failure is reported.
  template <typename Operation>
  static std::exception_ptr Attempted(Operation operation);
  void Report(const std::exception_ptr& failure);

  shell::Desktop& desktop_;
  DeviceTypeFactory makeTypes_;
  DeviceTypeList types_;
  std::vector<IQDeviceType*> typeOrder_;
  ui::ImageList images_;
  ui::StaticText portName_;
  TDeviceListWindow busList_;
  TDeviceListWindow virtualList_;
  ui::PushButton rollCallButton_;
  MessageNotifier notifier_;
  DeviceSlotTable slots_;
  std::array<IQDeviceType*, appres::kSpecialCount> specialTypes_{};
  std::array<std::string, appres::kHelpItemCount> helpFiles_;
  std::unique_ptr<TComMonitorDialog> comMonitor_;
  CopyMark copyMark_;

  struct PopupTarget {
    TDeviceListWindow* list = nullptr;
    ui::Point point;  // in the list's coordinates
  };
  PopupTarget popup_;
  struct DragState {
    bool dragging = false;
    TDeviceListWindow* list = nullptr;
    int item = -1;
    std::unique_ptr<ui::DragImage> image;
  };
  DragState drag_;
};
