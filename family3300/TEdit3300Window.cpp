#include "family3300/TEdit3300Window.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "bus/IQDeviceType.h"
#include "controls/CarriedName.h"
#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "controls/TInputDialog.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Labels3300.h"
#include "family3300/Parameters3300.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr int kImagePixels = 16;
// At (100, 100), 250 x 200 pixels.
const ui::Rect kDefaultRect{100, 100, 100 + 250, 100 + 200};
constexpr int kUnitNameFieldChars = 10;
constexpr const char* kUnnamed = "---------";

// Images of the tree's strip.
constexpr int kChannelAImage = 0;
constexpr int kSwitchImage = 2;
constexpr int kAttentionImage = 3;
constexpr int kChannelBImage = 4;
constexpr int kLockImage = 6;
constexpr int kUnitImage = 7;
constexpr int kUnreadSwitchImage = 9;

struct ItemSpec {
  int code;
  const char* text;
  int image;
};

enum class Presence { kAlways, kTwoChannel, kBusUnit };

struct TreeEntry {
  ItemSpec item;
  Presence presence;
};

constexpr TreeEntry kTreeEntries[] = {
    {{kItemEqInA, "EQ A", kUnreadSwitchImage}, Presence::kAlways},
    {{kItemMuteA, "Mute A", kUnreadSwitchImage}, Presence::kAlways},
    {{kItemEqA, "1/3 Octave EQ Chan A", kChannelAImage}, Presence::kAlways},
    {{kItemLpfA, "LPF Chan A", kChannelAImage}, Presence::kAlways},
    {{kItemHpfA, "HPF Chan A", kChannelAImage}, Presence::kAlways},
    {{kItemGainA, "Gain Chan A", kChannelAImage}, Presence::kAlways},
    {{kItemEqInB, "EQ B", kUnreadSwitchImage}, Presence::kTwoChannel},
    {{kItemMuteB, "Mute B", kUnreadSwitchImage}, Presence::kTwoChannel},
    {{kItemEqB, "1/3 Octave EQ Chan B", kChannelBImage}, Presence::kTwoChannel},
    {{kItemLpfB, "LPF Chan B", kChannelBImage}, Presence::kTwoChannel},
    {{kItemHpfB, "HPF Chan B", kChannelBImage}, Presence::kTwoChannel},
    {{kItemGainB, "Gain Chan B", kChannelBImage}, Presence::kTwoChannel},
    {{kItemDspi, "DSPI", kUnitImage}, Presence::kBusUnit},
    {{kItemName, "Name", kUnitImage}, Presence::kBusUnit},
    {{kItemMemory, "Memory", kUnitImage}, Presence::kAlways},
    {{kItemSecurity, "Security", kUnitImage}, Presence::kBusUnit},
    {{kItemVersion, "Version", kUnitImage}, Presence::kBusUnit},
};

// A channel setting copied from one channel to the other by a drop.
struct ChannelCopy {
  int from;
  int to;
  const char* question;
  const ByteUCodeObject* source;
  const ByteUCodeObject* target;
};

// The item of a code that the tree holds.
const ItemSpec& ItemOf(int code) {
  return std::find_if(std::begin(kTreeEntries), std::end(kTreeEntries),
                      [code](const TreeEntry& entry) { return entry.item.code == code; })
      ->item;
}

// Whether the item with `code` is one of the unit's switches, which shows its state.
bool IsSwitch(int code) {
  return code == kItemEqInA || code == kItemEqInB || code == kItemMuteA || code == kItemMuteB;
}

const ChannelCopy* FindCopy(int from, int to) {
  static const ChannelCopy copies[] = {
      {kItemLpfA, kItemLpfB, "Copy LPF (A) to LPF (B)?", &g3300LpfA, &g3300LpfB},
      {kItemLpfB, kItemLpfA, "Copy LPF (B) to LPF (A)?", &g3300LpfB, &g3300LpfA},
      {kItemHpfA, kItemHpfB, "Copy HPF (A) to HPF (B)?", &g3300HpfA, &g3300HpfB},
      {kItemHpfB, kItemHpfA, "Copy HPF (B) to HPF (A)?", &g3300HpfB, &g3300HpfA},
      {kItemGainA, kItemGainB, "Copy Gain (A) to Gain (B)?", &g3300GainA, &g3300GainB},
      {kItemGainB, kItemGainA, "Copy Gain (B) to Gain (A)?", &g3300GainB, &g3300GainA},
      {kItemEqA, kItemEqB, "Copy EQ (A) to EQ (B)?", nullptr, nullptr},
      {kItemEqB, kItemEqA, "Copy EQ (B) to EQ (A)?", nullptr, nullptr},
  };
  for (const ChannelCopy& copy : copies) {
    if (copy.from == from && copy.to == to) return &copy;
  }
  return nullptr;
}

}  // namespace

TEdit3300Window::TEdit3300Window(IQDevice3300& device, ui::Window* client)
    : ui::Frame(std::string(), nullptr),
      device_(device),
      client_(client),
      images_(kImagePixels, kImagePixels),
      tree_(nullptr, res3300::kFunctionTree),
      drag_(*this, tree_,
            [this](ui::Param source, ui::TreeItem target) {
              if (target && target != root_) {
                CopyChannel(static_cast<int>(source), static_cast<int>(tree_.ItemData(target)));
              }
            }),
      // A write whose answer never came may have changed anything the windows show, the name and
      // lock in the main list included.
      readAgain_(
          device,
          [this] {
            ShowUnit();
            TellClient();
          },
          [this](const IQException& error) {
            controls::ReportFailure(std::make_exception_ptr(error), &device_);
          }) {
  images_.AddStrip(ui::Resources::Image(res3300::kTreeImages), ui::kWhite);
  SetClient(&tree_);
  SetMenu(res3300::kEditUnitMenu);
  AddStatusBar();
  SetRect(kDefaultRect);
  // The model's icon, as in the device lists.
  if (device.GetType() != nullptr) {
    if (const auto icon = device.GetType()->CreateSmallIcon()) SetIcon(*icon);
  }
  UpdateTitle();
  // The file commands report their own failures; a load changes what every dialog shows.
  OnCommand(res3300::kCmSaveSettings, [this] { device_.SaveFile(); });
  OnCommand(res3300::kCmLoadSettings, [this] {
    if (!device_.LoadFile()) return;
    // The file may carry another name: the caption and the main list follow it.
    UpdateTitle();
    TellClient();
    RefreshAll();
  });
  OnCommand(res3300::kCmPrintReport, [this] { device_.PrintReport(); });
  OnCommand(res3300::kCmCloseUnit, [this] { CloseWindow(); });
  OnNotify(res3300::kFunctionTree, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    const ui::TreeItem selected = tree_.Selected();
    if (selected) RunItem(static_cast<int>(tree_.ItemData(selected)));
    return ui::Param{0};
  });
  OnMessage(kObjectChangedMessage, [this](const ui::Message& m) {
    ObjectChanged(static_cast<int>(m.lParam));
    return ui::Param{0};
  });
  OnMessage(kRefreshAllMessage, [this](const ui::Message&) {
    RefreshAll();
    return ui::Param{0};
  });
}

TEdit3300Window::~TEdit3300Window() { Destroy(); }

void TEdit3300Window::SetupWindow() {
  ui::Frame::SetupWindow();
  tree_.SetImageList(&images_);
  BuildTree();
  MakeDialogs();
  UpdateTree(-1);
}

std::vector<int> TEdit3300Window::ItemCodes(bool twoChannel, bool online) {
  std::vector<int> codes;
  for (const TreeEntry& entry : kTreeEntries) {
    if (entry.presence == Presence::kTwoChannel && !twoChannel) continue;
    if (entry.presence == Presence::kBusUnit && !online) continue;
    codes.push_back(entry.item.code);
  }
  return codes;
}

void TEdit3300Window::BuildTree() {
  root_ = tree_.InsertItem({}, "3300XL Device", kUnitImage, 0, kUnitImage + 1);
  for (const int code : ItemCodes(device_.IsTwoChannel(), device_.IsOnline())) {
    const ItemSpec& item = ItemOf(code);
    tree_.InsertItem(root_, item.text, item.image, item.code, item.image + 1);
    if (IsSwitch(item.code)) ShowSwitchUnknown(item.code);
  }
  tree_.Expand(root_);
}

void TEdit3300Window::MakeDialogs() {
  for (int channel = 0; channel < device_.ChannelCount(); ++channel) {
    const ChannelObjects& objects = Channel3300(channel);
    const std::string suffix = channel == 0 ? " A" : " B";
    const std::size_t i = Index(channel);
    equalisers_[i] = std::make_unique<TGraphicEQ>(device_, channel, this);
    lpf_[i] =
        std::make_unique<TLPFLevelDialog>(&device_, &objects.lpf, 0, kMaxCornerIndex, 1, this);
    lpf_[i]->SetInverted(false);
    lpf_[i]->SetText("LPF corner" + suffix);
    hpf_[i] =
        std::make_unique<THPFLevelDialog>(&device_, &objects.hpf, 0, kMaxCornerIndex, 1, this);
    hpf_[i]->SetText("HPF corner" + suffix);
    gain_[i] = std::make_unique<TGainLevelDialog>(&device_, &objects.gain, 0, kMaxGain, 1, this);
    gain_[i]->SetText("Channel gain" + suffix);
    for (auto* level : {lpf_[i].get(), hpf_[i].get(), gain_[i].get()}) {
      level->SetWriteWhileDragging(true);
    }
  }
  dspi_ = std::make_unique<TDSPIDialog>(device_, this, [this] { unitOwed_.Owe(); });
  memory_ = std::make_unique<TMemoryDialog>(device_, this);
  security_ = std::make_unique<TSecurityDialog>(device_, this);
}

void TEdit3300Window::ShowSwitchUnknown(int code) {
  // A dark lamp and no state, until the unit gives the state.
  const ui::TreeItem item = Item(code);
  tree_.SetItemText(item, std::string(ItemOf(code).text) + " " + controls::kUnknownValue);
  tree_.SetItemImages(item, kUnreadSwitchImage, kUnreadSwitchImage);
}

ui::TreeItem TEdit3300Window::Item(int code) const {
  for (ui::TreeItem item = tree_.FirstChild(root_); item; item = tree_.NextSibling(item)) {
    if (static_cast<int>(tree_.ItemData(item)) == code) return item;
  }
  return {};
}

void TEdit3300Window::UpdateTitle() {
  if (!device_.IsOnline()) {
    const char* model = device_.IsTwoChannel() ? "3300-2XL" : "3300XL";
    SetText(device_.GetName() + " (Virtual " + model + ")");
    return;
  }
  // The caption keeps the address and model until the unit answers with its name.
  std::string name;
  try {
    name = g3300UnitName.Read(device_);
  } catch (const IQException&) {
    unitOwed_.Owe();
  }
  SetText(BusTitle(name));
}

std::string TEdit3300Window::BusTitle(const std::string& name) const {
  const char* model = device_.IsTwoChannel() ? "3300-2XL" : "3300XL";
  return std::to_string(device_.GetInfo().address) + " (" + model + ") " + name;
}

void TEdit3300Window::ReadNameAndTree() {
  const std::string name = g3300UnitName.Read(device_);
  ShowTreeFromUnit(-1);
  SetText(BusTitle(name));
}

void TEdit3300Window::ShowUnit() {
  try {
    ReadNameAndTree();
    if (TreeLock()) CloseEditingDialogs();
    for (int channel = 0; channel < device_.ChannelCount(); ++channel) {
      const std::size_t i = Index(channel);
      const ChannelObjects& objects = Channel3300(channel);
      if (equalisers_[i]->IsCreated()) equalisers_[i]->ShowBands();
      ShowLevel(*lpf_[i], objects.lpf);
      ShowLevel(*hpf_[i], objects.hpf);
      ShowLevel(*gain_[i], objects.gain);
    }
    if (dspi_->IsCreated()) dspi_->ShowSwitchFromUnit();
    if (memory_->IsCreated()) memory_->ShowNames();
    if (security_->IsCreated()) security_->ShowLock(device_.IsLocked());
  } catch (const IQException&) {
    ShowUnitUnknown();
    throw;
  }
}

void TEdit3300Window::ShowUnitUnknown() {
  // What the unit holds may have changed (a recall, a load, a write in doubt): nothing shows a
  // value the read again did not give.
  SetText(BusTitle(std::string()));
  for (const int code : {kItemEqInA, kItemMuteA, kItemEqInB, kItemMuteB}) {
    if (Item(code)) ShowSwitchUnknown(code);
  }
  for (int channel = 0; channel < device_.ChannelCount(); ++channel) {
    const std::size_t i = Index(channel);
    if (equalisers_[i]->IsCreated()) equalisers_[i]->ShowUnknown(0, kBandCount);
    for (TLevelDialog* level : {lpf_[i].get(), hpf_[i].get(), gain_[i].get()}) {
      if (level->IsCreated()) level->ShowUnknown();
    }
  }
  if (dspi_->IsCreated()) dspi_->ShowUnknown();
  if (memory_->IsCreated()) memory_->ShowUnknown();
  if (security_->IsCreated()) security_->ShowLock(std::nullopt);
}

void TEdit3300Window::ShowLevel(TLevelDialog& dialog, const ByteUCodeObject& parameter) {
  if (!dialog.IsCreated()) return;
  // The dialog's own read reports its failure: asked here first, a unit that is silent throws.
  parameter.Read(device_);
  dialog.ReadValue();
}

void TEdit3300Window::TellClient() {
  if (client_ != nullptr)
    client_->Post(kDeviceChangedMessage, 0, reinterpret_cast<ui::Param>(&device_));
}

bool TEdit3300Window::IdleAction(long idleCount) {
  const bool more = ui::Frame::IdleAction(idleCount);
  if (!IsCreated() || !device_.IsOnline()) return more;
  const controls::PollOutcome owed = unitOwed_.Settle(device_);
  const controls::PollOutcome doubt = controls::SettleDoubt(device_);
  const bool resting =
      owed == controls::PollOutcome::kResting && doubt == controls::PollOutcome::kResting;
  return resting ? more : true;
}

bool TEdit3300Window::TreeLock() { return device_.IsOnline() && device_.IsLocked(); }

void TEdit3300Window::UpdateTree(int code) {
  if (!controls::GuardedBusCall(&device_, [&] { ShowTreeFromUnit(code); })) unitOwed_.Owe();
}

void TEdit3300Window::ShowTreeFromUnit(int code) {
  ui::TreeItem item = tree_.FirstChild(root_);
  try {
    const bool locked = TreeLock();
    for (; item; item = tree_.NextSibling(item)) ShowItemFromUnit(item, code, locked);
  } catch (const IQException&) {
    // The switches not read show no state, never the one they last had.
    for (; item; item = tree_.NextSibling(item)) {
      const int itemCode = static_cast<int>(tree_.ItemData(item));
      if (IsSwitch(itemCode) && (code < 0 || itemCode == code)) ShowSwitchUnknown(itemCode);
    }
    throw;
  }
}

void TEdit3300Window::ShowItemFromUnit(ui::TreeItem item, int code, bool locked) {
  const int itemCode = static_cast<int>(tree_.ItemData(item));
  if (code >= 0 && itemCode != code) return;
  if (itemCode == kItemSecurity || itemCode == kItemVersion) return;
  if (locked) {
    // A locked unit keeps its functions to itself: a switch shows no state, as in a window
    // that opened on the locked unit.
    if (IsSwitch(itemCode)) ShowSwitchUnknown(itemCode);
    tree_.SetItemImages(item, kLockImage, kLockImage);
    return;
  }
  switch (itemCode) {
    case kItemEqA:
    case kItemLpfA:
    case kItemHpfA:
    case kItemGainA:
      tree_.SetItemImages(item, kChannelAImage, kChannelAImage + 1);
      break;
    case kItemEqB:
    case kItemLpfB:
    case kItemHpfB:
    case kItemGainB:
      tree_.SetItemImages(item, kChannelBImage, kChannelBImage + 1);
      break;
    case kItemEqInA:
    case kItemEqInB: {
      const bool b = itemCode == kItemEqInB;
      const bool in = Channel3300(b ? 1 : 0).eqIn.Read(device_);
      const int image = in ? kSwitchImage : kAttentionImage;
      tree_.SetItemImages(item, image, image);
      tree_.SetItemText(item, std::string(b ? "EQ B " : "EQ A ") + (in ? "In" : "Bypassed"));
      break;
    }
    case kItemMuteA:
    case kItemMuteB: {
      const bool b = itemCode == kItemMuteB;
      const bool muted = Channel3300(b ? 1 : 0).mute.Read(device_);
      const int image = muted ? kAttentionImage : kSwitchImage;
      tree_.SetItemImages(item, image, image);
      tree_.SetItemText(item, std::string(b ? "Mute B " : "Mute A ") + (muted ? "(on)" : "(off)"));
      break;
    }
    default:
      tree_.SetItemImages(item, kUnitImage, kUnitImage + 1);
  }
}

void TEdit3300Window::Open(ui::Window* dialog) {
  if (dialog == nullptr) return;
  if (dialog->IsCreated()) {
    dialog->SetFocus();
    return;
  }
  // Each of its fields reads the unit as it is created: a unit that falls silent is told of once,
  // and what it did not give is read again once it answers.
  const controls::OneReportScope opening;
  dialog->Create();
  dialog->Show();
  if (opening.FailureMet()) unitOwed_.Owe();
}

void TEdit3300Window::RunItem(int code) {
  bool locked = false;
  if (!controls::GuardedBusCall(&device_, [&] { locked = device_.IsLocked(); })) {
    // A switch flipped on a unit that answers nothing shows no state until the unit gives it.
    if (IsSwitch(code)) {
      ShowSwitchUnknown(code);
      unitOwed_.Owe();
    }
    return;
  }
  if (code == kItemSecurity) return Open(security_.get());
  if (code == kItemVersion) return ShowFirmwareVersion();
  if (code < kItemMemory || code > kItemGainB) return;
  if (locked) {
    ui::Beep();
    return;
  }
  switch (code) {
    case kItemMemory:
      return Open(memory_.get());
    case kItemEqA:
      return Open(equalisers_[0].get());
    case kItemEqB:
      return Open(equalisers_[1].get());
    case kItemDspi:
      return Open(dspi_.get());
    case kItemLpfA:
      return Open(lpf_[0].get());
    case kItemLpfB:
      return Open(lpf_[1].get());
    case kItemHpfA:
      return Open(hpf_[0].get());
    case kItemHpfB:
      return Open(hpf_[1].get());
    case kItemGainA:
      return Open(gain_[0].get());
    case kItemGainB:
      return Open(gain_[1].get());
    case kItemName:
      return Rename();
    case kItemEqInA:
      return ToggleSwitch(g3300EqInA, code);
    case kItemEqInB:
      return ToggleSwitch(g3300EqInB, code);
    case kItemMuteA:
      return ToggleSwitch(g3300MuteA, code);
    case kItemMuteB:
      return ToggleSwitch(g3300MuteB, code);
    default:
      return;
  }
}

void TEdit3300Window::ToggleSwitch(const BoolUCodeObject& object, int code) {
  // A lost reply may have flipped the switch all the same: whatever became of the click, the item
  // shows what the unit holds.
  const auto showUnit = [this, code] { UpdateTree(code); };
  controls::ApplyChange(
      [&] {
        return controls::GuardedBusCall(&device_,
                                        [&] { object.Write(device_, !object.Read(device_)); });
      },
      {.taken = showUnit, .showUnit = showUnit, .showUnknown = [this, code] {
         ShowSwitchUnknown(code);
       }});
}

void TEdit3300Window::Rename() {
  std::string current;
  if (!controls::GuardedBusCall(&device_, [&] { current = g3300UnitName.Read(device_); })) return;
  // The field takes ten characters; a longer name from the unit is offered cut to fit.
  TInputDialog input(this, "Unit name", "New name:", current.substr(0, kUnitNameFieldChars),
                     kUnitNameFieldChars);
  if (input.Execute() != ui::kIdOk) return;
  std::string name = input.Answer().substr(0, kUnitNameFieldChars);
  if (name.empty()) {
    ui::MessageBox(this, "Null string.", std::string(), ui::mb::kOk | ui::mb::kIconStop);
    name = kUnnamed;
  } else if (controls::RefusedName(this, name, "Unit name")) {
    return;
  }
  controls::ApplyChange(
      [&] {
        return controls::GuardedBusCall(&device_, [&] { g3300UnitName.Write(device_, name); });
      },
      {.taken =
           [this] {
             TellClient();
             UpdateTitle();
           },
       .showUnit = [this] { UpdateTitle(); },
       .showUnknown = {}});
}

void TEdit3300Window::ShowFirmwareVersion() {
  ui::MessageBox(this, "Firmware version: " + FirmwareVersionText3300(device_.GetInfo()),
                 std::string(), ui::mb::kOk);
}

void TEdit3300Window::ObjectChanged(int id) {
  const auto channelOf = [](int objectId) { return (objectId % 2 == 0) ? 0 : 1; };
  if (id == g3300HpfA.GetId() || id == g3300HpfB.GetId()) return ReRead(hpf_[Index(channelOf(id))]);
  if (id == g3300LpfA.GetId() || id == g3300LpfB.GetId()) return ReRead(lpf_[Index(channelOf(id))]);
  if (id == g3300GainA.GetId() || id == g3300GainB.GetId()) {
    return ReRead(gain_[Index(channelOf(id))]);
  }
  if (id >= g3300EqInA.GetId() && id <= g3300MuteB.GetId()) return UpdateTree(-1);
  if (id == g3300DspiSwitch.GetId()) {
    if (dspi_->IsCreated())
      controls::GuardedBusCall(&device_, [this] { dspi_->ShowSwitchFromUnit(); });
    return;
  }
  for (int channel = 0; channel < device_.ChannelCount(); ++channel) {
    const auto& bands = Channel3300(channel).bands;
    TGraphicEQ& equaliser = *equalisers_[Index(channel)];
    if (id >= bands.front().GetId() && id <= bands.back().GetId() && equaliser.IsCreated()) {
      return equaliser.ReadBands();
    }
  }
  if (id == g3300UnitName.GetId()) return UpdateTitle();
  if (id != g3300Lock.GetId()) return;
  bool locked = false;
  if (!controls::GuardedBusCall(&device_, [&] { locked = device_.IsLocked(); })) return;
  if (locked) CloseEditingDialogs();
  TellClient();
  UpdateTitle();
  UpdateTree(-1);
}

void TEdit3300Window::CloseEditingDialogs() {
  for (int channel = 0; channel < device_.ChannelCount(); ++channel) {
    const std::size_t i = Index(channel);
    for (ui::Window* dialog :
         {static_cast<ui::Window*>(equalisers_[i].get()), static_cast<ui::Window*>(lpf_[i].get()),
          static_cast<ui::Window*>(hpf_[i].get()), static_cast<ui::Window*>(gain_[i].get())}) {
      if (dialog->IsCreated()) dialog->CloseWindow(ui::kIdCancel);
    }
  }
  if (dspi_->IsCreated()) dspi_->CloseWindow(ui::kIdCancel);
  // The memory names cannot reach a locked unit: the dialog goes without writing them.
  memory_->Destroy();
}

void TEdit3300Window::RefreshAll() {
  if (!controls::GuardedBusCall(&device_, [this] { ShowUnit(); })) unitOwed_.Owe();
}

void TEdit3300Window::CopyChannel(int from, int to) {
  const ChannelCopy* copy = FindCopy(from, to);
  if (copy == nullptr) return;
  bool locked = false;
  if (!controls::GuardedBusCall(&device_, [&] { locked = device_.IsLocked(); })) return;
  if (locked) {
    ui::Beep();
    return;
  }
  if (ui::MessageBox(this, copy->question, "Copy confirm",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  const int target = to == kItemEqB ? 1 : 0;
  const auto& targetBands = Channel3300(target).bands;
  // The target's dialog, when open, shows what the unit holds, whatever became of the copy.
  const auto showTarget = [&] {
    ObjectChanged(copy->target != nullptr ? copy->target->GetId() : targetBands.front().GetId());
  };
  controls::ApplyChange(
      [&] {
        return controls::GuardedBusCall(&device_, [&] {
          if (copy->source != nullptr) {
            copy->target->Write(device_, copy->source->Read(device_));
            return;
          }
          const auto& sourceBands = Channel3300(1 - target).bands;
          for (std::size_t band = 0; band < sourceBands.size(); ++band) {
            targetBands[band].Write(device_, sourceBands[band].Read(device_));
          }
        });
      },
      {.taken = showTarget, .showUnit = showTarget, .showUnknown = {}});
}

bool TEdit3300Window::PreProcessKey(const ui::KeyStroke& key) {
  // The space bar acts as it comes up; Enter, as in the other families' trees, as it goes down.
  const bool space = key.code == ui::key::kSpace && tree_.IsFocusOfItsWindow();
  if (!space && !tree_.OpensItem(key)) return ui::Frame::PreProcessKey(key);
  if (key.code == ui::key::kReturn || !key.down) RunSelectedItem();
  return true;
}

void TEdit3300Window::RunSelectedItem() {
  const ui::TreeItem selected = tree_.Selected();
  if (selected && selected != root_) RunItem(static_cast<int>(tree_.ItemData(selected)));
}

void TEdit3300Window::CloseWindow(int result) {
  if (!IsCreated() || !CanClose()) return;
  device_.Close();
  if (client_ != nullptr) {
    client_->Post(kDeviceWindowClosed, 0, reinterpret_cast<ui::Param>(&device_));
  }
  ui::Frame::CloseWindow(result);
}

IQDevice3300::~IQDevice3300() = default;

// The unit opens in its edit window, which the device keeps while it is open.
bool IQDevice3300::DoOpen(ui::Window* parent) {
  editWindow_ = std::make_unique<TEdit3300Window>(*this, parent);
  editWindow_->Create();
  editWindow_->Show();
  return editWindow_->IsCreated();
}

ui::Window* IQDevice3300::EditWindow() const {
  return editWindow_ != nullptr && editWindow_->IsCreated() ? editWindow_.get() : nullptr;
}

bool IQDevice3300::ShowOpenWindow() {
  ui::Window* window = EditWindow();
  if (window != nullptr) window->BringToTop();
  return window != nullptr;
}

}  // namespace namespace3300
