#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "controls/IdlePoll.h"
#include "controls/TDataWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"

class ByteUCodeObject;

namespace namespaceOV {

class IQDeviceOrdavinex;

// Which groups a group assignment window assigns: level groups of the inputs or of the outputs,
// or the outputs' limiter groups. Input level groups take the values 8 and up of the shared
// group numbering (7 is the two-input gang); the others 1 and up.
enum class GroupKind { kInputLevel, kOutputLevel, kLimiter };

// The list entry of a stored group value, or none when the value is beyond the list.
int GroupEntryOf(GroupKind kind, int storedValue, int groups);
// The value stored for list entry `entry` (0 is "<None>").
int GroupValueOf(GroupKind kind, int entry);

// One channel's row: its name and the group it is assigned to; a choice is written at once, and
// `taken` tells the windows beneath once the unit has it. A choice that leaves the row unknown
// calls `unknown`.
class TGroupDialog : public ui::Dialog, public TDataWindow {
 public:
  TGroupDialog(ui::Window* parent, IQDeviceOrdavinex& device, GroupKind kind, int channel,
               std::function<void()> taken, std::function<void()> unknown);

  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  ui::ComboBox& List() { return list_; }
  // The channel's name and group: unknown, or as the unit holds them, reading it; a bus failure
  // passes to the caller.
  void ShowUnknown();
  void ReadRow();

 protected:
  void SetupWindow() override;

 private:
  ByteUCodeObject& Object() const;
  int GroupCount() const;
  void ShowGroup();
  void ReadGroup();
  void SelectionChanged();

  IQDeviceOrdavinex& device_;
  GroupKind kind_;
  int channel_;
  std::function<void()> taken_;
  std::function<void()> unknown_;
  ui::ComboBox list_;
  ui::StaticText name_;
};

// Sizes a modal window of rows to show all of them and puts it at the work area's corner.
void FitRowsAtWorkAreaCorner(ui::Dialog& window, TGroupWindow& rows);

// The modal window that assigns the channels of one side to groups, one row per channel; `tell`
// tells the panes of the window that runs it of each choice the unit takes. Rows a silent unit
// did not fill, or a choice left unknown, are read again once it answers: the unit's own read
// again waits for the window to close, and rows left unknown meanwhile show no group.
class TGroupAssignmentWindow : public ui::Dialog, public TDataWindow {
 public:
  TGroupAssignmentWindow(ui::Window* parent, IQDeviceOrdavinex& device, GroupKind kind,
                         const std::function<void()>& tell);
  ~TGroupAssignmentWindow() override;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  TGroupDialog& Row(int index) { return *rows_.at(static_cast<std::size_t>(index)); }
  bool IdleAction(long idleCount) override;

 protected:
  void SetupWindow() override;

 private:
  void ReadRows();

  IQDeviceOrdavinex& device_;
  controls::OwedRead rowsOwed_{[this] { ReadRows(); }};
  TGroupWindow group_;
  std::vector<std::unique_ptr<TGroupDialog>> rows_;
};

// Runs the group assignment window on the unit; `tell` tells the window's panes of each choice the
// unit takes. Opening it with its rows' reads is one action, so a unit that answers nothing is told
// of once; each choice is an action of its own, told however many failed before it.
void AssignGroups(ui::Window* parent, IQDeviceOrdavinex& device, GroupKind kind,
                  const std::function<void()>& tell);

}  // namespace namespaceOV
