#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "controls/IdlePoll.h"
#include "controls/RenamedCaptions.h"
#include "platform/ui/Frame.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TreeView.h"

namespace namespace8100 {

class IQDevice8100;
class TMemoryDialog;
class TSecurityDialog;
class TSigFlowDialog;

// The window in which one unit of the family is edited: a tree of the unit's pages and actions. A
// double click opens the page or runs the action; a locked unit refuses all but "Security",
// "Serial Number" and "Firmware Version" with a beep. It owns the signal-flow, memory and
// security pages, follows the unit's name and lock in its caption and tree, and tells the client
// (messages 201 and 301 with the device) when they change and when it closes. A name or lock it
// could not read is read again at the first idle pass that finds the unit answering; so is the
// whole unit, with every open window of it, after a write whose answer never came.
class TEdit8100Window : public ui::Frame {
 public:
  // Node ids, the tree items' data.
  enum Node {
    kStrobeLeds = 1,
    kSetAddress = 2,
    kFactoryInitialize = 3,
    kReflash = 4,
    kSignalFlow = 5,
    kName = 6,
    kSpecial = 7,
    kMemory = 8,
    kSecurity = 9,
    kSerialNumber = 10,
    kFirmwareVersion = 11,
  };
  static constexpr ui::MessageId kObjectChanged = 101;
  static constexpr ui::MessageId kRefreshAll = 102;
  static constexpr ui::MessageId kDeviceChanged = 201;
  static constexpr ui::MessageId kWindowClosed = 301;

  TEdit8100Window(ui::Window* client, IQDevice8100& device);
  ~TEdit8100Window() override;

  void CloseWindow(int result = ui::kIdCancel) override;
  // Enter on the tree opens the selected node, as a double click does.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IdleAction(long idleCount) override;
  // Runs the action of the selected node, as a double click does.
  void RunSelectedNode();
  void UpdateTitle();
  // Refreshes the lock images of the nodes with `id`, of all when `id` is negative.
  void UpdateTree(int id);

  ui::TreeView& Tree() { return tree_; }
  TSigFlowDialog& SignalFlow() { return *sigFlow_; }
  TMemoryDialog& Memory() { return *memory_; }
  TSecurityDialog& Security() { return *security_; }

 protected:
  void SetupWindow() override;

 private:
  void AddNodes();
  // The caption of a bus unit with its name.
  std::string BusTitle(const std::string& name) const;
  void ShowLock(int id, bool locked);
  // Both read and shown; a bus failure is thrown.
  void ReadNameAndLock();
  // Everything the unit's windows show read again, then shown in each open one; a bus failure is
  // thrown before the pages show anything.
  void ReadAgainAndShow();
  // The new name in the captions of the unit's own windows, and no other unit's.
  void ShowRename(const CaptionName& renamed);
  // False when the user cancelled the action.
  bool RunNode(int id);
  void OpenPage(ui::Window& page);
  // The pages a locked unit refuses; the security page stays.
  void CloseEditingPages();
  void CloseAllPages();
  // Both answer false when the user cancelled.
  bool SetAddress();
  bool Rename();
  // Tells the user when the unit does not answer at `address`; false then.
  bool AnswersAt(uint8_t address, uint8_t oldAddress);
  void ShowSerialNumber();
  void ShowFirmwareVersion();
  // False when the unit did not come back from its reboot.
  bool FactoryInitialize();
  void ReadUnit();
  void ObjectChanged(int id);
  void TellClient(ui::MessageId message);
  // A virtual unit is never locked; a bus unit's failed read passes to the caller.
  bool IsLocked();

  IQDevice8100* device_;
  ui::Window* client_;
  ui::ImageList images_;
  ui::TreeView tree_;
  ui::TreeItem top_;
  std::unique_ptr<TSigFlowDialog> sigFlow_;
  std::unique_ptr<TMemoryDialog> memory_;
  std::unique_ptr<TSecurityDialog> security_;
  // The name and lock a silent unit did not give.
  controls::OwedRead unitOwed_{[this] { ReadNameAndLock(); }};
  // The unit's text in the captions before a rename whose answer never came; empty when none.
  std::string renamedFrom_;
  controls::UnitReadAgain readAgain_;
};

}  // namespace namespace8100
