#include "familyov/filters/TCrossoverNetworkWindows.h"

#include <string>

#include "familyov/channels/GroupAssignment.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TMemoryWindow.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

}  // namespace

TCrossoverNetworkDialog::TCrossoverNetworkDialog(ui::Window* parent, IQDeviceOrdavinex& device,
                                                 int output)
    : ui::Dialog(parent, kNetworkPaneDialog),
      TDataWindow(parent),
      device_(device),
      output_(output),
      network_(this, kNetworkCombo),
      name_(this, kNetworkChannelName) {
  OnNotify(kNetworkCombo, ui::Notify::SelChange, [this](const ui::Notification&) {
    EvSelChange();
    return 0;
  });
}

void TCrossoverNetworkDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (int network = 1; network <= (device_.outputs + 1) / 2; ++network) {
    network_.AddString(std::to_string(network));
  }
  // Nothing of the unit, not the template's name, until the window reads the pane.
  name_.SetText("");
  network_.SetSelection(-1);
}

void TCrossoverNetworkDialog::ReadPane() {
  name_.SetText("");
  network_.SetSelection(-1);
  gChannelNameObject.SetElement(device_.firstOutput + output_);
  name_.SetText(gChannelNameObject.Read(device_));
  ReadNetwork();
}

void TCrossoverNetworkDialog::ReadNetwork() {
  gCrossoverNetworkObject.SetElement(output_);
  network_.SetSelection(gCrossoverNetworkObject.Read(device_) - 1);
}

void TCrossoverNetworkDialog::ShowNetwork() {
  // A network the unit does not answer shows as none.
  network_.SetSelection(-1);
  GuardedUnitCall(device_, [this] { ReadNetwork(); });
}

void TCrossoverNetworkDialog::EvSelChange() {
  const int selection = network_.Selection();
  if (selection < 0) return;
  // Every window of the unit that shows the networks reads them again from the unit: at once when
  // it took the choice, and while it is in doubt, so that none shows a network it may not hold.
  const auto readAgain = [this] {
    NotifyRecord record{NetworkAssignmentChanged, 0, 0, nullptr};
    NotifyRoot(&record);
  };
  ChangeOnUnit(device_,
               [&] {
                 gCrossoverNetworkObject.SetElement(output_);
                 gCrossoverNetworkObject.Write(device_, static_cast<uint8_t>(selection + 1));
               },
               {.taken = readAgain,
                .showUnit = [this] { ShowNetwork(); },
                .showUnknown =
                    [&] {
                      ShowNetwork();
                      readAgain();
                    }});
}

void TCrossoverNetworkDialog::Notify(NotifyRecord* record) {
  if (record != nullptr && record->code == RefreshAll)
    GuardedUnitCall(device_, [this] { ReadPane(); });
}

bool TCrossoverNetworkDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn || key.code == ui::key::kEscape) return true;
  return ui::Dialog::PreProcessKey(key);
}

TCrossoverNetworkAssignmentWindow::TCrossoverNetworkAssignmentWindow(ui::Window* parent,
                                                                     IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kNetworkAssignmentDialog),
      TDataWindow(parent),
      device_(device),
      group_(this) {
  group_.flowDown = true;
  SetIcon(device.GetModelBitmapId());
  for (int output = 0; output < device.outputs; ++output) {
    panes_.push_back(std::make_unique<TCrossoverNetworkDialog>(&group_, device, output));
  }
}

TCrossoverNetworkAssignmentWindow::~TCrossoverNetworkAssignmentWindow() { Destroy(); }

void TCrossoverNetworkAssignmentWindow::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (auto& pane : panes_) group_.AddPane(pane.get());
  FitRowsAtWorkAreaCorner(*this, group_);
  if (!GuardedUnitCall(device_, [this] { ReadPanes(); })) panesOwed_.Owe();
}

void TCrossoverNetworkAssignmentWindow::ReadPanes() {
  for (auto& pane : panes_) pane->ReadPane();
}

bool TCrossoverNetworkAssignmentWindow::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  return panesOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

}  // namespace namespaceOV
