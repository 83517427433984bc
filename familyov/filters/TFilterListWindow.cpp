#include "familyov/filters/TFilterListWindow.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

#include "controls/DeviceErrorReport.h"
#include "familyov/filters/FilterLinks.h"
#include "familyov/filters/FilterListPrintout.h"
#include "familyov/unit/CommandOutcome.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace namespaceOV {

using namespace ovfilter_res;

namespace {

constexpr int kFrequencyColumn = 1;
constexpr int kParam2Column = 3;
// Below this level a parametric or boost/cut filter counts as doing nothing.
constexpr float kZeroDbTolerance = 0.01f;

constexpr familycommon::FilterListLook::Column kColumns[] = {
    {"Filter", "High shelving", 41},     {"Freq", "1000 Hz", 15},
    {"Param 1", "Slope: -12dB/oct", 15}, {"Param 2", "BW: 6.666", 15},
    {"Links", "2,A,B,C,D,E,F,E,F", 125},
};

int TypeIcon(int typeCode) {
  switch (typeCode) {
    case kFilterParametric:
      return 0;
    case kFilterLowpass:
    case kFilterLowCrossover:
      return 1;
    case kFilterHighpass:
    case kFilterHighCrossover:
      return 2;
    case kFilterLowShelf:
      return 3;
    case kFilterHighShelf:
      return 4;
    case kFilterBoostCut:
      return 5;
    case kFilterCDHorn:
      return 6;
    case kFilterAllpass:
      return 7;
    default:
      return -1;
  }
}

bool InChain(const TFilter& filter) {
  return filter.linkHead != nullptr || filter.nextInChain != nullptr;
}

// The filters a record is about: its list (flag 1) or its one filter.
std::vector<TFilter*> RecordFilters(const NotifyRecord& record) {
  if (record.pointer == nullptr) return {};
  if (record.flag == 1) return *static_cast<const std::vector<TFilter*>*>(record.pointer);
  return {static_cast<TFilter*>(record.pointer)};
}

}  // namespace

FilterRowTexts RowTexts(TFilter& filter, const IQDeviceOrdavinex& device) {
  filter.UpdateLinkedChannels();
  std::string links;
  for (int channel : filter.linkedChannels) {
    if (!links.empty()) links += ", ";
    links += device.GetChannelLabel(channel);
  }
  if (device.FiltersStale()) return {FilterTypeName(filter.typeCode), {}, {}, {}, links};
  return {FilterTypeName(filter.typeCode), filter.FormatFrequency(true), filter.FormatParam1(true),
          filter.FormatParam2(true, device.useQ != 0), links};
}

int RowStateIcon(const TFilter& filter) {
  return (filter.bypass ? 1 : 0) + (InChain(filter) ? 2 : 0);
}

TFilterListWindow::TFilterListWindow(ui::Window* parent, FilterEditorPanes& panes)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      panes_(panes),
      device_(*panes.device),
      list_(this, kFilterList) {
  panes_.list = this;
  // A report with column titles, which the user clicks to sort and to switch Q and bandwidth.
  list_.Bind({kFilterList, ui::ControlKind::ListView, "", {}, ui::style::kReport},
             {0, 0, 100, 100});
  SetChildMetrics(list_, ui::LayoutMetrics::FillingClientArea());
  OnNotify(kFilterList, ui::Notify::ItemChanged, [this](const ui::Notification&) {
    if (!updating_) SelectionChanged();
    return 0;
  });
  OnNotify(kFilterList, ui::Notify::ColumnClick, [this](const ui::Notification& n) {
    ColumnClicked(static_cast<int>(n.value));
    return 0;
  });
  OnNotify(kFilterList, ui::Notify::RightClick, [this](const ui::Notification&) {
    PopupMenu();
    return 0;
  });
}

TFilterListWindow::~TFilterListWindow() {
  Destroy();
  panes_.list = nullptr;
}

void TFilterListWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  look_.Apply(list_, kColumns);
  FillRows();
}

void TFilterListWindow::FillRows() {
  // The unit's numbers keep the selection when the filters are new objects (a read of the whole
  // unit); a selected filter the unit gave another number for a new order is known by its new one.
  if (const std::vector<TFilter*> alive = Selection(); !alive.empty()) KeepSelection(alive);
  const std::vector<int> selectedNumbers = selectedNumbers_;
  updating_ = true;
  list_.DeleteAllItems();
  updating_ = false;
  rows_.clear();
  std::vector<TFilter*> filters;
  for (const auto& filter : device_.Filters()) {
    if (filter->channel == panes_.channel && filter->typeCode >= kFilterParametric) {
      filters.push_back(filter.get());
    }
  }
  std::ranges::stable_sort(
      filters, [&](const TFilter* a, const TFilter* b) { return SortKey(*a) < SortKey(*b); });
  for (TFilter* filter : filters) InsertRow(filter);
  std::vector<TFilter*> reselected;
  for (TFilter* filter : filters) {
    if (std::ranges::find(selectedNumbers, filter->number) != selectedNumbers.end()) {
      reselected.push_back(filter);
    }
  }
  SelectFilters(reselected);
  SelectionChanged();
}

void TFilterListWindow::InsertRow(TFilter* filter) {
  rows_.push_back(filter);
  const int item = list_.InsertItem(list_.Count(), FilterTypeName(filter->typeCode),
                                    TypeIcon(filter->typeCode), 0);
  ShowRow(item, *filter);
}

int TFilterListWindow::SortKey(const TFilter& filter) const {
  return sortByCreation_ ? filter.serialNumber : filter.frequency;
}

bool TFilterListWindow::RowsInOrder() const {
  const std::vector<TFilter*> rows = Rows();
  return std::ranges::is_sorted(
      rows, [this](const TFilter* a, const TFilter* b) { return SortKey(*a) < SortKey(*b); });
}

int TFilterListWindow::RowOf(const TFilter* filter) const {
  if (filter == nullptr) return -1;
  const auto found = std::ranges::find(rows_, filter);
  return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

void TFilterListWindow::UpdateRow(TFilter* filter) {
  const int item = RowOf(filter);
  if (item >= 0) ShowRow(item, *filter);
}

void TFilterListWindow::ShowRow(int item, TFilter& filter) {
  const FilterRowTexts texts = RowTexts(filter, device_);
  const int state = RowStateIcon(filter);
  list_.SetItemText(item, 1, texts.frequency);
  list_.SetItemText(item, 2, texts.param1);
  list_.SetItemText(item, 3, texts.param2);
  list_.SetItemText(item, 4, texts.links);
  list_.SetStateImage(item, state == 0 ? -1 : state);
}

void TFilterListWindow::DeleteRow(TFilter* filter) {
  const int item = RowOf(filter);
  if (item < 0) return;
  rows_.erase(rows_.begin() + item);
  updating_ = true;
  list_.DeleteItem(item);
  updating_ = false;
}

void TFilterListWindow::SelectionChanged() {
  std::vector<TFilter*> selected = SelectedRows();
  if (selected == Selection() && selected.size() == selection_.size()) return;
  KeepSelection(selected);
  NotifyRecord record{FilterSelected, panes_.channel, 1, &selected};
  NotifyLocal(&record);
}

void TFilterListWindow::KeepSelection(const std::vector<TFilter*>& selected) {
  selection_.assign(selected.begin(), selected.end());
  selectedNumbers_.clear();
  for (const TFilter* filter : selected) selectedNumbers_.push_back(filter->number);
}

std::vector<TFilter*> TFilterListWindow::SelectedRows() const {
  std::vector<TFilter*> selected;
  for (int item : list_.SelectedItems()) {
    if (TFilter* filter = rows_.at(static_cast<std::size_t>(item))) selected.push_back(filter);
  }
  return selected;
}

void TFilterListWindow::SelectFilters(const std::vector<TFilter*>& filters) {
  updating_ = true;
  for (int item = 0; item < list_.Count(); ++item) {
    const TFilter* filter = rows_[static_cast<std::size_t>(item)];
    list_.SetSelected(item, std::ranges::find(filters, filter) != filters.end());
  }
  updating_ = false;
}

bool TFilterListWindow::SelectionAllLinked() const {
  return std::ranges::all_of(Selection(), [](const TFilter* f) { return InChain(*f); });
}

bool TFilterListWindow::SelectionNoneLinked() const {
  return std::ranges::none_of(Selection(), [](const TFilter* f) { return InChain(*f); });
}

// Each command on the selection tells of one failure once, however many of its steps, the
// windows' updates and the read of what the unit holds then fail on the same silent unit.
void TFilterListWindow::CmBypass(bool bypass) {
  const std::vector<TFilter*> selected = Selection();
  // The windows hear of the filters the unit took, before a failure too.
  std::vector<TFilter*> taken;
  const auto tell = [&] {
    if (taken.empty()) return;
    NotifyRecord record{FilterChanged, panes_.channel, 1, &taken};
    NotifyRoot(&record);
  };
  // A refusal leaves the filter that failed as it was. One whose answer never came may have been
  // reached all the same: it is read back from the unit, in place, and every view shows what the
  // unit holds, or unknown when it does not answer.
  const auto readBack = [&] {
    std::vector<TFilter*> failed;
    std::ranges::copy_if(selected, std::back_inserter(failed),
                         [&](TFilter* f) { return std::ranges::find(taken, f) == taken.end(); });
    try {
      device_.ResyncFilterViews(failed);
    } catch (const IQException&) {
    }
    tell();
  };
  ChangeOnUnit(device_,
               [&] {
                 for (TFilter* filter : selected) {
                   filter->SetBypass(device_, bypass);
                   taken.push_back(filter);
                 }
               },
               {.taken = tell, .showUnit = tell, .showUnknown = readBack});
}

void TFilterListWindow::CmDelete() {
  if (!Confirmed(this, "Delete selected filters?", "")) return;
  controls::OneReportScope command;
  // Every member of every selected chain, each once: a chain's members may be selected together,
  // and a member goes as soon as it is removed. A head goes after its members: a delete that
  // stops part way must leave no member naming a head the unit no longer holds, or the unit's
  // next new filter, given the head's number, would take that member into its chain.
  std::vector<TFilter*> doomed;
  for (TFilter* filter : Selection()) {
    const std::vector<TFilter*> members = filter->ChainMembers();
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
      if (std::ranges::find(doomed, *member) == doomed.end()) doomed.push_back(*member);
    }
  }
  const std::exception_ptr failure = FailureOf([&] {
    for (TFilter* member : doomed) {
      std::unique_ptr<TFilter> removed = device_.RemoveFilter(member);
      if (removed == nullptr) continue;
      device_.RecountDspUse();
      std::vector<TFilter*> gone{member};
      NotifyRecord record{FilterRemoved, member->channel, 1, &gone};
      NotifyRoot(&record);
    }
  });
  if (!failure) {
    KeepSelection({});
    return;
  }
  const std::string failureText = TakeFailureText(device_, failure);
  ResyncAfterFailure();
  KeepSelection({});
  TellCommandOutcome(this, device_,
                     failureText + (device_.FiltersStale() ? familycommon::kStoppedAnsweringText
                                                           : familycommon::kDeleteNotFinishedText),
                     "Delete");
}

void TFilterListWindow::ResyncAfterFailure() {
  GuardedUnitCall(device_, [this] { device_.ResyncFilterViews(); });
}

void TFilterListWindow::CmUnlink() {
  if (ui::MessageBox(this, "Unlink selected filters (cannot be re-linked)?", "Unlink",
                     ui::mb::kOkCancel) != ui::kIdOk) {
    return;
  }
  controls::OneReportScope command;
  // A failure on one chain leaves the others to be unlinked, and the unit may hold the failed
  // chain's members unlinked or not: the views read what it holds.
  bool unlinked = true;
  for (TFilter* filter : Selection()) {
    unlinked = GuardedUnitCall(device_, [&] { UnlinkChain(device_, *filter, *this); }) && unlinked;
  }
  if (!unlinked) ResyncAfterFailure();
}

void TFilterListWindow::CmCopyToChannel(int channel) {
  const std::vector<TFilter*> sources = Selection();
  int parametric = 0;
  int sections = 0;
  for (const TFilter* filter : sources) {
    if (filter->typeCode == kFilterParametric) {
      ++parametric;
    } else {
      sections += filter->GetDSPSections();
    }
  }
  controls::OneReportScope command;
  bool room = false;
  if (!GuardedUnitCall(device_, [&] {
        room = device_.CanAddSections(kParametricSections, parametric, kOtherSections, sections);
      })) {
    return;
  }
  if (!room) {
    ui::MessageBox(this, "Insufficient DSP Capacity", "Copy filters",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  if (!Confirmed(this, "Copy selected filters?", "")) return;
  std::vector<TFilter*> added;
  if (!GuardedUnitCall(device_, [&] {
        for (const TFilter* filter : sources) {
          added.push_back(filter->CloneToChannel(device_, channel));
        }
      })) {
    // The unit may hold a copy the program never finished: the views read what it holds.
    ResyncAfterFailure();
    return;
  }
  GuardedUnitCall(device_, [&] { device_.RecountDspUse(); });
  NotifyRecord record{FilterAdded, channel, 1, &added};
  NotifyRoot(&record);
}

void TFilterListWindow::CmMoveToChannel(int channel) {
  if (!Confirmed(this, "Move selected filters?", "")) return;
  controls::OneReportScope command;
  // A filter that has left the unit is put on the other channel even when a later removal fails,
  // so that none is lost; the windows hear of every one that moved.
  std::vector<std::unique_ptr<TFilter>> moved;
  const bool allTaken = GuardedUnitCall(device_, [&] {
    for (TFilter* filter : Selection()) {
      if (auto taken = device_.RemoveFilter(filter)) moved.push_back(std::move(taken));
    }
  });
  std::vector<TFilter*> added;
  const bool allPlaced = GuardedUnitCall(device_, [&] {
    for (const auto& filter : moved) added.push_back(filter->CloneToChannel(device_, channel));
  });
  if (!allTaken || !allPlaced) {
    // A refused step may have been carried out all the same: the views read what the unit holds.
    ResyncAfterFailure();
    return;
  }
  std::vector<TFilter*> gone;
  for (const auto& filter : moved) gone.push_back(filter.get());
  NotifyRecord removed{FilterRemoved, panes_.channel, 1, &gone};
  NotifyRoot(&removed);
  moved.clear();
  GuardedUnitCall(device_, [&] { device_.RecountDspUse(); });
  NotifyRecord addedRecord{FilterAdded, channel, 1, &added};
  NotifyRoot(&addedRecord);
}

void TFilterListWindow::CmSelectAll() {
  SelectFilters(Rows());
  SelectionChanged();
}

void TFilterListWindow::CmSelectZeroDb() {
  std::vector<TFilter*> flat;
  for (TFilter* filter : Rows()) {
    if ((filter->typeCode == kFilterParametric || filter->typeCode == kFilterBoostCut) &&
        std::fabs(filter->GetLevel()) < kZeroDbTolerance) {
      flat.push_back(filter);
    }
  }
  SelectFilters(flat);
  SelectionChanged();
}

void TFilterListWindow::CmPrint() { PrintChannelFilterListing(device_, *this, panes_.channel); }

void TFilterListWindow::ColumnClicked(int column) {
  if (column == kFrequencyColumn) {
    sortByCreation_ = !sortByCreation_;
    FillRows();
  } else if (column == kParam2Column) {
    device_.useQ = device_.useQ != 0 ? 0 : 1;
    FillRows();
    device_.WriteOption("Use Q", static_cast<uint32_t>(device_.useQ));
  }
}

bool TFilterListWindow::PreProcessKey(const ui::KeyStroke& key) {
  if (!key.down || key.code != ui::key::kDelete || key.modifiers != ui::kNoModifier) return false;
  if (HasSelection()) ui::Application::Instance()->RouteCommand(kCmDelete, this);
  return true;
}

void TFilterListWindow::PopupMenu() {
  ui::MenuItemTemplate copyTo{"&Copy to", 0, {}};
  ui::MenuItemTemplate moveTo{"&Move to", 0, {}};
  // A name that cannot be read leaves the channel's label; the menu is shown all the same.
  GuardedUnitCall(device_, [&] {
    for (int channel : device_.ChannelIndexes()) {
      if (channel == panes_.channel) continue;
      gChannelNameObject.SetElement(std::min(channel, gChannelNameObject.GetCount() - 1));
      const std::string name = gChannelNameObject.Read(device_);
      copyTo.items.push_back({name, kCmFirstCopyToChannel + channel, {}});
      moveTo.items.push_back({name, kCmFirstMoveToChannel + channel, {}});
    }
  });
  const ui::MenuItemTemplate separator;
  ui::Menu menu({{"&Bypass", kCmBypass, {}},
                 {"E&nable", kCmEnable, {}},
                 {"&Unlink", kCmUnlink, {}},
                 {"&Delete", kCmDelete, {}},
                 separator,
                 copyTo,
                 moveTo,
                 separator,
                 {"Select &all", kCmSelectAll, {}},
                 {"Select &0dB", kCmSelectZeroDb, {}},
                 separator,
                 {"&Print...", kCmPrint, {}}});
  menu.TrackAtCursor(*this);
}

void TFilterListWindow::NotifyRemoved(NotifyRecord& record) {
  for (TFilter* filter : RecordFilters(record)) {
    if (!filter->crossover) DeleteRow(filter);
  }
  SelectionChanged();
  GuardedUnitCall(device_, [this] { device_.RecountDspUse(); });
}

void TFilterListWindow::Notify(NotifyRecord* record) {
  const bool ownChannel = record->channel == panes_.channel;
  switch (record->code) {
    case FilterAdded:
      if (ownChannel) {
        for (TFilter* filter : RecordFilters(*record)) {
          if (!filter->crossover) InsertRow(filter);
        }
      }
      break;
    case FilterRemoved:
      NotifyRemoved(*record);
      break;
    case FilterChanged:
      for (TFilter* filter : RecordFilters(*record)) UpdateRow(filter);
      // A new frequency may move a row, as a freshly filled list would sort it.
      if (!RowsInOrder()) FillRows();
      break;
    case FilterSelected:
      if (ownChannel && record->flag == 0) {
        auto* filter = static_cast<TFilter*>(record->pointer);
        SelectFilters(filter != nullptr ? std::vector<TFilter*>{filter} : std::vector<TFilter*>{});
        KeepSelection(SelectedRows());
      }
      break;
    case RefreshAll:
    case FilterSetChanged:
      // The unit's filters may all be new ones: rows must not point at the old.
      FillRows();
      break;
    default:
      break;
  }
  TDataWindow::Notify(record);
}

}  // namespace namespaceOV
