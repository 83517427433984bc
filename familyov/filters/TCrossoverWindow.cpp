#include "familyov/filters/TCrossoverWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/MessageBox.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;
using ui::Edge;
using ui::EdgeRule;

constexpr int kWidth = 820;
constexpr int kHeight = 320;
constexpr int kCommandsHeightLayoutUnits = 18;
constexpr int kTreeWidthLayoutUnits = 90;
constexpr int kDialogHeightLayoutUnits = 63;

}  // namespace

TCrossoverWindow::TCrossoverWindow(TEditOVWindow& editWindow)
    : OVChild<ui::LayoutWindow>(editWindow, "Crossovers", nullptr),
      commands_(this, kCrossoverCommandsDialog),
      tree_(this, Device()),
      dialog_(this, Device()) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  if (const int icon = UnitSmallIconId(Device().outputs)) SetIcon(icon);
  SetChildMetrics(commands_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                              EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                              EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                              EdgeRule::Absolute(Edge::Height, kCommandsHeightLayoutUnits, true)});
  SetChildMetrics(dialog_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                            EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                            EdgeRule::Absolute(Edge::Height, kDialogHeightLayoutUnits, true),
                            EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(tree_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                          EdgeRule::Absolute(Edge::Width, kTreeWidthLayoutUnits, true),
                          EdgeRule::SameAs(Edge::Top, &commands_, Edge::Bottom),
                          EdgeRule::SameAs(Edge::Bottom, &dialog_, Edge::Top)});
  commands_.OnCommand(kCmNetworks, [this] { CmNetworks(); });
  commands_.OnCommand(kCmMacros, [this] { CmMacros(); });
}

TCrossoverWindow::~TCrossoverWindow() {
  macros_.reset();
  networks_.reset();
  Destroy();
}

void TCrossoverWindow::Notify(NotifyRecord* record) {
  if (record != nullptr && record->code == CrossoverOutputSelected && record->pointer != nullptr) {
    dialog_.SetOutput(*static_cast<const int*>(record->pointer));
  }
  TDataWindow::Notify(record);
  // The assignment window stands on its own on the screen.
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
