#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "controls/IdlePoll.h"
#include "family3300/LevelDialogs3300.h"
#include "family3300/TDSPIDialog.h"
#include "family3300/TGraphicEQ.h"
#include "family3300/TMemoryDialog.h"
#include "family3300/TSecurityDialog.h"
#include "platform/ui/Frame.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TreeItemDrag.h"
#include "platform/ui/TreeView.h"

namespace namespace3300 {

class IQDevice3300;

// What a tree item of the edit window stands for (its item data).
enum ItemCode3300 : int {
  kItemMemory = 1,
  kItemSecurity = 2,
  kItemEqA = 3,
  kItemDspi = 4,
  kItemLpfA = 5,
  kItemHpfA = 6,
  kItemGainA = 7,
  kItemName = 8,
  kItemEqInA = 9,
  kItemMuteA = 10,
  kItemEqInB = 11,
  kItemMuteB = 12,
  kItemEqB = 13,
  kItemLpfB = 14,
  kItemHpfB = 15,
  kItemGainB = 16,
  kItemVersion = 17,
};

// The window of one graphic-equaliser unit: a tree of its functions. A double click (or the space
// bar) opens a function's dialog, flips a switch, renames the unit or shows its firmware; dragging
// a channel's item onto the other channel's twin copies that setting across. It owns every dialog
// it opens, follows the unit's lock (a locked unit's functions show the lock, beep and have their
// dialogs closed) and tells the main window of a new name or lock (201) and of its closing (301).
// The switches it could not read show as unknown, and they and the name in its caption are read
// again at the first idle pass that finds the unit answering; so is the whole unit, in this window
// and every dialog it has open, after a write whose answer never came. A locked unit's switches
// show no state.
class TEdit3300Window : public ui::Frame {
 public:
  static constexpr ui::MessageId kObjectChangedMessage = 101;
  static constexpr ui::MessageId kRefreshAllMessage = 102;
  static constexpr ui::MessageId kDeviceChangedMessage = 201;
  static constexpr ui::MessageId kDeviceWindowClosed = 301;

  TEdit3300Window(IQDevice3300& device, ui::Window* client);

  // The items of the tree of a unit of that kind, in order: what the unit offers the user.
  static std::vector<int> ItemCodes(bool twoChannel, bool online);
  ~TEdit3300Window() override;

  void CloseWindow(int result = ui::kIdCancel) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IdleAction(long idleCount) override;

  // The action of a double click on the item with `code`.
  void RunItem(int code);
  void CopyChannel(int from, int to);
  void UpdateTitle();
  // Refreshes the items with `code`, or all of them when `code` is negative.
  void UpdateTree(int code);
  ui::TreeView& Tree() { return tree_; }
  // The tree item with `code`, or none.
  ui::TreeItem Item(int code) const;

  // The child dialogs; the channel-B ones exist only for two-channel units.
  TGraphicEQ* Equaliser(int channel) const { return equalisers_[Index(channel)].get(); }
  TLevelDialog* Lpf(int channel) const { return lpf_[Index(channel)].get(); }
  TLevelDialog* Hpf(int channel) const { return hpf_[Index(channel)].get(); }
  TLevelDialog* Gain(int channel) const { return gain_[Index(channel)].get(); }
  TMemoryDialog* Memory() const { return memory_.get(); }
  TSecurityDialog* Security() const { return security_.get(); }
  TDSPIDialog* Dspi() const { return dspi_.get(); }

 protected:
  void SetupWindow() override;

 private:
  static std::size_t Index(int channel) { return static_cast<std::size_t>(channel); }
  void BuildTree();
  std::string BusTitle(const std::string& name) const;
  // Reads the items with `code` (all when negative) and shows them; a bus failure is thrown.
  // A switch not read shows unknown.
  void ShowTreeFromUnit(int code);
  void ShowItemFromUnit(ui::TreeItem item, int code, bool locked);
  // Both read and shown; a bus failure is thrown.
  void ReadNameAndTree();
  // Reads the unit again and shows it in this window and every dialog it has open (a locked unit
  // closes its editing dialogs); a bus failure is thrown.
  void ShowUnit();
  // What ShowUnit shows, unknown.
  void ShowUnitUnknown();
  void ShowLevel(TLevelDialog& dialog, const ByteUCodeObject& parameter);
  // Tells the main window that the unit's name or lock may have changed.
  void TellClient();
  void MakeDialogs();
  void Open(ui::Window* dialog);
  // The action of the keys that open the selected item.
  void RunSelectedItem();
  void ToggleSwitch(const BoolUCodeObject& object, int code);
  // The switch item `code` shows no state: the unit has not given it.
  void ShowSwitchUnknown(int code);
  void Rename();
  void ShowFirmwareVersion();
  void ObjectChanged(int id);
  void RefreshAll();
  void CloseEditingDialogs();
  // The unit's lock: a virtual unit is never locked.
  bool TreeLock();
  template <typename Dialog>
  void ReRead(const std::unique_ptr<Dialog>& dialog) {
    if (dialog && dialog->IsCreated()) dialog->ReadValue();
  }

  IQDevice3300& device_;
  ui::Window* client_;
  ui::ImageList images_;
  ui::TreeView tree_;
  ui::TreeItem root_;
  std::unique_ptr<TDSPIDialog> dspi_;
  std::array<std::unique_ptr<TGraphicEQ>, kChannelCount> equalisers_;
  std::unique_ptr<TMemoryDialog> memory_;
  std::array<std::unique_ptr<TLevelDialog>, kChannelCount> lpf_;
  std::array<std::unique_ptr<TLevelDialog>, kChannelCount> hpf_;
  std::array<std::unique_ptr<TLevelDialog>, kChannelCount> gain_;
  std::unique_ptr<TSecurityDialog> security_;
  ui::TreeItemDrag drag_;
  // What a silent unit did not give: this window's name and switches, and what its open dialogs
  // show.
  controls::OwedRead unitOwed_{[this] { ShowUnit(); }};
  // A write whose answer never came may have changed anything the windows show, the name and
  // lock in the main list included.
  controls::UnitReadAgain readAgain_;
};

}  // namespace namespace3300
