#include "familyov/filters/TCrossoverWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/MessageBox.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

constexpr int kWidth = 800;
constexpr int kHeight = 150;

}  // namespace

TCrossoverWindow::TCrossoverWindow(TEditOVWindow& editWindow)
    : OVChild<ui::LayoutWindow>(editWindow, "Crossovers", nullptr),
      group_(this),
      commands_(&group_, kCrossoverCommandsDialog),
      outputChoice_(&commands_, kOutputChoice),
      dialog_(std::make_unique<TCrossoverDialog>(&group_, Device())) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  if (const int icon = UnitSmallIconId(Device().outputs)) SetIcon(icon);
  SetChildMetrics(group_, ui::LayoutMetrics::FillingClientArea());
  commands_.OnCommand(kCmNetworks, [this] { CmNetworks(); });
  commands_.OnCommand(kCmMacros, [this] { CmMacros(); });
  commands_.OnNotify(kOutputChoice, ui::Notify::SelChange, [this](const ui::Notification&) {
    dialog_->SetOutput(Device().firstOutput + outputChoice_.Selection());
    return 0;
  });
}

TCrossoverWindow::~TCrossoverWindow() {
  macros_.reset();
  networks_.reset();
  Destroy();
}

void TCrossoverWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  group_.SetEdgePane(&commands_, TGroupWindow::kTop);
  group_.AddPane(dialog_.get(), true);
  for (int o = 0; o < Device().outputs; ++o) {
    outputChoice_.AddString(Device().GetChannelLabel(Device().firstOutput + o));
  }
  outputChoice_.SetSelection(0);
  dialog_->SetOutput(Device().firstOutput);
}

void TCrossoverWindow::Notify(NotifyRecord* record) {
  TDataWindow::Notify(record);
  // The assignment and macro windows stand on their own on the screen.
  if (networks_ && networks_->IsCreated()) networks_->Notify(record);
}

void TCrossoverWindow::CmNetworks() {
  if (!networks_) {
    networks_ = std::make_unique<TCrossoverNetworkAssignmentWindow>(Device(), &EditWindow());
    networks_->OnClosed([this] { networks_.reset(); });
  }
  networks_->Create();
  networks_->Show();
}

void TCrossoverWindow::CmMacros() {
  if (macros_) return;
  if (TMacroWindow::InUse()) {
    ui::MessageBox(this, "Macro file is in use.", "Crossover macros",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  macros_ = std::make_unique<TMacroWindow>(Device(), &EditWindow());
  macros_->OnClosed([this] { macros_.reset(); });
  macros_->Create();
  macros_->Show();
}

}  // namespace namespaceOV
