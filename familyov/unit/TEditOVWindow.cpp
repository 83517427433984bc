#include "familyov/unit/TEditOVWindow.h"

#include <algorithm>

#include "controls/CommandStart.h"
#include "controls/DeviceErrorReport.h"
#include "familyov/filters/TFilter.h"
#include "familyov/unit/ChildWindowFactory.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/NewSettingsCheck.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "familyov/unit/TOVWindow.h"
#include "familyov/unit/UnitCommands.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "resources/FamilyOvIds.h"

namespace namespaceOV {
namespace {

constexpr ui::MessageId kFreeRetiredMessage = 0x0401;
constexpr int kImagePixels = 16;
const ui::Rect kDefaultRect{100, 100, 350, 450};

}  // namespace

TNodeInfo::TNodeInfo(const std::string& text, int image, int id, NodeCommand command)
    : id(id), image(image), text(text.substr(0, kMaxTextChars)), command(command) {}

TEditOVWindow::TEditOVWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Frame(std::string(), nullptr),
      TDataWindow(nullptr),
      device_(&device),
      owner_(parent),
      images_(kImagePixels, kImagePixels),
      tree_(nullptr, ovres::kFunctionTree),
      poller_(device),
      readAgain_(
          device, [this] { ReadUnitAgain(); },
          [this](const IQException& error) { ReportCommError(error, *device_); }) {
  images_.AddStrip(ui::Resources::Image(ovres::kTreeImages), ui::kWhite);
  filterSet_ = device.filterSetNotice.Listen([this] {
    NotifyRecord record{FilterSetChanged, 0, 0, nullptr};
    PassOn(&record);
  });
  SetClient(&tree_);
  SetMenu(ovres::kEditUnitMenu);
  AddStatusBar();
  SetRect(kDefaultRect);
  SetIcon(device.GetModelBitmapId());
  SetLink1(this);
  SetupCommands();
  OnNotify(ovres::kFunctionTree, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    RunSelectedNode();
    return ui::Param{0};
  });
  OnMessage(kFreeRetiredMessage, [this](const ui::Message&) {
    retired_.clear();
    return ui::Param{0};
  });
  if (device.IsOnline() && device.HasFeature(kFeatureNewSettingsWatch)) {
    newSettings_ = std::make_unique<NewSettingsCheck>(device, this);
  }
}

TEditOVWindow::~TEditOVWindow() {
  Destroy();
  for (auto& child : children_) child.reset();
}

void TEditOVWindow::SetupCommands() {
  OnCommand(ovres::kCmSaveSettings,
            [this] { GuardedUnitCall(*device_, [this] { SaveSettingsFile(*device_); }); });
  OnCommand(ovres::kCmLoadSettings, [this] {
    // One command: the load, its read-back and the windows' refresh tell of one failure once.
    controls::OneReportScope command;
    // The load reads back whatever it wrote; the windows show the unit as it now is, or once it
    // answers again when it stopped answering.
    GuardedUnitCall(*device_, [this] { LoadSettingsFile(*device_); });
    if (device_->FiltersStale()) return;
    NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
    Notify(&refresh);
  });
  OnCommand(ovres::kCmPrintReport,
            [this] { GuardedUnitCall(*device_, [this] { device_->PrintReport(); }); });
  OnCommand(ovres::kCmCloseUnit, [this] { CloseWindow(); });
  const std::pair<int, NodeCommand> unitCommands[] = {
      {ovres::kCmRenameUnit, &TEditOVWindow::CmRenameUnit},
      {ovres::kCmReflash, &TEditOVWindow::NodeReflash},
      {ovres::kCmStrobeLeds, &TEditOVWindow::CmStrobeLEDs},
      {ovres::kCmFactoryInit, &TEditOVWindow::NodeFactoryInit},
      {ovres::kCmChangeAddress, &TEditOVWindow::CmChangeAddress},
      {ovres::kCmFirmwareVersion, &TEditOVWindow::CmFirmwareVersion},
      {ovres::kCmSerialNumber, &TEditOVWindow::CmSerialNumber},
  };
  for (const auto& [commandId, command] : unitCommands) {
    OnCommand(commandId, [this, command = command] {
      GuardedUnitCall(*device_, [this, command] { (this->*command)(-1); });
    });
    // A virtual unit has no firmware, address or LEDs.
    OnEnable(commandId, [this](ui::CommandState& s) { s.enabled = device_->IsOnline(); });
  }
}

void TEditOVWindow::SetupWindow() {
  ui::Frame::SetupWindow();
  tree_.SetImageList(&images_);
  if (!GuardedUnitCall(*device_, [this] { ReadTree(); })) {
    // Until the unit answers, its summary shows what could be read and the rest as unknown.
    std::vector<TNodeInfo> nodes;
    NodeIds ids;
    int next = 0;
    AddSummaryNode(nodes, ids, next);
    ShowTree(std::move(nodes), ids);
    SetText(device_->GetName());
    treeOwed_.Owe();
  }
  // The lock read that ends the opening fails as any read before it does: told once, and the
  // summary the user asked to see opens once the unit answers.
  const bool opened = GuardedUnitCall(*device_, [this] {
    ProgressWindow progress;
    ReadUnit(&progress);
    OpenSummaryIfFree();
  });
  if (!opened && device_->autoOpenSummary != 0) summaryOwed_.Owe();
}

void TEditOVWindow::OpenSummaryIfFree() {
  if (device_->autoOpenSummary != 0 && ChildWindow(ids_.summary) == nullptr &&
      UnitLock() == controls::LockState::kFree) {
    OpenChildWindow(ids_.summary);
  }
}

void TEditOVWindow::ReadTree() {
  device_->UpdateClockPresence();
  const bool compressors = device_->HasFeature(kFeatureCompressors);
  std::vector<TNodeInfo> nodes;
  NodeIds ids;
  BuildTree(nodes, ids);
  const controls::LockState lock = UnitLock();
  const std::string name = device_->GetDisplayName();
  ShowTree(std::move(nodes), ids);
  ShowLock(lock);
  ShowUnitName(name);
  // A summary made before the unit told of its compressors lacks their panes: it is made again.
  if (device_->HasFeature(kFeatureCompressors) != compressors &&
      ChildWindow(ids_.summary) != nullptr) {
    CloseChild(ids_.summary);
    OpenChildWindow(ids_.summary);
  }
}

void TEditOVWindow::ShowTree(std::vector<TNodeInfo> nodes, const NodeIds& ids) {
  // A tree built again, after a read again, keeps the nodes the user opened and chose.
  const bool titleOpen = !titleItem_ || tree_.IsExpanded(titleItem_);
  std::vector<int> opened;
  for (const TNodeInfo* node : nodeList_) {
    if (tree_.IsExpanded(node->item)) opened.push_back(node->id);
  }
  const ui::TreeItem selected = tree_.Selected();
  const bool anyChosen = static_cast<bool>(selected);
  const int chosen = anyChosen ? static_cast<int>(tree_.ItemData(selected)) : TNodeInfo::kNoNode;
  tree_.DeleteAllItems();
  nodeList_.clear();
  nodes_ = std::move(nodes);
  ids_ = ids;
  titleItem_ = tree_.InsertItem(ui::TreeItem{}, TreeTitle(), kUnitImage, -1, kUnitImage + 1);
  AddTreeNodes(nodes_, titleItem_);
  tree_.Expand(titleItem_, titleOpen);
  for (const int id : opened) {
    if (const TNodeInfo* node = FindNodeInfo(id)) tree_.Expand(node->item);
  }
  if (anyChosen) {
    const TNodeInfo* node = FindNodeInfo(chosen);
    tree_.Select(node != nullptr ? node->item : titleItem_);
  }
  // The summary, the one window a tree of a silent unit opens, keeps its node.
  for (std::size_t slot = 0; slot < children_.size() && slot < nodeList_.size(); ++slot) {
    if (children_[slot] != nullptr && children_[slot]->IsCreated()) {
      nodeList_[slot]->window = children_[slot].get();
    }
  }
}

void TEditOVWindow::ReadUnit(familycommon::ProgressReport* progress) {
  device_->InvalidateValues();
  device_->ReadDeviceParameters(progress);
  // A unit silent when its window opened has not said yet whether it has a clock.
  if (device_->UpdateClockPresence()) device_->ReadClockEvents(progress);
}

// What the unit holds is shown everywhere, the device lists among the windows: a name in doubt
// may have been taken.
void TEditOVWindow::ReadUnitAgain() {
  ReadUnit(nullptr);
  ReadTree();
  TellDeviceLists(*device_);
  // The views read the unit once; a unit silent again is told of once.
  controls::OneReportScope refresh;
  NotifyRecord record{RefreshAll, 0, 0, nullptr};
  Notify(&record);
}

void TEditOVWindow::ShowUnitName(const std::string& name) {
  SetText(name);
  for (const auto& child : children_) {
    if (auto* window = dynamic_cast<TOVWindow*>(child.get())) window->ShowUnitName(name);
  }
}

void TEditOVWindow::AddTreeNodes(std::vector<TNodeInfo>& nodes, ui::TreeItem parent) {
  for (TNodeInfo& node : nodes) {
    node.item = tree_.InsertItem(parent, node.text, node.image, node.id, node.image + 1);
    nodeList_.push_back(&node);
    AddTreeNodes(node.children, node.item);
  }
}

const TNodeInfo* TEditOVWindow::FindNodeInfo(int id) const {
  if (id < 0 || id >= static_cast<int>(nodeList_.size())) return nullptr;
  return nodeList_[static_cast<std::size_t>(id)];
}

ui::Window* TEditOVWindow::ChildWindow(int id) const {
  if (id < 0 || id >= kChildSlots) return nullptr;
  return children_[static_cast<std::size_t>(id)].get();
}

controls::LockState TEditOVWindow::UnitLock() {
  return gLockedObject.Read(*device_) ? controls::LockState::kLocked : controls::LockState::kFree;
}

controls::LockState TEditOVWindow::ReadUnitLock() {
  try {
    return UnitLock();
  } catch (const IQException& e) {
    ReportCommError(e, *device_);
  }
  return controls::LockState::kNotRead;
}

bool TEditOVWindow::PreProcessKey(const ui::KeyStroke& key) {
  if (tree_.OpensItem(key)) {
    RunSelectedNode();
    return true;
  }
  return ui::Frame::PreProcessKey(key);
}

void TEditOVWindow::RunSelectedNode() {
  // The lock read and the node's window or command are one user action: one failure, one report.
  controls::OneReportScope action;
  const controls::LockState lock =
      controls::ReadLock([this](const auto& read) { return GuardedUnitCall(*device_, read); },
                         [this] { return gLockedObject.Read(*device_); });
  const ui::TreeItem item = tree_.Selected();
  if (!item) return;
  const TNodeInfo* node = FindNodeInfo(static_cast<int>(tree_.ItemData(item)));
  if (node == nullptr) return;
  if (lock == controls::LockState::kLocked && node->lockable) {
    ui::Beep();
    return;
  }
  // A window opens all the same and shows what it cannot read; a command ends at the report.
  if (lock == controls::LockState::kNotRead && node->command != &TEditOVWindow::OpenChildWindow) {
    return;
  }
  if (node->command == nullptr) return;
  const NodeCommand command = node->command;
  const int id = node->id;
  GuardedUnitCall(*device_, [this, command, id] { (this->*command)(id); });
}

void TEditOVWindow::TellNotOpened() {
  const std::string text = treeOwed_.Owed()
                               ? "Not all of the unit could be read when its window opened.\n"
                                 "Its windows open once the unit answers."
                               : "The unit has no such window.";
  ui::MessageBox(this, text, Text(), ui::mb::kOk | ui::mb::kIconInformation);
}

void TEditOVWindow::OpenChildWindow(int id) {
  if (id < 0 || id >= kChildSlots) return TellNotOpened();
  const auto slot = static_cast<std::size_t>(id);
  if (children_[slot] != nullptr && children_[slot]->IsCreated()) {
    children_[slot]->BringToTop();
    return;
  }
  TNodeInfo* node = id < static_cast<int>(nodeList_.size()) ? nodeList_[slot] : nullptr;
  const ChildKind kind = KindOfNode(ids_, device_->channels, id);
  if (node == nullptr || kind == ChildKind::None) return TellNotOpened();
  const int channel =
      kind == ChildKind::Filters
          ? device_->ChannelIndexes().at(static_cast<std::size_t>(id - ids_.firstChannel))
          : 0;
  // The window reads the unit as it is made (its title) and each of its panes as they are
  // created: a silent unit is told of once, not per read.
  controls::OneReportScope opening;
  std::unique_ptr<ui::Window> window = MakeChildWindow(kind, *this, channel);
  if (window == nullptr) return TellNotOpened();
  if (auto* child = dynamic_cast<TOVWindow*>(window.get())) child->kind = id;
  node->window = window.get();
  children_[slot] = std::move(window);
  children_[slot]->Create();
  if (node->remembersRect && !rememberedRects_[slot].IsEmpty()) {
    children_[slot]->SetRect(rememberedRects_[slot]);
  }
  children_[slot]->Show();
}

void TEditOVWindow::ChildClosed(int id) {
  if (id < 0 || id >= kChildSlots) return;
  const auto slot = static_cast<std::size_t>(id);
  if (children_[slot] != nullptr) {
    rememberedRects_[slot] = children_[slot]->PlacementRect();
    // The window is still running its close; it is deleted once that has returned.
    retired_.push_back(std::move(children_[slot]));
    Post(kFreeRetiredMessage);
  }
  if (slot < nodeList_.size()) nodeList_[slot]->window = nullptr;
}

void TEditOVWindow::CloseChild(int id) {
  ui::Window* window = ChildWindow(id);
  if (window == nullptr) return;
  ChildClosed(id);
  window->Destroy();
}

void TEditOVWindow::ShowLock(controls::LockState lock) {
  // A lock not known closes nothing and opens nothing: it is read once the unit answers.
  if (lock == controls::LockState::kNotRead) lockOwed_.Owe();
  for (TNodeInfo* node : nodeList_) {
    if (lock == controls::LockState::kFree) {
      tree_.SetItemImages(node->item, node->image, node->image + 1);
    } else if (node->lockable && lock == controls::LockState::kLocked) {
      tree_.SetItemImages(node->item, kLockImage, kLockImage);
      CloseChild(node->id);
    } else if (node->lockable) {
      tree_.SetItemImages(node->item, kLockUnknownImage, kLockUnknownImage);
    }
  }
}

void TEditOVWindow::FollowLock(controls::LockState lock) {
  ShowLock(lock);
  // The device lists name a locked unit by its lock rather than its name.
  TellDeviceLists(*device_);
  if (lock != controls::LockState::kFree) return;
  GuardedUnitCall(*device_, [this] {
    ProgressWindow progress;
    ReadUnit(&progress);
  });
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  Notify(&refresh);
}

void TEditOVWindow::UpdateCaption() {
  GuardedUnitCall(*device_, [this] { ShowUnitName(device_->GetDisplayName()); });
}

std::string TEditOVWindow::ChannelName(int channel) {
  gChannelNameObject.SetElement(std::min(channel, gChannelNameObject.GetCount() - 1));
  return gChannelNameObject.Read(*device_).substr(0, TNodeInfo::kMaxTextChars);
}

int TEditOVWindow::ChannelNodeId(int channel) const {
  const std::vector<int> channels = device_->ChannelIndexes();
  const auto it = std::ranges::find(channels, channel);
  if (it == channels.end() || ids_.firstChannel < 0) return NodeIds::kAbsent;
  return ids_.firstChannel + static_cast<int>(it - channels.begin());
}

TNodeInfo* TEditOVWindow::ChannelNode(int channel) const {
  const int id = ChannelNodeId(channel);
  return id >= 0 && static_cast<std::size_t>(id) < nodeList_.size()
             ? nodeList_[static_cast<std::size_t>(id)]
             : nullptr;
}

void TEditOVWindow::RenameChannelItem(int channel) {
  TNodeInfo* node = ChannelNode(channel);
  if (node == nullptr) return;
  node->text = ChannelName(channel);
  tree_.SetItemText(node->item, node->text);
}

void TEditOVWindow::RefreshChannelItems() {
  // One name that cannot be read leaves the others to be read.
  for (const int channel : device_->ChannelIndexes()) {
    GuardedUnitCall(*device_, [this, channel] { RenameChannelItem(channel); });
  }
}

void TEditOVWindow::PropagateAddedFilter(NotifyRecord& record) {
  auto* filter = static_cast<TFilter*>(record.pointer);
  const int channel = record.channel;
  // The model's own channels: its outputs need not follow its inputs.
  const std::vector<int> channels = device_->ChannelIndexes();
  const auto linked = [&](int c) {
    return c >= 0 && c < kMaxChannels && device_->linkedChannels[static_cast<std::size_t>(c)];
  };
  if (filter == nullptr || filter->crossover || !linked(channel) ||
      std::find(channels.begin(), channels.end(), channel) == channels.end()) {
    return;
  }
  // The device links each clone once the unit holds its link number: a stop part way leaves the
  // chain as the unit has it.
  bool cloned = false;
  for (const int k : channels) {
    if (k == channel || !linked(k)) continue;
    TFilter* clone = filter->CloneToChannel(*device_, k);
    gFilterLinkGroupObject.Write(*device_, static_cast<uint8_t>(filter->number + 1));
    clone->linkNumber = filter->number + 1;
    device_->LinkFilters();
    clone->SendUpdateCommand(*device_);
    std::vector<TFilter*> added{clone};
    NotifyRecord cloneRecord{FilterAdded, k, kCloneFlag, &added};
    PassOn(&cloneRecord);
    cloned = true;
  }
  if (cloned) filter->WriteToDevice(*device_);
}

std::vector<TFilter*> TEditOVWindow::ChangedFilters(const NotifyRecord& record) {
  std::vector<TFilter*> sources;
  if (record.code == FilterChanged && record.flag == 1) {
    if (record.pointer != nullptr) sources = *static_cast<std::vector<TFilter*>*>(record.pointer);
  } else {
    sources.push_back(static_cast<TFilter*>(record.pointer));
  }
  std::erase(sources, nullptr);
  return sources;
}

void TEditOVWindow::CopyAlongChain(NotifyRecord& record) {
  // Links come from the unit and from files: a chain that loops ends after every filter once.
  const std::size_t maxSteps = device_->Filters().size() + 1;
  for (TFilter* source : ChangedFilters(record)) {
    bool selectionMoved = false;
    TFilter* member = source->linkHead != nullptr ? source->linkHead : source->nextInChain;
    for (std::size_t step = 0; member != nullptr && step < maxSteps;
         member = member->nextInChain, ++step) {
      if (member == source) continue;
      // A member given the source's bypass is selected on the unit to take it.
      selectionMoved = selectionMoved || member->bypass != source->bypass;
      member->CopyOnDevice(*device_, *source);
      if (record.code == FilterChanged) member->SendUpdateCommand(*device_);
      NotifyRecord copied{record.code, member->channel, 0, member};
      PassOn(&copied);
    }
    // A drag's next live write goes to the filter the unit has selected: the source, again.
    if (selectionMoved) gFilterSelectObject.Write(*device_, static_cast<uint8_t>(source->number));
  }
}

void TEditOVWindow::Notify(NotifyRecord* record) {
  if (record == nullptr) return;
  // One change, one report: its copies along a chain, the read of what the unit then holds, the
  // DSP recount and every window's update may all fail on the same silent unit.
  controls::OneReportScope change;
  const uint32_t code = record->code;
  if (code == FilterAdded && record->flag != kCloneFlag) {
    if (!GuardedUnitCall(*device_, [&] { PropagateAddedFilter(*record); })) {
      // Every view reads the unit again, and the record names a filter that went with the old
      // objects: it goes no further.
      GuardedUnitCall(*device_, [this] { device_->ResyncFilterViews(); });
      GuardedUnitCall(*device_, [this] { device_->RecountDspUse(); });
      return;
    }
    GuardedUnitCall(*device_, [this] { device_->RecountDspUse(); });
  }
  if (code == FilterChanged || code == FilterDragged) {
    if (!GuardedUnitCall(*device_, [&] { CopyAlongChain(*record); })) {
      // A refused copy may have reached its member all the same, and the later members were
      // never written: the chains are read again, in place, so the record still names them.
      std::vector<TFilter*> reached;
      for (TFilter* source : ChangedFilters(*record)) {
        for (TFilter* member : source->ChainMembers()) reached.push_back(member);
      }
      GuardedUnitCall(*device_, [&] { device_->ResyncFilterViews(reached); });
    }
    if (code == FilterChanged) GuardedUnitCall(*device_, [this] { device_->RecountDspUse(); });
  }
  if (code == ChannelRenamed) {
    // A name that could not be read is not announced.
    if (!GuardedUnitCall(*device_, [&] { RenameChannelItem(record->channel); })) return;
  }
  if (code == RefreshAll) {
    RefreshChannelItems();
    UpdateCaption();
    // A name has a record of its own: the windows that show one read it again on that record, so
    // a rename the unit took while its answer was lost reaches every one of them.
    for (const int channel : device_->ChannelIndexes()) {
      NotifyRecord renamed{ChannelRenamed, channel, 0, nullptr};
      PassOn(&renamed);
    }
  }
  if (code == LockChanged) FollowLock(ReadUnitLock());
  if (code == UnitRenamed) UpdateCaption();
  if (code == LimiterEnableChanged || code == PinkNoiseChanged) {
    GuardedUnitCall(*device_, [this] { device_->RecountDspUse(); });
  }
  PassOn(record);
}

void TEditOVWindow::PassOn(NotifyRecord* record) {
  // A window may close another while the record travels: each is asked for in its slot again.
  for (std::size_t slot = 0; slot < children_.size(); ++slot) {
    ui::Window* window = children_[slot].get();
    if (window == nullptr || !window->IsCreated()) continue;
    if (auto* data = dynamic_cast<TDataWindow*>(window)) data->Notify(record);
  }
}

bool TEditOVWindow::IdleAction(long idleCount) {
  const bool more = ui::Frame::IdleAction(idleCount);
  if (!IsCreated()) return more;
  if (device_->IsOnline() && device_->InDoubt()) {
    const controls::PollOutcome outcome = controls::SettleDoubt(*device_);
    return outcome == controls::PollOutcome::kResting ? more : true;
  }
  if (device_->IsOnline() && treeOwed_.Owed()) {
    return treeOwed_.Settle(*device_) == controls::PollOutcome::kResting ? more : true;
  }
  if (device_->IsOnline() && lockOwed_.Owed()) {
    return lockOwed_.Settle(*device_) == controls::PollOutcome::kResting ? more : true;
  }
  if (device_->IsOnline() && summaryOwed_.Owed()) {
    return summaryOwed_.Settle(*device_) == controls::PollOutcome::kResting ? more : true;
  }
  // The settings flag takes one pass per round of the live values, as it would if every meter
  // were read in the same idle cycle; one transaction a pass keeps input served between them.
  if (!(newSettings_ != nullptr && settingsTurn_) && poller_.PollNext()) {
    settingsTurn_ = poller_.RoundComplete();
    return true;
  }
  settingsTurn_ = false;
  if (newSettings_ == nullptr) return more;
  switch (newSettings_->Check()) {
    case NewSettingsCheck::Outcome::kSkipped:
      return more;
    case NewSettingsCheck::Outcome::kReloaded: {
      NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
      Notify(&refresh);
      return true;
    }
    default:
      return true;
  }
}

void TEditOVWindow::CloseWindow(int result) {
  if (!IsCreated() || !CanClose()) return;
  device_->Close();
  if (owner_ != nullptr) {
    owner_->Post(kDeviceWindowClosed, 0, reinterpret_cast<ui::Param>(device_));
  }
  for (auto& child : children_) {
    if (child != nullptr) child->Destroy();
  }
  ui::Frame::CloseWindow(result);
}

}  // namespace namespaceOV
