#include "familyov/channels/GroupAssignment.h"

#include <string>
#include <utility>

#include "controls/DeviceErrorReport.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TMemoryWindow.h"
#include "resources/FamilyOvChannelIds.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;

constexpr int kInputGroupOffset = 7;
constexpr const char* kNoGroup = "<None>";

}  // namespace

int GroupEntryOf(GroupKind kind, int storedValue, int groups) {
  int entry = storedValue;
  if (kind == GroupKind::kInputLevel && storedValue != 0) entry = storedValue - kInputGroupOffset;
  return entry >= 0 && entry <= groups ? entry : -1;
}

int GroupValueOf(GroupKind kind, int entry) {
  if (kind == GroupKind::kInputLevel && entry != 0) return entry + kInputGroupOffset;
  return entry;
}

TGroupDialog::TGroupDialog(ui::Window* parent, IQDeviceOrdavinex& device, GroupKind kind,
                           int channel, std::function<void()> taken, std::function<void()> unknown)
    : ui::Dialog(parent, kGroupDialog),
      TDataWindow(parent),
      device_(device),
      kind_(kind),
      channel_(channel),
      taken_(std::move(taken)),
      unknown_(std::move(unknown)),
      list_(this, kGroupList),
      name_(this, kChannelName) {
  OnNotify(kGroupList, ui::Notify::SelChange, [this](const ui::Notification&) {
    SelectionChanged();
    return ui::Param{0};
  });
}

ByteUCodeObject& TGroupDialog::Object() const {
  return kind_ == GroupKind::kLimiter ? gLimiterGroupObject : gChannelGroupObject;
}

int TGroupDialog::GroupCount() const {
  const int channels = kind_ == GroupKind::kInputLevel ? device_.inputs : device_.outputs;
  return (channels + 1) / 2;
}

void TGroupDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  list_.AddString(kNoGroup);
  for (int group = 1; group <= GroupCount(); ++group) list_.AddString(std::to_string(group));
}

// A name the unit does not answer shows as unknown, not as the template's.
void TGroupDialog::ShowUnknown() {
  name_.SetText("");
  list_.SetSelection(-1);
}

void TGroupDialog::ReadRow() {
  gChannelNameObject.SetElement(channel_);
  name_.SetText(gChannelNameObject.Read(device_));
  ShowGroup();
}

void TGroupDialog::ShowGroup() {
  Object().SetElement(channel_);
  list_.SetSelection(GroupEntryOf(kind_, Object().Read(device_), GroupCount()));
}

void TGroupDialog::ReadGroup() {
  list_.SetSelection(-1);
  GuardedUnitCall(device_, [this] { ShowGroup(); });
}

void TGroupDialog::SelectionChanged() {
  const int entry = list_.Selection();
  if (entry < 0) return;
  ChangeOnUnit(device_,
               [&] {
                 Object().SetElement(channel_);
                 Object().Write(device_, static_cast<uint8_t>(GroupValueOf(kind_, entry)));
               },
               {.taken = taken_,
                .showUnit = [this] { ReadGroup(); },
                .showUnknown =
                    [this] {
                      list_.SetSelection(-1);
                      unknown_();
                    }});
}

void TGroupDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll) ReadGroup();
}

bool TGroupDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (!key.down) return ui::Dialog::PreProcessKey(key);
  if (key.code == ui::key::kReturn) return true;
  // Not this pane's to close: the window of panes around it closes.
  if (key.code == ui::key::kEscape) return false;
  return ui::Dialog::PreProcessKey(key);
}

TGroupAssignmentWindow::TGroupAssignmentWindow(ui::Window* parent, IQDeviceOrdavinex& device,
                                               GroupKind kind, const std::function<void()>& tell)
    : ui::Dialog(parent, kGroupAssignmentDialog),
      TDataWindow(parent),
      device_(device),
      group_(this) {
  group_.flowDown = true;
  SetIcon(device.GetModelBitmapId());
  const bool inputs = kind == GroupKind::kInputLevel;
  const int first = inputs ? 0 : device.firstOutput;
  const int count = inputs ? device.inputs : device.outputs;
  for (int channel = first; channel < first + count; ++channel) {
    rows_.push_back(std::make_unique<TGroupDialog>(&group_, device, kind, channel, tell,
                                                   [this] { rowsOwed_.Owe(); }));
  }
}

TGroupAssignmentWindow::~TGroupAssignmentWindow() { Destroy(); }

void TGroupAssignmentWindow::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (auto& row : rows_) group_.AddPane(row.get());
  FitRowsAtWorkAreaCorner(*this, group_);
  if (!GuardedUnitCall(device_, [this] { ReadRows(); })) rowsOwed_.Owe();
}

void TGroupAssignmentWindow::ReadRows() {
  for (auto& row : rows_) row->ShowUnknown();
  for (auto& row : rows_) row->ReadRow();
}

bool TGroupAssignmentWindow::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  return rowsOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

void AssignGroups(ui::Window* parent, IQDeviceOrdavinex& device, GroupKind kind,
                  const std::function<void()>& tell) {
  TGroupAssignmentWindow window(parent, device, kind, tell);
  {
    // The rows read the unit as the window is made: opening it is one action.
    const controls::OneReportScope opening;
    window.Create();
  }
  window.Execute();
}

void FitRowsAtWorkAreaCorner(ui::Dialog& window, TGroupWindow& rows) {
  const ui::Size fitting = rows.FittingSize();
  rows.SetRect({0, 0, fitting.cx, fitting.cy});
  window.SetFixedClientSize(fitting);
  const ui::Rect size = window.PlacementRect();
  PlaceAtWorkAreaCorner(window, size.Width(), size.Height());
}

}  // namespace namespaceOV
