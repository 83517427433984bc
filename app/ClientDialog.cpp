#include "app/ClientDialog.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/ComMonitorDialog.h"
#include "app/ErrorDialogs.h"
#include "app/InterfaceDialog.h"
#include "app/PollBusDialog.h"
#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"
#include "bus/IQException.h"
#include "bus/PortList.h"
#include "controls/ClientWindow.h"
#include "controls/DeviceErrorReport.h"
#include "platform/registry/UserRoot.h"
#include "platform/shell/OpenDocument.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/ui/Application.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "resources/AppIds.h"

using namespace appres;

namespace {

constexpr const char* kSettingsKeyName = "TelvoWin2 Settings";
constexpr const char* kManualFile = "TelvoManual.pdf";
constexpr int kDevicesMenuPosition = 1;
constexpr int kHelpMenuPosition = 3;
// The fixed items' pictures follow the ten types' icons.
constexpr int kTypeImageCount = 10;
constexpr int kReportImage = 10;
constexpr int kFileImage = 11;
// What the close check records for retries and read time-out: the values the settings have always
// held, which nothing reads back.
constexpr uint32_t kSavedRetries = 1;
constexpr uint32_t kSavedTimeoutMs = 80;
// A device's text, and the shorter one of a bus item.
constexpr std::size_t kMaxTextChars = 79;
constexpr std::size_t kMaxBusItemChars = 19;
// Only the low byte of the port number and of the monitor switch counts.
constexpr unsigned kLowByteMask = 0xFF;

std::string Shortened(std::string text, std::size_t chars) {
  if (text.size() > chars) text.resize(chars);
  return text;
}

registry::Key SettingsKey() { return registry::UserRoot().OpenSubKey(kSettingsKeyName, true); }

// The message for a manual that could not be opened, or none when it opened.
const char* ManualOpenError(shell::OpenResult result) {
  switch (result) {
    case shell::OpenResult::Opened:
      return nullptr;
    case shell::OpenResult::FileMissing:
      return "Could not find help file.";
    case shell::OpenResult::AccessDenied:
      return "Access to help file denied.";
    case shell::OpenResult::NoViewer:
      return "Could not find viewer for .pdf file.";
    case shell::OpenResult::Failed:
      break;
  }
  return "Error opening help file.";
}

}  // namespace

TTelvo33DlgClient::TTelvo33DlgClient(DeviceTypeFactory makeTypes, shell::Desktop& desktop)
    : ui::Dialog(nullptr, kClientDialog),
      desktop_(desktop),
      makeTypes_(std::move(makeTypes)),
      images_(16, 16),
      portName_(this, kPortName),
      busList_(this, kBusList),
      virtualList_(this, kVirtualList),
      rollCallButton_(this, kRollCallButton),
      notifier_(this) {
  for (int i = 0; i < kSpecialCount; ++i) {
    OnCommand(kCmFirstSpecial + i, [this, i] { CmSpecial(kCmFirstSpecial + i); });
  }
  for (int i = 0; i < kHelpItemCount; ++i) {
    OnCommand(kCmFirstHelpItem + i, [this, i] { CmHelpItem(kCmFirstHelpItem + i); });
  }
  OnCommand(kCmHowToGetHelp, [this] { CmHowToGetHelp(); });
  OnCommand(kCmInterface, [this] { CmInterface(); });
  OnCommand(kCmRollCall, [this] { CmRollCall(); });
  OnCommand(kCmContinuousRollCall, [this] { CmContinuousRollCall(); });
  OnCommand(kCmNewVirtual, [this] { CmNewVirtual(); });
  OnCommand(kCmDeleteVirtual, [this] { CmDeleteVirtual(); });
  OnCommand(kCmMarkForCopy, [this] { CmEditCopy(); });
  OnCommand(kCmPaste, [this] { CmEditPaste(); });
  const auto noBusDeviceOpen = [](ui::CommandState& s) {
    s.enabled = !TheDeviceManager.AnyBusInUse();
  };
  OnCommand(kRollCallButton, [this] { CmRollCall(); });
  OnEnable(kCmRollCall, noBusDeviceOpen);
  OnEnable(kRollCallButton, noBusDeviceOpen);
  OnEnable(kCmContinuousRollCall, noBusDeviceOpen);
  OnEnable(kCmDeleteVirtual, [this](ui::CommandState& s) {
    const int selected = virtualList_.SelectedItem();
    s.enabled = selected >= 0 && !IsFixedItem(virtualList_, selected);
  });

  for (TDeviceListWindow* list : {&virtualList_, &busList_}) {
    OnNotify(list->Id(), ui::Notify::DoubleClick, [this, list](const ui::Notification&) {
      OpenSelected(*list);
      return ui::Param{0};
    });
    // Enter on a list opens its selected device, as a double click does.
    list->OnMessage(ui::msg::kKeyDown, [this, list](const ui::Message& m) {
      if (m.wParam == ui::key::kReturn && m.lParam == ui::kNoModifier) OpenSelected(*list);
      return ui::Param{0};
    });
    OnNotify(list->Id(), ui::Notify::BeginDrag, [this, list](const ui::Notification& n) {
      BeginDrag(*list, n.item);
      return ui::Param{0};
    });
  }
  OnNotify(kVirtualList, ui::Notify::EndLabelEdit,
           [this](const ui::Notification& n) { return EndLabelEdit(n); });
  OnMessage(ui::msg::kRButtonDown, [this](const ui::Message& m) {
    PopupMenu(ui::UnpackPoint(m.lParam));
    return ui::Param{0};
  });
  OnMessage(ui::msg::kMouseMove, [this](const ui::Message& m) {
    MoveDrag(ui::UnpackPoint(m.lParam));
    return ui::Param{0};
  });
  OnMessage(ui::msg::kLButtonUp, [this](const ui::Message& m) {
    EndDrag(ui::UnpackPoint(m.lParam));
    return ui::Param{0};
  });
  OnMessage(kFillMenusMessage, [this](const ui::Message&) {
    FillHelpMenu();
    FillSpecialCommands();
    return ui::Param{0};
  });
  OnMessage(kDeviceWindowClosedMessage, [this](const ui::Message& m) {
    // Only a device the manager still holds is touched: the message may come late.
    auto* device = reinterpret_cast<IQDevice*>(m.lParam);
    const auto devices = TheDeviceManager.Devices();
    if (std::find(devices.begin(), devices.end(), device) == devices.end()) return ui::Param{0};
    device->MarkClosed();
    RefreshBusItem(device);
    return ui::Param{0};
  });
  OnMessage(kDeviceChangedMessage, [this](const ui::Message& m) {
    RefreshBusItem(reinterpret_cast<IQDevice*>(m.lParam));
    return ui::Param{0};
  });
}

TTelvo33DlgClient::~TTelvo33DlgClient() {
  if (controls::ClientWindow() == this) controls::SetClientWindow(nullptr);
  TheDeviceManager.GetEncoder().SetMonitor(nullptr);
  TheDeviceManager.RemoveAll();
  comMonitor_.reset();
  Destroy();
}

ui::Menu* TTelvo33DlgClient::MenuPopup(int position) const {
  auto* frame = dynamic_cast<ui::Frame*>(Parent());
  ui::Menu* bar = frame ? frame->MenuBar() : nullptr;
  return bar ? bar->SubMenu(position) : nullptr;
}

void TTelvo33DlgClient::SetupWindow() {
  ui::Dialog::SetupWindow();
  virtualList_.SetImageList(&images_);
  busList_.SetImageList(&images_);
  RegisterDeviceTypes();
  virtualList_.InsertItem(virtualList_.Count(), "Report", kReportImage, kReportItem);
  virtualList_.InsertItem(virtualList_.Count(), "File", kFileImage, kFileItem);
  SelectStartPort();
  OpenComMonitor();
}

void TTelvo33DlgClient::RegisterDeviceTypes() {
  types_ = makeTypes_();
  const registry::Key key = SettingsKey();
  const QImage defaultIcon = ui::Resources::Image(kDefaultTypeIcon);
  for (const auto& type : types_) {
    typeOrder_.push_back(type.get());
    const auto icon = type->CreateSmallIcon();
    type->SetRegistryKey(key);
    const QImage image = icon ? ui::Resources::Image(*icon) : QImage();
    images_.Add(image.isNull() ? defaultIcon : image);
  }
  while (images_.Count() < kTypeImageCount) images_.Add(defaultIcon);
  images_.Add(ui::Resources::Image(kReportIcon));
  images_.Add(ui::Resources::Image(kFileIcon));
  helpFiles_ = {};
  helpFiles_[0] = kManualFile;
  specialTypes_ = {};
  int next = 0;
  for (IQDeviceType* type : typeOrder_) {
    std::string text;
    if (next < kSpecialCount && type->GetSpecialCommand(text)) specialTypes_[next++] = type;
  }
  // The frame puts its menu bar up after its client is set up.
  Post(kFillMenusMessage);
  controls::SetClientWindow(this);
  InstallFamilyErrorReports();
}

void TTelvo33DlgClient::FillHelpMenu() {
  ui::Menu* help = MenuPopup(kHelpMenuPosition);
  if (help == nullptr) return;
  help->SetItemText(kCmFirstHelpItem, "TelvoWindows Help");
  for (int i = 1; i < kHelpItemCount; ++i) help->DeleteItem(kCmFirstHelpItem + i);
}

void TTelvo33DlgClient::FillSpecialCommands() {
  ui::Menu* devices = MenuPopup(kDevicesMenuPosition);
  if (devices == nullptr) return;
  for (int i = 0; i < kSpecialCount; ++i) {
    std::string text;
    if (specialTypes_[i] && specialTypes_[i]->GetSpecialCommand(text)) {
      devices->SetItemText(kCmFirstSpecial + i, text);
    } else {
      devices->DeleteItem(kCmFirstSpecial + i);
    }
  }
}

void TTelvo33DlgClient::SelectStartPort() {
  const registry::Key key = SettingsKey();
  try {
    EnumeratePorts();
    if (const auto stored = key.GetNumber("port number")) {
      // Only the low byte names the port.
      const int wanted = static_cast<int>(*stored & kLowByteMask);
      PortInfo* port = ThePortList().FindPortByNumber(wanted);
      if (port == nullptr) port = ThePortList().ChooseDefaultPort();
      if (port == nullptr) {
        ui::MessageBox(this, "No valid ports were found!", "No valid ports.",
                       ui::mb::kOk | ui::mb::kIconExclamation);
        ShowPortName(nullptr);
      } else {
        ThePortList().SelectPort(port);
        ShowPortName(port);
        TheCommPort.SetName(port->displayName);
        TheCommPort.SetPortNumber(port->portNumber);
      }
    }
    TheCommPort.SetBaudRate(kBusBaudRate);
  } catch (const InterfaceNotPresent&) {
  } catch (const NoCommHandle&) {
    TheCommPort.ReportOpenError(notifier_, ThePortList());
  } catch (const IQException& e) {
    ShowDeviceError(e, nullptr, -1);
  }
  TheCommPort.SetBaudRate(kBusBaudRate);
}

void TTelvo33DlgClient::ShowPortName(const PortInfo* port) {
  if (port == nullptr) {
    portName_.SetText("No valid ports!");
  } else {
    portName_.SetText(port->usb ? "USB - " + port->displayName : port->displayName);
  }
}

void TTelvo33DlgClient::OpenComMonitor() {
  const auto on = SettingsKey().GetNumber("COM monitor");
  if (!on || (*on & kLowByteMask) == 0) return;
  comMonitor_ = std::make_unique<TComMonitorDialog>(nullptr);
  comMonitor_->Create();
  comMonitor_->Show();
  TheDeviceManager.GetEncoder().SetMonitor(comMonitor_.get());
}

void TTelvo33DlgClient::CmSpecial(int id) {
  if (TheDeviceManager.AnyBusInUse()) {
    ui::MessageBox(this, "Please close all open bus devices before executing this command.", "",
                   ui::mb::kOk | ui::mb::kIconInformation);
    return;
  }
  IQDeviceType* type = specialTypes_[id - kCmFirstSpecial];
  if (type) type->DoSpecialCommand(&TheDeviceManager);
}

void TTelvo33DlgClient::CmHelpItem(int id) {
  const std::string& file = helpFiles_[id - kCmFirstHelpItem];
  // The table holds only the manual; no other help format has a viewer on this desktop.
  if (std::filesystem::path(file).extension() != ".pdf") return;
  // Opened once: a second opening would only bring up a second viewer of the same manual.
  const auto path = shell::ProgramFolder() / file;
  if (const char* error = ManualOpenError(shell::OpenDocument(path.string(), desktop_))) {
    ui::MessageBox(this, error, "Error", ui::mb::kOk | ui::mb::kIconStop);
  }
}

void TTelvo33DlgClient::CmHowToGetHelp() { ui::Dialog(this, kHowToGetHelpDialog).Execute(); }

void TTelvo33DlgClient::CmInterface() {
  if (TInterfaceDialog(this, TheCommPort, notifier_).Execute() != ui::kIdOk) return;
  if (const PortInfo* port = ThePortList().GetSelectedPort()) ShowPortName(port);
}

bool TTelvo33DlgClient::ReopenPortAndClearBusList() {
  try {
    TheCommPort.Close();
    TheCommPort.Open();
  } catch (const NoCommHandle&) {
    ui::MessageBox(this,
                   "Could not get a handle for the COM port.  Make sure that no other applications "
                   "are already using this port.",
                   "Roll call", ui::mb::kOk | ui::mb::kIconExclamation);
    return false;
  } catch (const IQException& e) {
    ShowDeviceError(e, nullptr, -1);
    return false;
  }
  busList_.DeleteAllItems();
  slots_.FreeBusDevices();
  return true;
}

void TTelvo33DlgClient::CmRollCall() {
  if (TheDeviceManager.AnyBusInUse()) {
    ui::MessageBox(this, "Please close all open bus devices prior to roll call.", "Roll call",
                   ui::mb::kOk | ui::mb::kIconInformation);
    return;
  }
  if (!ReopenPortAndClearBusList()) return;
  std::vector<IQDevice*> found;
  HeldMessages held;
  std::exception_ptr failure;
  {
    const ui::WaitCursor busy;
    try {
      TheDeviceManager.RollCall(typeOrder_, found, held);
    } catch (const IQException&) {
      failure = std::current_exception();
    }
  }
  held.PassTo(notifier_);
  if (failure) {
    Report(failure);
    return;
  }
  const std::string count =
      found.empty() ? "No devices found." : std::to_string(found.size()) + " devices found.";
  ui::MessageBox(this, count, "Roll call", ui::mb::kOk | ui::mb::kIconInformation);
  AddFoundDevices(found);
}

void TTelvo33DlgClient::CmContinuousRollCall() {
  if (!ReopenPortAndClearBusList()) return;
  std::vector<IQDevice*> found;
  TPollBusDialog(this, TheDeviceManager, typeOrder_, images_, found, notifier_).Execute();
  AddFoundDevices(found);
}

void TTelvo33DlgClient::AddFoundDevices(const std::vector<IQDevice*>& found) {
  // Each item's text may be read from its unit.
  std::optional<ui::WaitCursor> busy(std::in_place);
  for (IQDevice* device : found) {
    const int slot = slots_.Take(device);
    if (slot < 0) {
      busy.reset();
      ui::MessageBox(this, "Too many devices!", "", ui::mb::kOk | ui::mb::kIconExclamation);
      return;
    }
    busList_.InsertItem(0, ItemText(busList_, *device), ImageOf(*device), slot);
  }
}

std::string TTelvo33DlgClient::DeviceText(const IQDevice& device) {
  return Shortened(device.ListTextOrName(), kMaxTextChars);
}

std::string TTelvo33DlgClient::DeviceText(const TDeviceListWindow& list, int index,
                                          const IQDevice& device) {
  return Shortened(device.ListTextOrName(list.ItemText(index)), kMaxTextChars);
}

std::size_t TTelvo33DlgClient::ItemChars(const TDeviceListWindow& list) const {
  return &list == &busList_ ? kMaxBusItemChars : kMaxTextChars;
}

std::string TTelvo33DlgClient::ItemText(const TDeviceListWindow& list,
                                        const IQDevice& device) const {
  return Shortened(DeviceText(device), ItemChars(list));
}

std::string TTelvo33DlgClient::ItemText(const TDeviceListWindow& list, int index,
                                        const IQDevice& device) const {
  return Shortened(DeviceText(list, index, device), ItemChars(list));
}

int TTelvo33DlgClient::ImageOf(const IQDevice& device) const {
  for (std::size_t i = 0; i < typeOrder_.size(); ++i) {
    if (typeOrder_[i] == device.GetType()) return static_cast<int>(i);
  }
  return -1;
}

void TTelvo33DlgClient::OpenSelected(TDeviceListWindow& list) {
  const int selected = list.SelectedItem();
  if (selected < 0 || IsFixedItem(list, selected)) return;
  IQDevice* device = AcquireItemDevice(list, selected);
  if (device == nullptr) {
    // A device already open in its window shows that window instead.
    IQDevice* open = slots_.At(GetItemSlot(list, selected));
    if (open == nullptr || !open->ShowOpenWindow()) ui::Beep();
    return;
  }
  // One command: the window reads the unit as it is made, and so do the panes it opens with it;
  // a silent unit is told of once, and the polls the window starts join that report.
  const controls::OneReportScope opening;
  // A device whose family opened no window is given back, so that it is not left in use.
  controls::GuardedBusCall(device, [&] {
    if (!device->Open(this)) TheDeviceManager.Release(device);
  });
}

void TTelvo33DlgClient::RefreshBusItem(IQDevice* device) {
  if (device == nullptr || slots_.SlotOf(device) < 0 || device->GetInfo().IsVirtual()) return;
  const int item = FindListItem(busList_, device);
  if (item < 0) return;
  busList_.SetItemText(item, 0, ItemText(busList_, item, *device));
}

int TTelvo33DlgClient::GetItemSlot(const TDeviceListWindow& list, int index) const {
  if (index < 0 || index >= list.Count()) return -1;
  return static_cast<int>(list.ItemData(index));
}

IQDevice* TTelvo33DlgClient::AcquireItemDevice(const TDeviceListWindow& list, int index) {
  IQDevice* device = slots_.At(GetItemSlot(list, index));
  return device ? TheDeviceManager.Acquire(device) : nullptr;
}

bool TTelvo33DlgClient::IsReportItem(const TDeviceListWindow& list, int index) const {
  return &list == &virtualList_ && GetItemSlot(list, index) == kReportItem;
}

bool TTelvo33DlgClient::IsFileItem(const TDeviceListWindow& list, int index) const {
  return &list == &virtualList_ && GetItemSlot(list, index) == kFileItem;
}

bool TTelvo33DlgClient::IsFixedItem(const TDeviceListWindow& list, int index) const {
  return IsReportItem(list, index) || IsFileItem(list, index);
}

int TTelvo33DlgClient::FindListItem(const TDeviceListWindow& list, const IQDevice* device) const {
  const int slot = slots_.SlotOf(device);
  if (slot < 0) return -1;
  for (int i = 0; i < list.Count(); ++i) {
    if (list.ItemData(i) == slot) return i;
  }
  return -1;
}

bool TTelvo33DlgClient::CanClose() {
  ui::Window::CanClose();
  const registry::Key key = SettingsKey();
  key.SetNumber("baud rate", TheCommPort.GetBaudRate());
  key.SetNumber("port number", static_cast<uint32_t>(TheCommPort.GetPortNumber()));
  key.SetNumber("timeout", kSavedTimeoutMs);
  key.SetNumber("retry", kSavedRetries);
  key.SetNumber("COM monitor", comMonitor_ ? 1 : 0);
  if (!TheDeviceManager.AnyUnsaved()) return true;
  return ui::MessageBox(
             this,
             "Some virtual devices have not been saved since last change.  Close application?",
             "Close", ui::mb::kOkCancel | ui::mb::kIconExclamation) == ui::kIdOk;
}
