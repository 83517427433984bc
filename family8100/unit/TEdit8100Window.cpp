#include "family8100/unit/TEdit8100Window.h"

#include <charconv>
#include <utility>
#include <vector>

#include "bus/IQDeviceType.h"
#include "controls/CarriedName.h"
#include "controls/ChangeOutcome.h"
#include "controls/CommandStart.h"
#include "controls/DeviceErrorReport.h"
#include "controls/RenamedCaptions.h"
#include "controls/TInputDialog.h"
#include "controls/TProgressDialog.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Reflash8100.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familycommon/ProgressWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

constexpr int kImagePixels = 16;
constexpr int kPageImage = 0;
constexpr int kLockImage = 6;
constexpr int kOtherImage = 7;
const ui::Rect kDefaultRect{100, 100, 350, 300};
constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 250;
constexpr int kAddressChars = 3;
constexpr int kNameChars = 11;

struct NodeEntry {
  int id;
  const char* text;
  bool underSpecial;
  bool busOnly;
};

constexpr NodeEntry kNodes[] = {
    {TEdit8100Window::kSignalFlow, "Signal Flow ", false, false},
    {TEdit8100Window::kName, "Name", false, true},
    {TEdit8100Window::kMemory, "Memory", false, false},
    {TEdit8100Window::kSecurity, "Security", false, true},
    {TEdit8100Window::kSpecial, "Special", false, true},
    {TEdit8100Window::kSetAddress, "Set Address", true, true},
    {TEdit8100Window::kFactoryInitialize, "Factory Initialize", true, true},
    {TEdit8100Window::kReflash, "Reflash Unit", true, true},
    {TEdit8100Window::kStrobeLeds, "Strobe LEDs", true, true},
    {TEdit8100Window::kSerialNumber, "Serial Number", true, true},
    {TEdit8100Window::kFirmwareVersion, "Firmware Version", true, true},
};

bool IsPage(int id) {
  return id == TEdit8100Window::kSignalFlow || id == TEdit8100Window::kMemory ||
         id == TEdit8100Window::kSecurity;
}

bool RefusedWhenLocked(int id) {
  return id != TEdit8100Window::kSecurity && id != TEdit8100Window::kSerialNumber &&
         id != TEdit8100Window::kFirmwareVersion;
}

}  // namespace

TEdit8100Window::TEdit8100Window(ui::Window* client, IQDevice8100& device)
    : ui::Frame(std::string(), nullptr),
      device_(&device),
      client_(client),
      images_(kImagePixels, kImagePixels),
      tree_(nullptr, f8100res::kEditTree),
      readAgain_(
          device, [this] { ReadAgainAndShow(); },
          [this](const IQException& error) {
            controls::ReportFailure(std::make_exception_ptr(error), device_);
          }) {
  images_.AddStrip(ui::Resources::Image(f8100res::kTreeImages), ui::kWhite);
  SetClient(&tree_);
  SetRect(kDefaultRect);
  // The model's icon, as in the device lists.
  if (device.GetType() != nullptr) {
    if (const auto icon = device.GetType()->CreateSmallIcon()) SetIcon(*icon);
  }
  OnNotify(f8100res::kEditTree, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    RunSelectedNode();
    return ui::Param{0};
  });
  OnMessage(kObjectChanged, [this](const ui::Message& m) {
    ObjectChanged(static_cast<int>(m.lParam));
    return ui::Param{0};
  });
  // Names typed in the memory page go to the unit while it still takes them.
  OnMessage(TSecurityDialog::kLocking, [this](const ui::Message&) {
    if (memory_ != nullptr && memory_->IsCreated()) memory_->WriteNamesBack();
    return ui::Param{0};
  });
  OnMessage(TSecurityDialog::kLockNotRead, [this](const ui::Message&) {
    unitOwed_.Owe();
    return ui::Param{0};
  });
  OnMessage(kRefreshAll, [this](const ui::Message&) {
    UpdateTree(-1);
    if (sigFlow_ != nullptr && sigFlow_->IsCreated()) sigFlow_->Post(TSigFlowDialog::kRefreshAll);
    return ui::Param{0};
  });
}

TEdit8100Window::~TEdit8100Window() { Destroy(); }

void TEdit8100Window::SetupWindow() {
  ui::Frame::SetupWindow();
  tree_.SetImageList(&images_);
  // Made once the frame exists: children made before it would be created along with it.
  sigFlow_ = std::make_unique<TSigFlowDialog>(this, *device_);
  memory_ = std::make_unique<TMemoryDialog>(this, *device_);
  security_ = std::make_unique<TSecurityDialog>(this, *device_);
  UpdateTitle();
  // A locked unit keeps its signal flow closed; so does one whose lock could not be read.
  bool locked = true;
  try {
    locked = g8100Locked.Read(*device_);
  } catch (const IQException&) {
  }
  if (!locked) OpenPage(*sigFlow_);
  AddNodes();
  UpdateTree(-1);
  ReadUnit();
}

void TEdit8100Window::AddNodes() {
  top_ = tree_.InsertItem({}, "Ordavinex ", kOtherImage, 0, kOtherImage + 1);
  ui::TreeItem special;
  for (const NodeEntry& node : kNodes) {
    if (node.busOnly && !device_->IsOnline()) continue;
    const int image = node.id == kSignalFlow ? kPageImage : kOtherImage;
    const ui::TreeItem item =
        tree_.InsertItem(node.underSpecial ? special : top_, node.text, image, node.id, image + 1);
    if (node.id == kSpecial) special = item;
  }
  tree_.Expand(top_);
  if (special) tree_.Expand(special);
}

void TEdit8100Window::ReadUnit() {
  familycommon::ProgressWindow progress;
  controls::GuardedBusCall(device_, [&] { device_->ReadAllParameters(&progress); });
}

bool TEdit8100Window::IsLocked() { return device_->IsOnline() && g8100Locked.Read(*device_); }

void TEdit8100Window::UpdateTitle() {
  if (!device_->IsOnline()) {
    SetText(device_->GetName() + " (Virtual " + device_->GetTypeName() + ")");
    return;
  }
  // A failed name read leaves the address and model until the unit answers.
  std::string name;
  try {
    name = g8100UnitName.Read(*device_);
  } catch (const IQException&) {
    unitOwed_.Owe();
  }
  SetText(BusTitle(name));
}

std::string TEdit8100Window::BusTitle(const std::string& name) const {
  return std::to_string(device_->GetInfo().address) + " (" + device_->GetTypeName() + ") " + name;
}

void TEdit8100Window::ReadNameAndLock() {
  const std::string name = g8100UnitName.Read(*device_);
  const bool locked = IsLocked();
  SetText(BusTitle(name));
  ShowLock(-1, locked);
  if (security_ != nullptr && security_->IsCreated()) security_->ShowLock(locked);
}

void TEdit8100Window::ReadAgainAndShow() {
  device_->ResetValueStore();
  device_->ReadAllParameters();
  ReadNameAndLock();
  const bool locked = IsLocked();
  if (!locked) {
    device_->ReadSettingsRecord();
    if (memory_->IsCreated()) memory_->ReadNames();
  }
  if (!renamedFrom_.empty()) {
    const CaptionName renamed{std::exchange(renamedFrom_, {}), device_->ListTextOrName({})};
    if (renamed.after != renamed.before) ShowRename(renamed);
  }
  if (locked) {
    CloseEditingPages();
  } else if (sigFlow_->IsCreated()) {
    sigFlow_->Post(TSigFlowDialog::kRefreshAll);
  }
  TellClient(kDeviceChanged);
}

void TEdit8100Window::ShowRename(const CaptionName& renamed) {
  // The unit's windows: this one with its pages and their dialogs, and the editors apart.
  std::vector<ui::Window*> windows = sigFlow_->Editors();
  windows.push_back(this);
  FollowRename(windows, {&renamed, 1});
}

void TEdit8100Window::UpdateTree(int id) {
  bool locked = false;
  if (!controls::GuardedBusCall(device_, [&] { locked = IsLocked(); })) {
    unitOwed_.Owe();
    return;
  }
  ShowLock(id, locked);
}

void TEdit8100Window::ShowLock(int id, bool locked) {
  const auto walk = [&](auto& self, ui::TreeItem parent) -> void {
    for (ui::TreeItem item = tree_.FirstChild(parent); item; item = tree_.NextSibling(item)) {
      const int node = static_cast<int>(tree_.ItemData(item));
      if ((id < 0 || node == id) && node != kSpecial && RefusedWhenLocked(node)) {
        const int image = node == kSignalFlow ? kPageImage : kOtherImage;
        if (locked) {
          tree_.SetItemImages(item, kLockImage, kLockImage);
        } else {
          tree_.SetItemImages(item, image, image + 1);
        }
      }
      self(self, item);
    }
  };
  walk(walk, top_);
}

bool TEdit8100Window::IdleAction(long idleCount) {
  const bool more = ui::Frame::IdleAction(idleCount);
  if (!IsCreated() || !device_->IsOnline()) return more;
  // Lists that a silent unit broke off are read again as a unit in doubt is, in one read.
  if (device_->ListsStale()) device_->MarkInDoubt();
  controls::PollOutcome outcome = controls::SettleDoubt(*device_);
  if (outcome == controls::PollOutcome::kResting && unitOwed_.Owed()) {
    outcome = unitOwed_.Settle(*device_);
  }
  return outcome == controls::PollOutcome::kResting ? more : true;
}

bool TEdit8100Window::PreProcessKey(const ui::KeyStroke& key) {
  if (!tree_.OpensItem(key)) return ui::Frame::PreProcessKey(key);
  RunSelectedNode();
  return true;
}

void TEdit8100Window::RunSelectedNode() {
  const ui::TreeItem item = tree_.Selected();
  if (!item) return;
  const int id = static_cast<int>(tree_.ItemData(item));
  // The lock read, the node's window or action and the tree's lock images read after it are one
  // user action: a unit that does not answer is told of once.
  const controls::OneReportScope action;
  const controls::LockState lock = controls::ReadLock(
      [this](const auto& read) { return controls::GuardedBusCall(device_, read); },
      [this] { return IsLocked(); });
  if (lock == controls::LockState::kLocked && RefusedWhenLocked(id)) {
    ui::Beep();
    return;
  }
  // A page opens all the same and shows what it cannot read; an action ends at the report.
  if (lock == controls::LockState::kNotRead && !IsPage(id)) return;
  if (RunNode(id)) UpdateTree(-1);
}

bool TEdit8100Window::RunNode(int id) {
  switch (id) {
    case kSignalFlow:
      OpenPage(*sigFlow_);
      break;
    case kMemory:
      OpenPage(*memory_);
      break;
    case kSecurity:
      OpenPage(*security_);
      break;
    case kSerialNumber:
      ShowSerialNumber();
      break;
    case kStrobeLeds:
      controls::GuardedBusCall(device_, [this] { g8100StrobeLeds.Write(*device_, true); });
      break;
    case kSetAddress:
      return SetAddress();
    case kName:
      return Rename();
    case kFirmwareVersion:
      ShowFirmwareVersion();
      break;
    case kFactoryInitialize:
      CloseAllPages();
      // A unit that did not come back has been reported; reading it would only report it again.
      if (FactoryInitialize()) ReadUnit();
      break;
    case kReflash:
      CloseAllPages();
      ReflashUnit(*device_, this);
      break;
    default:
      return false;
  }
  return true;
}

void TEdit8100Window::OpenPage(ui::Window& page) {
  if (page.IsCreated()) {
    page.BringToTop();
  } else {
    page.Create();
    page.Show();
  }
}

void TEdit8100Window::CloseEditingPages() {
  if (sigFlow_ == nullptr) return;
  if (sigFlow_->IsCreated()) sigFlow_->CloseWindow(0);
  if (memory_->IsCreated()) memory_->CloseWindow(ui::kIdCancel);
}

void TEdit8100Window::CloseAllPages() {
  CloseEditingPages();
  if (security_ != nullptr && security_->IsCreated()) security_->CloseWindow(ui::kIdCancel);
}

void TEdit8100Window::ShowSerialNumber() {
  std::string serial;
  // Nothing valid was read after a failure: no box follows the error.
  if (!controls::GuardedBusCall(device_, [&] { serial = g8100SerialNumber.Read(*device_); })) {
    return;
  }
  ui::MessageBox(this, serial, "Serial Number", ui::mb::kOk);
}

void TEdit8100Window::ShowFirmwareVersion() {
  ui::MessageBox(this, "Firmware version: " + device_->FirmwareVersionText(), "", ui::mb::kOk);
}

bool TEdit8100Window::SetAddress() {
  TInputDialog dialog(this, "New address", "Address : ", std::to_string(device_->GetInfo().address),
                      kAddressChars,
                      std::make_unique<ui::RangeValidator>(kFirstAddress, kLastAddress));
  if (dialog.Execute() != ui::kIdOk) return false;
  int address = 0;
  const std::string& text = dialog.Answer();
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), address);
  if (error != std::errc() || end != text.data() + text.size() || address < kFirstAddress ||
      address > kLastAddress) {
    return true;
  }
  const uint8_t oldAddress = device_->GetInfo().address;
  // The unit takes its new address with this very request, sent to the old one.
  if (!controls::GuardedBusCall(
          device_, [&] { g8100Address.Write(*device_, static_cast<uint8_t>(address)); })) {
    return true;
  }
  AnswersAt(static_cast<uint8_t>(address), oldAddress);
  UpdateTitle();
  return true;
}

bool TEdit8100Window::AnswersAt(uint8_t address, uint8_t oldAddress) {
  // Every later request goes to the address the device holds: a unit that is not there would be
  // lost to all of them without a word.
  const auto answersAt = [this](uint8_t at) {
    IQDeviceInfo moved = device_->GetInfo();
    moved.address = at;
    device_->SetInfo(moved);
    try {
      g8100Ready.Read(*device_);
      return true;
    } catch (const IQException&) {
      return false;
    }
  };
  if (answersAt(address)) return true;
  std::string text;
  if (answersAt(oldAddress)) {
    text = "The unit did not take the address " + std::to_string(address) +
           "; it still answers at " + std::to_string(oldAddress) + ".";
  } else {
    answersAt(address);
    text = "The unit does not answer at its new address " + std::to_string(address) +
           ".\nCheck the unit, then make a roll call.";
  }
  ui::MessageBox(this, text, "New address", ui::mb::kOk | ui::mb::kIconStop);
  return false;
}

bool TEdit8100Window::Rename() {
  std::string name;
  if (!controls::GuardedBusCall(device_, [&] { name = g8100UnitName.Read(*device_); })) return true;
  TInputDialog dialog(this, "Unit name", "New name:", name.substr(0, kNameChars), kNameChars);
  if (dialog.Execute() != ui::kIdOk) return false;
  if (dialog.Answer().empty()) {
    ui::MessageBox(this, "Null string.", "", ui::mb::kOk | ui::mb::kIconStop);
    return true;
  }
  if (controls::RefusedName(this, dialog.Answer(), "Unit name")) return false;
  // The unit's windows carry its list text in their captions.
  const std::string before = device_->ListTextOrName({});
  const controls::DoubtWatch doubt;
  if (!controls::GuardedBusCall(device_, [&] { g8100UnitName.Write(*device_, dialog.Answer()); })) {
    // The unit may have taken the name: the captions follow it once the unit is read again.
    if (doubt.DoubtMet() && renamedFrom_.empty()) renamedFrom_ = before;
    return true;
  }
  const CaptionName renamed{before, device_->ListTextOrName({})};
  if (!renamed.after.empty()) ShowRename(renamed);
  TellClient(kDeviceChanged);
  UpdateTitle();
  return true;
}

bool TEdit8100Window::FactoryInitialize() {
  if (ui::MessageBox(this,
                     "Warning: This action will reset all parameters to factory defaults.  "
                     "Continue?",
                     "Factory Initialize",
                     ui::mb::kOkCancel | ui::mb::kIconExclamation) != ui::kIdOk) {
    return true;
  }
  TProgressDialog progress(this);
  progress.Create();
  progress.SetText("Preparing to reset device in initialize mode...");
  // A unit that did not take the initialise request resets nothing: the one report tells, and no
  // reboot wait follows it.
  if (!controls::GuardedBusCall(device_, [this] { g8100InitMode.Write(*device_, 1); })) {
    progress.Destroy();
    return false;
  }
  // A unit that fails here may still have taken the command: the reboot wait below tells.
  try {
    device_->WaitUntilReady();
    g8100Reboot.Write(*device_, true);
  } catch (const IQException&) {
  }
  // A rebooting unit leaves polls unanswered; the waits take that as not ready, within their
  // bound, and a unit that never comes back is reported.
  const bool back = controls::GuardedBusCall(device_, [&] {
    progress.SetText("Initializing...");
    device_->WaitUntilRebooted();
    progress.SetText("Rebooting in normal mode...");
    try {
      g8100Reboot.Write(*device_, true);
    } catch (const IQException&) {
    }
    device_->WaitUntilRebooted();
  });
  progress.Destroy();
  UpdateTitle();
  return back;
}

void TEdit8100Window::ObjectChanged(int id) {
  if (id == g8100UnitName.GetId()) {
    UpdateTitle();
    return;
  }
  if (id != g8100Locked.GetId()) return;
  controls::GuardedBusCall(device_, [this] {
    // A locked unit shows no filters: the program's copy follows the lock either way.
    familycommon::ProgressWindow progress;
    device_->ReadAllParameters(&progress);
    if (g8100Locked.Read(*device_)) CloseEditingPages();
  });
  TellClient(kDeviceChanged);
  UpdateTitle();
  UpdateTree(-1);
}

void TEdit8100Window::TellClient(ui::MessageId message) {
  if (client_ != nullptr) client_->Post(message, 0, reinterpret_cast<ui::Param>(device_));
}

void TEdit8100Window::CloseWindow(int result) {
  if (!IsCreated() || !CanClose()) return;
  device_->Close();
  TellClient(kWindowClosed);
  CloseAllPages();
  ui::Frame::CloseWindow(result);
}

// The model opens its unit in an edit window that the device keeps while the window is open.
bool IQDevice8100::DoOpen(ui::Window* parent) {
  // The window reads the unit's lock, its name and all its values as it opens, and the signal
  // flow its own: a silent unit is told of once, not per read.
  const controls::OneReportScope opening;
  editWindow_ = std::make_unique<TEdit8100Window>(parent, *this);
  editWindow_->Create();
  editWindow_->Show();
  return editWindow_->IsCreated();
}

ui::Window* IQDevice8100::EditWindow() const {
  return editWindow_ != nullptr && editWindow_->IsCreated() ? editWindow_.get() : nullptr;
}

bool IQDevice8100::ShowOpenWindow() {
  ui::Window* window = EditWindow();
  if (window != nullptr) window->BringToTop();
  return window != nullptr;
}

}  // namespace namespace8100
