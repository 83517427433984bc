#include "familyov/filters/TFilterEditor.h"

#include <algorithm>
#include <optional>
#include <string>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/filters/OctaveArray.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/MessageBox.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace namespaceOV {

using namespace ovfilter_res;

namespace {

constexpr int kFrameLeft = 100;
constexpr int kFrameTop = 100;
constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 400;
constexpr int kParameterHeightLayoutUnits = 40;
constexpr int kCountWidthLayoutUnits = 15;
constexpr int kCountTextWidth = 23;
constexpr int kCountTextHeight = 74;
constexpr double kListShare = 0.5;
constexpr int kSplitterHandleWidth = 8;

// The commands that add one filter, with the type each adds.
struct AddCommand {
  int command;
  int typeCode;
};
constexpr AddCommand kAddCommands[] = {
    {kCmParametric, kFilterParametric},  {kCmLowpass, kFilterLowpass},
    {kCmHighpass, kFilterHighpass},      {kCmLowShelving, kFilterLowShelf},
    {kCmHighShelving, kFilterHighShelf}, {kCmAllpass, kFilterAllpass},
    {kCmCDHorn, kFilterCDHorn},
};

}  // namespace

int ChannelsReceivingNewFilter(const IQDeviceOrdavinex& device, int channel) {
  const auto linked = [&](int c) {
    return c >= 0 && c < kMaxChannels && device.linkedChannels[static_cast<std::size_t>(c)];
  };
  if (!linked(channel)) return 1;
  int count = 1;
  for (const int c : device.ChannelIndexes()) {
    if (c != channel && linked(c)) ++count;
  }
  return count;
}

// The splitter.

TFilterSplitter::TFilterSplitter(ui::Window* parent, FilterEditorPanes& panes)
    : ui::Splitter(parent), TDataWindow(parent), panes_(panes) {
  panes_.splitter = this;
  MakePanes();
}

TFilterSplitter::~TFilterSplitter() {
  Destroy();
  panes_.splitter = nullptr;
}

void TFilterSplitter::MakePanes() {
  list_ = std::make_unique<TFilterListWindow>(this, panes_);
  graph_ = std::make_unique<TFilterGraphWindow>(this, panes_);
  SetFirstShare(kListShare);
}

bool TFilterSplitter::IsListOpen() const { return list_ != nullptr && IsPaneOpen(*list_); }

bool TFilterSplitter::IsGraphOpen() const { return graph_ != nullptr && IsPaneOpen(*graph_); }

void TFilterSplitter::ReopenList() {
  if (list_ != nullptr) ReopenPane(*list_);
}

void TFilterSplitter::ReopenGraph() {
  graph_.reset();
  list_.reset();
  MakePanes();
  if (!IsCreated()) return;
  list_->Create();
  if (graph_) graph_->Create();
  ui::Splitter::SetupWindow();
}

void TFilterSplitter::ToggleGraphPhase() {
  if (IsGraphOpen()) panes_.graph->CmShowPhase();
}

// The count window.

TFilterCountWindow::TFilterCountWindow(ui::Window* parent, FilterEditorPanes& panes)
    : ui::Window(parent), TDataWindow(parent), panes_(panes), count_(this, kRemainingCount) {
  panes_.count = this;
  count_.SetRect({0, 0, kCountTextWidth, kCountTextHeight});
  // A click on the count asks for the DSP capacity window, as the editor's menu does.
  OnCommand(kRemainingCount, [this] { Parent()->Commands().Run(kCmDspCapacity); });
}

TFilterCountWindow::~TFilterCountWindow() {
  Destroy();
  panes_.count = nullptr;
}

void TFilterCountWindow::SetupWindow() { ShowCount(); }

void TFilterCountWindow::ShowCount() {
  // A count over filters that may not be the unit's is no count.
  const std::optional<int> free = panes_.device->DspFigure(panes_.device->freeSections);
  count_.SetText(free ? std::to_string(*free) : controls::kUnknownValue);
}

void TFilterCountWindow::Notify(NotifyRecord* record) {
  ShowCount();
  TDataWindow::Notify(record);
}

// The parameter window.

TFilterParameterWindow::TFilterParameterWindow(ui::Window* parent, FilterEditorPanes& panes)
    : ui::Window(parent), TDataWindow(parent), panes_(panes) {
  panes_.parameters = this;
  Show(nullptr);
}

TFilterParameterWindow::~TFilterParameterWindow() {
  Destroy();
  panes_.parameters = nullptr;
}

void TFilterParameterWindow::Show(TFilter* filter) {
  if (dialog_ != nullptr) dialog_->Destroy();
  retired_ = std::move(dialog_);
  shown_ = filter;
  dialog_ = CreateFilterDialog(filter != nullptr ? filter->typeCode : 0, *panes_.device, this);
  dialog_->SetFilter(filter);
  if (IsCreated()) {
    dialog_->Create();
    dialog_->Show();
  }
}

void TFilterParameterWindow::Notify(NotifyRecord* record) {
  if (record->code == FilterSelected && record->channel == panes_.channel) {
    TFilter* filter = nullptr;
    if (record->flag == 1) {
      const auto* list = static_cast<const std::vector<TFilter*>*>(record->pointer);
      if (list != nullptr && list->size() == 1) filter = list->front();
    } else {
      filter = static_cast<TFilter*>(record->pointer);
    }
    Show(filter);
  } else if (record->code == FilterRemoved && shown_ != nullptr) {
    bool gone = record->pointer == shown_;
    if (record->flag == 1 && record->pointer != nullptr) {
      const auto* list = static_cast<const std::vector<TFilter*>*>(record->pointer);
      gone = std::find(list->begin(), list->end(), shown_) != list->end();
    }
    if (gone) Show(nullptr);
  } else if (record->code == FilterSetChanged && !panes_.device->Holds(shown_)) {
    Show(nullptr);
  }
  TDataWindow::Notify(record);
}

// The layout window.

TFilterLayoutWindow::TFilterLayoutWindow(ui::Window* parent, IQDeviceOrdavinex& device, int channel)
    : ui::LayoutWindow(parent), TDataWindow(parent) {
  panes_.device = &device;
  panes_.channel = channel;
  parameters_ = std::make_unique<TFilterParameterWindow>(this, panes_);
  splitter_ = std::make_unique<TFilterSplitter>(this, panes_);
  count_ = std::make_unique<TFilterCountWindow>(this, panes_);

  using ui::Edge;
  using ui::EdgeRule;
  SetChildMetrics(*parameters_,
                  {EdgeRule::SameAs(Edge::Left, count_.get(), Edge::Right),
                   EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                   EdgeRule::Absolute(Edge::Height, kParameterHeightLayoutUnits, true),
                   EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(*splitter_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                               EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                               EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                               EdgeRule::SameAs(Edge::Bottom, parameters_.get(), Edge::Top)});
  SetChildMetrics(*count_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                            EdgeRule::Absolute(Edge::Width, kCountWidthLayoutUnits, true),
                            EdgeRule::Absolute(Edge::Height, kParameterHeightLayoutUnits, true),
                            EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetupCommands();
  SetupListCommands();
}

TFilterLayoutWindow::~TFilterLayoutWindow() { Destroy(); }

void TFilterLayoutWindow::SetupCommands() {
  for (const AddCommand& add : kAddCommands) {
    OnCommand(add.command, [this, type = add.typeCode] { AddFilter(type); });
  }
  OnCommand(kCmOctaveArray,
            [this] { RunOctaveArrayCommand(*this, *this, *panes_.device, panes_.channel); });
  OnCommand(kCmShowList, [this] { splitter_->ReopenList(); });
  OnEnable(kCmShowList, [this](ui::CommandState& s) { s.enabled = !splitter_->IsListOpen(); });
  OnCommand(kCmShowGraph, [this] { splitter_->ReopenGraph(); });
  OnEnable(kCmShowGraph, [this](ui::CommandState& s) { s.enabled = !splitter_->IsGraphOpen(); });
  OnCommand(kCmShowPhase, [this] { splitter_->ToggleGraphPhase(); });
  OnEnable(kCmShowPhase, [this](ui::CommandState& s) {
    const int c = panes_.channel;
    s.checked = c >= 0 && c < kMaxChannels && panes_.device->showPhase[static_cast<std::size_t>(c)];
  });
  OnCommand(kCmFilterLinking, [this] { OpenEditWindowChild(&NodeIds::linking); });
  OnCommand(kCmDspCapacity, [this] { OpenEditWindowChild(&NodeIds::dspCapacity); });
}

void TFilterLayoutWindow::SetupListCommands() {
  // The list carries out the commands on its selection; closed, it offers none.
  const auto onList = [this](int id, auto action, auto enabled) {
    OnCommand(id, [this, action] {
      if (panes_.list != nullptr) action(*panes_.list);
    });
    OnEnable(id, [this, enabled](ui::CommandState& s) {
      s.enabled = panes_.list != nullptr && splitter_->IsListOpen() && enabled(*panes_.list);
    });
  };
  const auto selected = [](TFilterListWindow& l) { return l.HasSelection(); };
  const auto hasRows = [](TFilterListWindow& l) { return l.HasRows(); };
  const auto copyable = [](TFilterListWindow& l) {
    return l.HasSelection() && l.SelectionNoneLinked();
  };
  onList(
      kCmBypass, [](TFilterListWindow& l) { l.CmBypass(true); }, selected);
  onList(
      kCmEnable, [](TFilterListWindow& l) { l.CmBypass(false); }, selected);
  onList(
      kCmDelete, [](TFilterListWindow& l) { l.CmDelete(); }, selected);
  onList(
      kCmUnlink, [](TFilterListWindow& l) { l.CmUnlink(); },
      [](TFilterListWindow& l) { return l.HasSelection() && l.SelectionAllLinked(); });
  onList(
      kCmSelectAll, [](TFilterListWindow& l) { l.CmSelectAll(); }, hasRows);
  onList(
      kCmSelectZeroDb, [](TFilterListWindow& l) { l.CmSelectZeroDb(); }, hasRows);
  onList(
      kCmPrint, [](TFilterListWindow& l) { l.CmPrint(); }, hasRows);
  // A copy or a move writes the selected filters whole, as the program's copy holds them; the list
  // chooses the same filters again among those read again.
  const auto settledFirst = [this](auto action) {
    return [this, action](TFilterListWindow& l) {
      if (controls::SettleCopy(*panes_.device)) action(l);
    };
  };
  for (int c = 0; c < kMaxChannels; ++c) {
    onList(kCmFirstCopyToChannel + c,
           settledFirst([c](TFilterListWindow& l) { l.CmCopyToChannel(c); }), copyable);
    onList(kCmFirstMoveToChannel + c,
           settledFirst([c](TFilterListWindow& l) { l.CmMoveToChannel(c); }), copyable);
  }
}

void TFilterLayoutWindow::AddFilter(int typeCode) {
  IQDeviceOrdavinex& device = *panes_.device;
  std::unique_ptr<TFilter> filter = MakeFilter(typeCode);
  if (filter == nullptr) return;
  // The add, its copies to linked channels and the read of what the unit holds after a failure
  // tell of one failure once.
  controls::OneReportScope command;
  const int receivers = ChannelsReceivingNewFilter(device, panes_.channel);
  device.LoadFilterDefaults(*filter);
  const int total = receivers * filter->GetDSPSections();
  const int kind = typeCode == kFilterParametric ? kParametricSections : kOtherSections;
  bool room = false;
  if (!GuardedUnitCall(device, [&] { room = device.CanAddSections(kind, total); })) return;
  if (!room) {
    ui::MessageBox(this, "Insufficient DSP capacity", "Add filter",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  filter->channel = panes_.channel;
  const bool added = GuardedUnitCall(device, [&] {
    const familycommon::FilterHandle<TFilter> made = device.CreateFilter(std::move(filter));
    NotifyRecord addedRecord{FilterAdded, panes_.channel, 0, made.get()};
    NotifyRoot(&addedRecord);
    // Gone when copying it to linked channels failed and the views read the unit again.
    if (made == nullptr) return;
    NotifyRecord selected{FilterSelected, panes_.channel, 0, made.get()};
    NotifyRoot(&selected);
  });
  // The unit may hold the new filter half written, or not at all: the lists show what it holds.
  if (!added) GuardedUnitCall(device, [&] { device.ResyncFilterViews(); });
}

void TFilterLayoutWindow::OpenEditWindowChild(int NodeIds::*node) {
  if (auto* editWindow = dynamic_cast<TEditOVWindow*>(RootLink())) {
    editWindow->OpenChildWindow(editWindow->Ids().*node);
  }
}

// The frame.

TFilterDecoratedFrame::TFilterDecoratedFrame(TEditOVWindow& editWindow, int channel)
    : OVChild<ui::Frame>(editWindow, "Filters", "Filters", nullptr),
      channel_(channel),
      layout_(std::make_unique<TFilterLayoutWindow>(this, Device(), channel)) {
  SetClient(layout_.get());
  SetRect({kFrameLeft, kFrameTop, kFrameLeft + kFrameWidth, kFrameTop + kFrameHeight});
  SetIcon(Device().GetModelBitmapId());
  SetMenu(kFilterEditorMenu);
  AddStatusBar();
  const std::pair<int, int> buttons[] = {
      {kCmParametric, kParametricButton},
      {kCmLowpass, kLowpassButton},
      {kCmHighpass, kHighpassButton},
      {kCmLowShelving, kLowShelfButton},
      {kCmHighShelving, kHighShelfButton},
      {kCmAllpass, kAllpassButton},
      {0, 0},
      {kCmBypass, kBypassButton},
      {kCmEnable, kEnableButton},
      {kCmUnlink, kUnlinkButton},
      {0, 0},
      {kCmDelete, kDeleteButton},
  };
  for (const auto& [command, image] : buttons) {
    if (command == 0) {
      AddToolSeparator();
    } else {
      AddToolButton(command, ui::Resources::Image(image));
    }
  }
  ShowTitle();
}

TFilterDecoratedFrame::~TFilterDecoratedFrame() { Destroy(); }

void TFilterDecoratedFrame::SetupWindow() {
  ui::Frame::SetupWindow();
  // The list takes half the width, and shows every column at its first size.
  if (TFilterListWindow* list = layout_->Panes().list) {
    WidenToShow(*this, 2 * list->List().FullWidth() + kSplitterHandleWidth);
  }
}

void TFilterDecoratedFrame::ShowTitle() {
  GuardedUnitCall(Device(), [this] {
    gChannelNameObject.SetElement(std::min(channel_, gChannelNameObject.GetCount() - 1));
    SetTitle(gChannelNameObject.Read(Device()) + " Filters");
  });
}

void TFilterDecoratedFrame::Notify(NotifyRecord* record) {
  if (record->code == ChannelRenamed && record->channel == channel_) ShowTitle();
  TDataWindow::Notify(record);
}

}  // namespace namespaceOV
