#include "family8100/filters/TCrossoverWindow.h"

#include <memory>

#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TSigFlowDialog.h"

namespace namespace8100 {

namespace {

using ui::Edge;
using ui::EdgeRule;

constexpr int kDialogHeightLayoutUnits = 52;

}  // namespace

TCrossoverWindow::TCrossoverWindow(IQDevice8100& unit)
    : ui::LayoutWindow(nullptr), graph_(unit, this), dialog_(this, unit) {
  dialog_.SetGraph(&graph_);
  graph_.SetOnDrop([this](const auto& edit) { dialog_.Edit(edit); });
  // A recall, a load or a read replaces the crossovers under an open window; the unit is not asked
  // again here, since the notice may come while a change is still talking to it.
  filterSet_ = unit.filterSetNotice.Listen([this] {
    dialog_.ShowCrossovers();
    graph_.Refresh();
  });
  SetChildMetrics(dialog_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                            EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                            EdgeRule::Absolute(Edge::Height, kDialogHeightLayoutUnits, true),
                            EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(graph_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                           EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                           EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                           EdgeRule::SameAs(Edge::Bottom, &dialog_, Edge::Top)});
}

TCrossoverDecFrame::TCrossoverDecFrame(const EditorRequest& request)
    : EditorFrame8100(request), window_(request.unit) {
  SetClient(&window_);
  // The signal-flow page passes the reload on to every open editor, the banks' among them.
  window_.Dialog().SetOnChanged([this] { Owner().Post(TSigFlowDialog::kRefreshAll); });
  OnMessage(kReloadFilters, [this](const ui::Message&) {
    window_.Dialog().UpdateControls();
    return 0;
  });
}

TCrossoverDecFrame::~TCrossoverDecFrame() { Destroy(); }

void RegisterCrossoverEditor() {
  RegisterCrossoverMaker([](const EditorRequest& request) -> std::unique_ptr<ui::Window> {
    return std::make_unique<TCrossoverDecFrame>(request);
  });
}

}  // namespace namespace8100
