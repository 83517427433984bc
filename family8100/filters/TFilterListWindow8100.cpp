#include "family8100/filters/TFilterListWindow8100.h"

#include <algorithm>

#include "controls/CopyInDoubt.h"
#include "family8100/filters/BankHub.h"
#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Resources.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace namespace8100 {

namespace {

using namespace f8100res;

constexpr int kListId = 101;
constexpr familycommon::FilterListLook::Column kColumns[] = {
    {"Filter", "High shelving", 41},
    {"Freq", "1000 Hz", 15},
    {"Param 1", "Slope: -12dB/oct", 15},
    {"Param 2", "Param 2", 15},
};

// The families draw their filter kinds alike; the pictures are shared.
int TypeIcon(int32_t type) {
  switch (type) {
    case kParametricFilter:
      return 0;
    case kLowpassFilter:
    case kLowCrossoverFilter:
      return 1;
    case kHighpassFilter:
    case kHighCrossoverFilter:
      return 2;
    case kLowShelfFilter:
      return 3;
    case kHighShelfFilter:
      return 4;
    case kBoostCutFilter:
      return 5;
    default:
      return -1;
  }
}

bool IsRightBank(int32_t bank) { return bank == kRightInputBank || bank == kRightOutputBank; }

}  // namespace

TFilterListWindow8100::TFilterListWindow8100(ui::Window* parent, TChannelParent& hub)
    : ui::LayoutWindow(parent), hub_(hub), list_(this, kListId) {
  SetEdge(ui::WindowEdge::Sunken);
  list_.Bind({kListId, ui::ControlKind::ListView, "", {}, ui::style::kReport | ui::style::kSort},
             {0, 0, 100, 100});
  SetChildMetrics(list_, ui::LayoutMetrics::FillingClientArea());
  OnNotify(kListId, ui::Notify::ItemChanged, [this](const ui::Notification&) {
    if (!updating_) EvSelectionChanged();
    return 0;
  });
  OnNotify(kListId, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    EvDoubleClick();
    return 0;
  });
  OnNotify(kListId, ui::Notify::RightClick, [this](const ui::Notification&) {
    EvRightClick();
    return 0;
  });
  OnMessage(bankmsg::kReload, [this](const ui::Message&) {
    FollowUnit();
    return 0;
  });
  OnMessage(bankmsg::kValuesChanged, [this](const ui::Message& m) {
    const int row = m.wParam == hub_.Bank() ? RowOf(FilterNamed(hub_.Unit(), m.lParam)) : -1;
    if (row >= 0) ShowRow(row, *FilterAt(row));
    return 0;
  });
  OnMessage(bankmsg::kFilterAdded, [this](const ui::Message& m) {
    TFilter* filter = FilterNamed(hub_.Unit(), m.lParam);
    if (m.wParam == hub_.Bank() && filter != nullptr && Listed(*filter) && RowOf(filter) < 0) {
      AddRow(*filter);
    }
    return 0;
  });
  OnMessage(bankmsg::kFilterRemoved, [this](const ui::Message& m) {
    // The unit says what is gone: the message may come after the filters were freed.
    if (m.wParam == hub_.Bank()) FollowUnit();
    return 0;
  });
  hub_.AddListener(*this);
}

TFilterListWindow8100::~TFilterListWindow8100() {
  hub_.RemoveListener(*this);
  Destroy();
}

void TFilterListWindow8100::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  look_.Apply(list_, kColumns);
  FollowUnit();
}

bool TFilterListWindow8100::Listed(const TFilter& filter) const {
  return filter.bank == hub_.Bank() && filter.type > 2;
}

void TFilterListWindow8100::AddRow(TFilter& filter) {
  updating_ = true;
  rowFilters_.push_back({&filter, filter.slot, filter.type});
  const int row = list_.InsertItem(list_.Count(), FilterTypeName(filter.type),
                                   TypeIcon(filter.type), rowFilters_.size() - 1);
  ShowRow(row, filter);
  updating_ = false;
}

void TFilterListWindow8100::ShowRow(int row, const TFilter& filter) {
  // Values a write left in doubt are not shown as the unit's: empty, as the dialog's fields.
  const auto shown = [&](const std::string& text) {
    return filter.valuesInDoubt ? std::string() : text;
  };
  list_.SetItemText(row, 1, shown(filter.FormatFrequency(true)));
  list_.SetItemText(row, 2, shown(filter.FormatParam1(true)));
  list_.SetItemText(row, 3, shown(filter.FormatParam2(true)));
  list_.SetStateImage(row, filter.bypass ? 1 : 0);
}

void TFilterListWindow8100::ShowUnknown(int row) {
  for (int column = 1; column <= 3; ++column) list_.SetItemText(row, column, "");
}

TFilter* TFilterListWindow8100::SuccessorOf(const ListedFilter& gone) const {
  for (const auto& filter : hub_.Unit().Filters()) {
    if (Listed(*filter) && filter->slot == gone.slot && filter->type == gone.type &&
        RowOf(filter.get()) < 0) {
      return filter.get();
    }
  }
  return nullptr;
}

int TFilterListWindow8100::RowOf(const TFilter* filter) const {
  if (filter == nullptr) return -1;
  for (int row = 0; row < list_.Count(); ++row) {
    if (FilterAt(row) == filter) return row;
  }
  return -1;
}

TFilter* TFilterListWindow8100::FilterAt(int row) const {
  const auto index = static_cast<std::size_t>(list_.ItemData(row));
  return index < rowFilters_.size() ? rowFilters_[index].filter.get() : nullptr;
}

void TFilterListWindow8100::RebuildSelection() {
  hub_.selection.clear();
  for (int row : list_.SelectedItems()) {
    if (TFilter* filter = FilterAt(row)) hub_.selection.push_back(filter);
  }
}

void TFilterListWindow8100::EvSelectionChanged() {
  RebuildSelection();
  const TFilter* single = hub_.selection.size() == 1 ? hub_.selection.front() : nullptr;
  hub_.Broadcast(bankmsg::kSelectionChanged, hub_.Bank(), FilterParam(single));
}

void TFilterListWindow8100::EvDoubleClick() {
  // The bypass flips from what the unit holds; a read again passes the selection on to the filters
  // it brings.
  if (!controls::SettleCopy(hub_.Unit())) return;
  RebuildSelection();
  if (hub_.selection.size() != 1) return;
  TFilter* filter = hub_.selection.front();
  BypassCommand(hub_.Unit(), *filter, !filter->bypass);
  hub_.Broadcast(bankmsg::kValuesChanged, hub_.Bank(), FilterParam(filter));
  for (int row : list_.SelectedItems()) ShowRow(row, *filter);
}

void TFilterListWindow8100::EvRightClick() {
  RebuildSelection();
  ContextMenu()->TrackAtCursor(*this);
}

std::unique_ptr<ui::Menu> TFilterListWindow8100::ContextMenu() {
  const ui::MenuItemTemplate separator;
  auto menu = std::make_unique<ui::Menu>(ui::MenuTemplate{
      {"New",
       0,
       {{"&Parametric", kCmAddParametric, {}},
        {"&Lowpass", kCmAddLowpass, {}},
        {"&Highpass", kCmAddHighpass, {}},
        {"L&ow shelving", kCmAddLowShelf, {}},
        {"H&igh shelving", kCmAddHighShelf, {}}}},
      {IsRightBank(hub_.Bank()) ? "Copy to left" : "Copy to right", kCmCopyToTwin, {}},
      separator,
      {"Print", kCmPrintFilters, {}},
      separator,
      {"&Bypass selected", kCmBypassFilters, {}},
      {"&Enable selected", kCmEnableFilters, {}},
      separator,
      {"Delete", kCmDeleteFilters, {}}});
  // Unlike the menu bar, this menu greys what has nothing to act on.
  if (hub_.selection.empty()) {
    for (int id : {kCmDeleteFilters, kCmBypassFilters, kCmEnableFilters}) {
      menu->EnableItem(id, false);
    }
  }
  menu->SetCommandWindow([this] { return this; });
  return menu;
}

void TFilterListWindow8100::FollowUnit() {
  // Until a read of the unit ends, the program's filters are not the unit's: a row whose filter
  // such a read dropped is the user's still, and shows unknown rather than going.
  const bool readWhole = !hub_.Unit().ListsStale();
  updating_ = true;
  for (int row = list_.Count() - 1; row >= 0; --row) {
    ListedFilter& listed = rowFilters_.at(static_cast<std::size_t>(list_.ItemData(row)));
    if (!HoldsFilter(hub_.Unit(), listed.filter)) listed.filter = SuccessorOf(listed);
    if (listed.filter != nullptr) {
      ShowRow(row, *listed.filter);
    } else if (readWhole) {
      list_.DeleteItem(row);
    } else {
      ShowUnknown(row);
    }
  }
  updating_ = false;
  for (const auto& filter : hub_.Unit().Filters()) {
    if (Listed(*filter) && RowOf(filter.get()) < 0) AddRow(*filter);
  }
  // What stays selected is the user's, or what a failure part way left; a filter the read again
  // brought in its place is shown as the user left it.
  RebuildSelection();
  TFilter* single = hub_.selection.size() == 1 ? hub_.selection.front().get() : nullptr;
  if (single != nullptr && single != hub_.current) {
    hub_.Broadcast(bankmsg::kSelectionChanged, hub_.Bank(), FilterParam(single));
  }
}

}  // namespace namespace8100
