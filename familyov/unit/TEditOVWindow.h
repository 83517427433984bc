#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/CommandStart.h"
#include "controls/CopyInDoubt.h"
#include "controls/IdlePoll.h"
#include "controls/TDataWindow.h"
#include "familycommon/FilterLifetime.h"
#include "familycommon/ProgressReport.h"
#include "familyov/unit/NodeIds.h"
#include "familyov/unit/TNodeInfo.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Frame.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TreeView.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class NewSettingsCheck;
class TFilter;

// The window in which one unit of the family is edited: a frame with a menu, a status bar and
// the function tree. A double click on a node opens the node's window (at most one per node,
// through ChildWindowFactory) or runs its command. It is the root of the unit's notifications:
// every window of the unit sends its records here; the edit window acts on some and hands every
// record to every open window. It follows the unit's lock: lockable nodes of a locked unit show
// the lock, their windows close and a double click only beeps; a lock the unit did not give after
// it changed shows on them as neither locked nor free until the unit answers. Closing releases
// the unit and tells the owner (message 301 with the device). A unit silent when the window opens
// gives a tree of its summary alone; the first idle pass that finds it answering makes the tree
// whole and names the unit in the captions.
class TEditOVWindow : public ui::Frame, public TDataWindow {
 public:
  static constexpr int kChildSlots = 40;
  static constexpr ui::MessageId kDeviceWindowClosed = 301;
  // Images of the tree's image list.
  static constexpr int kChannelImage = 0;
  static constexpr int kLockImage = 6;
  static constexpr int kUnitImage = 7;
  // No image at all: a lock the unit did not give is neither the lock nor the node's own.
  static constexpr int kLockUnknownImage = -1;

  TEditOVWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TEditOVWindow() override;

  void Notify(NotifyRecord* record) override;
  // Brings the node's open window to the top, or creates the window the node opens.
  virtual void OpenChildWindow(int id);
  // A child window going away by the user's close: its rectangle is remembered, its slot freed.
  void ChildClosed(int id);
  void UpdateCaption();
  // Releases the unit, tells the owner and closes the window with its children.
  void CloseWindow(int result = ui::kIdCancel) override;
  // One transaction per call for a bus unit: the open windows' live values and, on a unit that
  // may load new settings by itself, its new-settings flag take turns.
  bool IdleAction(long idleCount) override;
  // Enter on a node of the tree opens it, as a double click does.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Where the unit's windows register what they show live.
  UnitPoller& Poller() { return poller_; }

  IQDeviceOrdavinex& Device() const { return *device_; }
  ui::TreeView& Tree() { return tree_; }
  const NodeIds& Ids() const { return ids_; }
  // The tree node of a channel's filters, or NodeIds::kAbsent: the nodes follow the model's
  // channel list, whose outputs need not follow its inputs.
  int ChannelNodeId(int channel) const;
  // Every node in pre-order; a node's position is its id.
  const std::vector<TNodeInfo*>& NodeList() const { return nodeList_; }
  const TNodeInfo* FindNodeInfo(int id) const;
  ui::Window* ChildWindow(int id) const;
  ui::TreeItem TitleItem() const { return titleItem_; }
  // Runs the command of the selected node, as a double click does.
  void RunSelectedNode();

  // The unit commands of the tree and the menu, with the node id that ran them (-1 from the menu).
  void CmRenameUnit(int nodeId);
  void CmStrobeLEDs(int nodeId);
  void NodeFactoryInit(int nodeId);
  void CmChangeAddress(int nodeId);
  void CmFirmwareVersion(int nodeId);
  void CmSerialNumber(int nodeId);
  void NodeReflash(int nodeId);

 protected:
  void SetupWindow() override;
  // The text of the tree's top item.
  virtual std::string TreeTitle() const = 0;
  // Fills `nodes` with the top-level nodes and `ids` with their ids; a bus failure is thrown.
  virtual void BuildTree(std::vector<TNodeInfo>& nodes, NodeIds& ids) = 0;
  // The unit's lock as it says it; a bus failure is thrown.
  controls::LockState UnitLock();
  // The same, but kNotRead for a failed read, which is reported.
  controls::LockState ReadUnitLock();
  // The procedure both models' builders share; `readCompressorOption` is null where the model has
  // no compressors, else it reads whether this unit has them.
  void BuildModelTree(std::vector<TNodeInfo>& nodes, NodeIds& ids,
                      const std::function<bool()>& readCompressorOption, bool advancedMixer);

 private:
  void SetupCommands();
  // Reads all the tree and the captions show and then shows it; a bus failure is thrown before
  // anything changes.
  void ReadTree();
  void ShowTree(std::vector<TNodeInfo> nodes, const NodeIds& ids);
  static void AddSummaryNode(std::vector<TNodeInfo>& nodes, NodeIds& ids, int& next);
  void ShowLock(controls::LockState lock);
  // The tree and the device lists show the lock, and after an unlock every window reads the unit
  // again.
  void FollowLock(controls::LockState lock);
  // The summary, when the user has it open with the unit and the unit is not locked; a bus failure
  // is thrown.
  void OpenSummaryIfFree();
  // Says why a node's window does not open.
  void TellNotOpened();
  void AddTreeNodes(std::vector<TNodeInfo>& nodes, ui::TreeItem parent);
  // Reads every filter, crossover and clock event of the unit again; a bus failure is thrown.
  void ReadUnit(familycommon::ProgressReport* progress);
  // What a write whose answer never came, or a command stopped part way, may have changed: the
  // unit read again whole, its tree, lock and name with it; a bus failure is thrown. The caller
  // then tells every open window.
  void ReadUnitAgain();
  // In this window's caption and in every child window's.
  void ShowUnitName(const std::string& name);
  std::string ChannelName(int channel);
  void AddFunctionNodes(std::vector<TNodeInfo>& nodes, NodeIds& ids, int& next, bool compressors,
                        bool advancedMixer);
  TNodeInfo* ChannelNode(int channel) const;
  void RenameChannelItem(int channel);
  void RefreshChannelItems();
  void PropagateAddedFilter(NotifyRecord& record);
  void CopyAlongChain(NotifyRecord& record);
  // The filters a change record names.
  static std::vector<TFilter*> ChangedFilters(const NotifyRecord& record);
  void PassOn(NotifyRecord* record);
  void CloseChild(int id);
  void FreeRetired();

  NodeIds ids_;
  IQDeviceOrdavinex* device_;
  ui::Window* owner_;
  ui::ImageList images_;
  ui::TreeView tree_;
  ui::TreeItem titleItem_;
  std::vector<TNodeInfo> nodes_;
  std::vector<TNodeInfo*> nodeList_;
  // Before the children, which unregister from it when they go.
  UnitPoller poller_;
  std::array<std::unique_ptr<ui::Window>, kChildSlots> children_;
  std::array<ui::Rect, kChildSlots> rememberedRects_{};
  // Windows closed by the user, deleted once their close has returned.
  std::vector<std::unique_ptr<ui::Window>> retired_;
  // Only for a bus unit that recalls memories by itself.
  std::unique_ptr<NewSettingsCheck> newSettings_;
  bool settingsTurn_ = false;
  // The tree and captions a silent unit did not give.
  controls::OwedRead treeOwed_{[this] { ReadTree(); }};
  // The lock a silent unit did not give after it changed.
  controls::OwedRead lockOwed_{[this] { FollowLock(UnitLock()); }};
  // The summary an opening cut short did not open.
  controls::OwedRead summaryOwed_{[this] { OpenSummaryIfFree(); }};
  controls::UnitReadAgain readAgain_;
  // Last: it stops listening before the children go.
  familycommon::FilterSetNotice::Subscription filterSet_;
};

}  // namespace namespaceOV
