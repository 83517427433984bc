#include "family8100/filters/TFilterBankEditor.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "controls/LevelScale.h"
#include "family8100/filters/BankListing.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace namespace8100 {

namespace {

using namespace f8100res;
using ui::Edge;
using ui::EdgeRule;

constexpr int kCountWidthLayoutUnits = 15;

// The bottom strip is as high as the filter dialogs it shows, which share one size, so that none
// of their fields is cut off.
int StripHeightLayoutUnits() {
  const ui::DialogTemplate* dialog = ui::Resources::Dialog(kParametricDialog8100);
  return dialog != nullptr ? dialog->box.height : 0;
}
// The tool bar: the add commands, with the pictures the families share.
constexpr std::pair<int, int> kAddButtons[] = {{kCmAddParametric, ovfilter_res::kParametricButton},
                                               {kCmAddLowpass, ovfilter_res::kLowpassButton},
                                               {kCmAddHighpass, ovfilter_res::kHighpassButton},
                                               {kCmAddLowShelf, ovfilter_res::kLowShelfButton},
                                               {kCmAddHighShelf, ovfilter_res::kHighShelfButton}};

// The bank filter a bank message names, when the unit still holds it.
TFilter* HeldFilter(const TChannelParent& hub, ui::Param lParam) {
  TFilter* filter = FilterNamed(hub.Unit(), lParam);
  return HoldsFilter(hub.Unit(), filter) ? filter : nullptr;
}

// The open bank editors of one unit, which hear of each other's changes.
TAllChannelParent& HubsOf(const IQDevice8100& unit) {
  static std::map<const IQDevice8100*, TAllChannelParent> hubs;
  return hubs[&unit];
}

FamilyKey8100 DefaultsOf(const IQDevice8100& unit) {
  const auto* type = dynamic_cast<const IQ8100Type*>(unit.GetType());
  return type ? type->Key() : FamilyKey8100(registry::Key());
}

}  // namespace

TFilterCountWindow::TFilterCountWindow(ui::Window* parent, TChannelParent& hub)
    : ui::DrawnWindow(parent), hub_(hub), readWhole_(!hub.Unit().ListsStale()) {
  SetEdge(ui::WindowEdge::Sunken);
  for (ui::MessageId id : {bankmsg::kReload, bankmsg::kValuesChanged, bankmsg::kFilterAdded,
                           bankmsg::kFilterRemoved}) {
    OnMessage(id, [this](const ui::Message&) {
      Invalidate();
      return 0;
    });
  }
  hub_.AddListener(*this);
}

TFilterCountWindow::~TFilterCountWindow() { hub_.RemoveListener(*this); }

std::string TFilterCountWindow::CountText() const {
  return readWhole_ ? std::to_string(kSectionBudget - hub_.Unit().UsedSections())
                    : controls::kUnknownValue;
}

void TFilterCountWindow::FollowRead() {
  // A read that replaces the filters ends stale only when the unit broke it off; a filter read
  // back alone leaves the others, and the count, as they were.
  readWhole_ = !hub_.Unit().ListsStale();
  Invalidate();
}

void TFilterCountWindow::Paint(ui::Dc& dc) {
  const ui::Rect area = ClientRect();
  dc.FillRect(area, ui::SystemColorOf(ui::SystemColor::ButtonFace));
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.DrawTextIn(area, CountText(),
                {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
}

TFilterParameterWindow::TFilterParameterWindow(ui::Window* parent, TChannelParent& hub)
    : ui::LayoutWindow(parent), hub_(hub) {
  SetEdge(ui::WindowEdge::Sunken);
  OnMessage(bankmsg::kSelectionChanged, [this](const ui::Message& m) {
    if (m.wParam == hub_.Bank()) Show(HeldFilter(hub_, m.lParam));
    return 0;
  });
  // The list announces the filter a read again brought in place of the one shown.
  OnMessage(bankmsg::kReload, [this](const ui::Message&) {
    ForgetGoneFilter();
    return 0;
  });
  OnMessage(bankmsg::kFilterRemoved, [this](const ui::Message&) {
    ForgetGoneFilter();
    return 0;
  });
  hub_.AddListener(*this);
}

void TFilterParameterWindow::ForgetGoneFilter() {
  if (dialog_ && dialog_->Filter() == nullptr) Show(nullptr);
}

TFilterParameterWindow::~TFilterParameterWindow() {
  hub_.RemoveListener(*this);
  dialog_.reset();
  Destroy();
}

void TFilterParameterWindow::Show(TFilter* filter) {
  hub_.current = filter;
  dialog_.reset();
  if (filter == nullptr) return;
  dialog_ = TFilterDialog8100::Make(this, hub_, *filter);
  if (!dialog_) return;
  SetChildMetrics(*dialog_, ui::LayoutMetrics::FillingClientArea());
  if (IsCreated()) {
    dialog_->Create();
    Layout();
  }
}

TFilterLayoutWindow::TFilterLayoutWindow(IQDevice8100& unit, TAllChannelParent& hubs, int32_t bank)
    : ui::LayoutWindow(nullptr),
      hub_(unit, hubs, bank),
      parameters_(this, hub_),
      count_(this, hub_) {
  MakePanes();
  filterSet_ = unit.filterSetNotice.Listen([this] {
    hub_.ForgetGoneFilters();
    parameters_.ForgetGoneFilter();
    list_->FollowUnit();
    ReloadGraph();
    count_.FollowRead();
  });
  const int stripHeight = StripHeightLayoutUnits();
  SetChildMetrics(count_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                           EdgeRule::Absolute(Edge::Width, kCountWidthLayoutUnits, true),
                           EdgeRule::Absolute(Edge::Height, stripHeight, true),
                           EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(parameters_, {EdgeRule::SameAs(Edge::Left, &count_, Edge::Right),
                                EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                                EdgeRule::Absolute(Edge::Height, stripHeight, true),
                                EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});

  OnCommand(kCmAddParametric, [this] { CmAdd(kParametricFilter); });
  OnCommand(kCmAddLowpass, [this] { CmAdd(kLowpassFilter); });
  OnCommand(kCmAddHighpass, [this] { CmAdd(kHighpassFilter); });
  OnCommand(kCmAddLowShelf, [this] { CmAdd(kLowShelfFilter); });
  OnCommand(kCmAddHighShelf, [this] { CmAdd(kHighShelfFilter); });
  OnCommand(kCmDeleteFilters, [this] { CmDelete(); });
  OnCommand(kCmCopyToTwin, [this] { CmCopy(); });
  OnCommand(kCmBypassFilters, [this] { BypassSelectionCommand(hub_, true); });
  OnCommand(kCmEnableFilters, [this] { BypassSelectionCommand(hub_, false); });
  OnCommand(kCmPrintFilters, [this] { PrintFilterListing(hub_.Unit(), *this, hub_.Bank()); });
  OnCommand(kCmRestoreList, [this] { splitter_->ReopenPane(*list_); });
  OnCommand(kCmRestoreGraph, [this] { splitter_->ReopenPane(*graph_); });
  for (int id : {kCmDeleteFilters, kCmCopyToTwin}) {
    OnEnable(id, [this](ui::CommandState& state) { state.enabled = SelectionInBank(); });
  }
  OnEnable(kCmRestoreList,
           [this](ui::CommandState& state) { state.enabled = !splitter_->IsPaneOpen(*list_); });
  OnEnable(kCmRestoreGraph,
           [this](ui::CommandState& state) { state.enabled = !splitter_->IsPaneOpen(*graph_); });

  // The graph hears the bank's messages through the hub, like every other view.
  OnMessage(bankmsg::kSelectionChanged, [this](const ui::Message& m) {
    if (m.wParam == hub_.Bank()) graph_->EvFilterSelected(HeldFilter(hub_, m.lParam));
    return 0;
  });
  OnMessage(bankmsg::kValuesChanged, [this](const ui::Message& m) {
    if (TFilter* filter = HeldFilter(hub_, m.lParam); filter && m.wParam == hub_.Bank()) {
      graph_->EvFilterChanged(filter);
    }
    return 0;
  });
  OnMessage(bankmsg::kFilterAdded, [this](const ui::Message& m) {
    if (TFilter* filter = HeldFilter(hub_, m.lParam); filter && m.wParam == hub_.Bank()) {
      graph_->EvFilterAdded(filter);
    }
    return 0;
  });
  OnMessage(bankmsg::kFilterRemoved, [this](const ui::Message& m) {
    if (m.wParam == hub_.Bank()) graph_->EvFilterRemoved();
    return 0;
  });
  OnMessage(bankmsg::kReload, [this](const ui::Message&) {
    ReloadGraph();
    return 0;
  });
  OnMessage(kRestoreGraphWidth, [this](const ui::Message&) {
    if (splitter_->IsPaneOpen(*graph_)) {
      splitter_->SetPaneSize(
          *graph_, hub_.Unit().graphRects.at(static_cast<std::size_t>(hub_.Bank())).Width());
    }
    return 0;
  });
  hub_.AddListener(*this);
}

TFilterLayoutWindow::~TFilterLayoutWindow() {
  hub_.RemoveListener(*this);
  Destroy();
}

void TFilterLayoutWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  // Once the frame around has placed and shown the editor, when the panes have their sizes.
  Post(kRestoreGraphWidth);
}

void TFilterLayoutWindow::MakePanes() {
  splitter_ = std::make_unique<ui::Splitter>(this);
  list_ = std::make_unique<TFilterListWindow8100>(splitter_.get(), hub_);
  graph_ = std::make_unique<TFrequencyGraph>(hub_.Unit(), hub_.Bank(), splitter_.get());
  graph_->SetBroadcast([this](int message, int bank, TFilter* filter) {
    hub_.Broadcast(static_cast<ui::MessageId>(message), bank, FilterParam(filter));
  });
  splitter_->SetFirstShare(0.5);
  SetChildMetrics(*splitter_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                               EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                               EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                               EdgeRule::SameAs(Edge::Bottom, &count_, Edge::Top)});
}

void TFilterLayoutWindow::ReloadGraph() {
  graph_->EvReloadAll();
  // The icons are made anew: the shown filter stays the graph's selection.
  graph_->EvFilterSelected(hub_.current);
}

bool TFilterLayoutWindow::SelectionInBank() const {
  return !hub_.selection.empty() && hub_.selection.front()->bank == hub_.Bank();
}

void TFilterLayoutWindow::CmAdd(int32_t type) {
  if (!AddFilterCommand(hub_, DefaultsOf(hub_.Unit()), type)) {
    ui::MessageBox(this, "Out of filter capacity.", "", ui::mb::kOk);
  }
}

void TFilterLayoutWindow::CmDelete() {
  if (!SelectionInBank()) return;
  if (ui::MessageBox(this, "Delete selected filters?", "Delete",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  const bool boostCut = std::ranges::any_of(
      hub_.selection, [](const TFilter* filter) { return filter->type == kBoostCutFilter; });
  if (boostCut &&
      ui::MessageBox(this, "Warning: Boost/cut filters cannot be replaced once removed.  Continue?",
                     "Delete", ui::mb::kOkCancel | ui::mb::kIconExclamation) != ui::kIdOk) {
    return;
  }
  DeleteSelectionCommand(hub_);
}

void TFilterLayoutWindow::CmCopy() {
  if (!SelectionInBank()) return;
  if (ui::MessageBox(this, "Copy selected filters to other channel?", "Filter copy",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  if (!CopySelectionCommand(hub_)) {
    ui::MessageBox(this, "Not all filters were copied due to filter limit being exceeded.", "Copy",
                   ui::mb::kOk | ui::mb::kIconExclamation);
  }
}

TFilterDecoratedFrame::TFilterDecoratedFrame(const EditorRequest& request)
    : EditorFrame8100(request),
      editor_(request.unit, HubsOf(request.unit), static_cast<int32_t>(request.view)) {
  SetClient(&editor_);
  SetMenu(kBankEditorMenu8100);
  SetAccelerators(kBankEditorKeys8100);
  AddStatusBar();
  for (const auto& [command, picture] : kAddButtons) {
    AddToolButton(command, ui::Resources::Image(picture));
  }
  // The signal-flow page asks every open editor to read the filters again.
  OnMessage(kReloadFilters, [this](const ui::Message&) {
    editor_.Hub().Broadcast(bankmsg::kReload, 0, 0, true);
    return 0;
  });
}

TFilterDecoratedFrame::~TFilterDecoratedFrame() { Destroy(); }

void RegisterBankEditor() {
  RegisterBankEditorMaker([](const EditorRequest& request) -> std::unique_ptr<ui::Window> {
    return std::make_unique<TFilterDecoratedFrame>(request);
  });
}

}  // namespace namespace8100
