#include "familyov/filters/TCrossoverEditor.h"

#include "familyov/channels/ChildPlacement.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/MessageBox.h"
#include "resources/FamilyOvCrossoverEditorIds.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using ovcrossover_editor_res::kCmDspCapacity;
using ovcrossover_editor_res::kCmShowNetworkSum;
using ovcrossover_editor_res::kCrossoverEditorMenu;
using ovcrossover_res::kCmMacros;
using ovcrossover_res::kCmNetworks;
using ui::Edge;
using ui::EdgeRule;

constexpr int kFrameLeft = 100;
constexpr int kFrameTop = 100;
constexpr int kFrameWidth = 600;
constexpr int kFrameHeight = 450;
// The sunken edge round the parameter dialog, on both sides.
constexpr int kDialogEdges = 4;
// The dialog's own height, so that both of its rows show.
constexpr int kParameterHeightLayoutUnits = 63;
// Wide enough for "Network 1" and an output's name.
constexpr int kTreeWidthLayoutUnits = 80;

}  // namespace

// The parameter frame.

TCrossoverParameterFrame::TCrossoverParameterFrame(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::LayoutWindow(parent), TDataWindow(parent), dialog_(this, device) {
  SetEdge(ui::WindowEdge::Sunken);
  SetChildMetrics(dialog_, ui::LayoutMetrics::FillingClientArea());
}

TCrossoverParameterFrame::~TCrossoverParameterFrame() { Destroy(); }

void TCrossoverParameterFrame::Notify(NotifyRecord* record) {
  if (record != nullptr && record->code == CrossoverOutputSelected && record->pointer != nullptr) {
    dialog_.SetOutput(*static_cast<const int*>(record->pointer));
  }
  TDataWindow::Notify(record);
}

// The layout window.

TCrossoverLayoutWindow::TCrossoverLayoutWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      device_(device),
      parameters_(this, device),
      graph_(this, device),
      tree_(this, device) {
  SetChildMetrics(parameters_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                                EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                                EdgeRule::Absolute(Edge::Height, kParameterHeightLayoutUnits, true),
                                EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(tree_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                          EdgeRule::Absolute(Edge::Width, kTreeWidthLayoutUnits, true),
                          EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                          EdgeRule::SameAs(Edge::Bottom, &parameters_, Edge::Top)});
  SetChildMetrics(graph_, {EdgeRule::SameAs(Edge::Left, &tree_, Edge::Right),
                           EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                           EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                           EdgeRule::SameAs(Edge::Bottom, &parameters_, Edge::Top)});
  OnCommand(kCmNetworks, [this] { CmNetworks(); });
  OnCommand(kCmMacros, [this] { CmMacros(); });
  OnCommand(kCmDspCapacity, [this] { CmDspCapacity(); });
  OnCommand(kCmShowNetworkSum, [this] { graph_.ShowNetworkSum(); });
  OnEnable(kCmShowNetworkSum,
           [this](ui::CommandState& state) { state.checked = device_.showNetworkSum; });
}

TCrossoverLayoutWindow::~TCrossoverLayoutWindow() {
  macros_.reset();
  Destroy();
}

ui::Window* TCrossoverLayoutWindow::UnitRoot() const {
  return dynamic_cast<ui::Window*>(RootLink());
}

void TCrossoverLayoutWindow::CmNetworks() {
  // Each choice tells the unit's windows, the tree among them, at once.
  TCrossoverNetworkAssignmentWindow(this, device_).Execute();
}

void TCrossoverLayoutWindow::CmMacros() {
  if (macros_ && macros_->IsCreated()) return;
  if (TMacroWindow::InUse()) {
    ui::MessageBox(this, "Macro file is in use.", "Crossover macros",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  macros_ = std::make_unique<TMacroWindow>(device_, this, UnitRoot());
  macros_->OnClosed([this] { macros_.reset(); });
  macros_->Create();
  macros_->Show();
}

void TCrossoverLayoutWindow::CmDspCapacity() {
  if (auto* editWindow = dynamic_cast<TEditOVWindow*>(RootLink())) {
    editWindow->OpenChildWindow(editWindow->Ids().dspCapacity);
  }
}

// The frame.

TCrossoverDecoratedFrame::TCrossoverDecoratedFrame(TEditOVWindow& editWindow)
    : OVChild<ui::Frame>(editWindow, "Crossovers", "Crossovers", nullptr),
      layout_(std::make_unique<TCrossoverLayoutWindow>(this, Device())) {
  SetClient(layout_.get());
  SetRect({kFrameLeft, kFrameTop, kFrameLeft + kFrameWidth, kFrameTop + kFrameHeight});
  SetIcon(Device().GetModelBitmapId());
  SetMenu(kCrossoverEditorMenu);
  AddStatusBar();
}

TCrossoverDecoratedFrame::~TCrossoverDecoratedFrame() { Destroy(); }

void TCrossoverDecoratedFrame::SetupWindow() {
  ui::Frame::SetupWindow();
  // The parameter dialog spans the window: as wide as its template, polarity button included.
  const ui::Dialog& dialog = layout_->Dialog();
  WidenToShow(*this, dialog.Units().ToPixelsX(dialog.Template().box.width) + kDialogEdges);
}

}  // namespace namespaceOV
