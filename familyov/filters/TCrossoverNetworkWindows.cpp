#include "familyov/filters/TCrossoverNetworkWindows.h"

#include <string>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TMemoryWindow.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;

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
  GuardedUnitCall(device_, [this] {
    gChannelNameObject.SetElement(device_.firstOutput + output_);
    name_.SetText(gChannelNameObject.Read(device_));
  });
  for (int network = 1; network <= (device_.outputs + 1) / 2; ++network) {
    network_.AddString(std::to_string(network));
  }
  ShowNetwork();
}

void TCrossoverNetworkDialog::ShowNetwork() {
  GuardedUnitCall(device_, [this] {
    gCrossoverNetworkObject.SetElement(output_);
    network_.SetSelection(gCrossoverNetworkObject.Read(device_) - 1);
  });
}

void TCrossoverNetworkDialog::EvSelChange() {
  const int selection = network_.Selection();
  if (selection < 0) return;
  const bool written = GuardedUnitCall(device_, [&] {
    gCrossoverNetworkObject.SetElement(output_);
    gCrossoverNetworkObject.Write(device_, static_cast<uint8_t>(selection + 1));
  });
  // The assignment window stays open beside the crossover window, whose tree follows it.
  NotifyRecord record{NetworkAssignmentChanged, 0, 0, nullptr};
  if (written) NotifyRoot(&record);
}

void TCrossoverNetworkDialog::Notify(NotifyRecord* record) {
  if (record != nullptr && record->code == RefreshAll) ShowNetwork();
}

bool TCrossoverNetworkDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn || key.code == ui::key::kEscape) return true;
  return ui::Dialog::PreProcessKey(key);
}

TCrossoverNetworkAssignmentWindow::TCrossoverNetworkAssignmentWindow(IQDeviceOrdavinex& device,
                                                                     ui::Window* root)
    : ui::LayoutWindow(nullptr), group_(this) {
  SetText("Networks");
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetIcon(device.GetModelBitmapId());
  SetChildMetrics(group_, ui::LayoutMetrics::FillingClientArea());
  for (int output = 0; output < device.outputs; ++output) {
    panes_.push_back(std::make_unique<TCrossoverNetworkDialog>(&group_, device, output));
  }
  SetLink1(root);
  SetLink2(this);
}

TCrossoverNetworkAssignmentWindow::~TCrossoverNetworkAssignmentWindow() { Destroy(); }

void TCrossoverNetworkAssignmentWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  for (auto& pane : panes_) group_.AddPane(pane.get(), true);
}

}  // namespace namespaceOV
