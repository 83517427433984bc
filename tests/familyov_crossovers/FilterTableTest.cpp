// Every control of a channel's filter editor and of the crossover editor, with the drags and drops
// of their graphs, the copies dropped on the network tree and the modal dialogs they open, changed
// under the five conditions of testsupport::Conditions: one report per failed action, never a
// filter or crossover the unit does not hold, in a window or in the program's model, and once the
// unit answers every open window and the model as a freshly read unit shows them.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "familycommon/GraphContexts.h"
#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/TCrossoverEditor.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/ControlTable.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/FaultKinds.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using sim::familyov::Model;
using testsupport::NamedChange;

constexpr int kAddress = 5;
constexpr int kRefusal = 3;
constexpr int kTestedChannel = 1;
// The unit's outputs from channel 4 in pairs: A and B form network 1, C and D network 2, E and F
// network 3.
constexpr int kOutputA = 0;
constexpr int kOutputB = 1;
constexpr int kOutputC = 2;
constexpr int kOutputD = 3;
constexpr int kOutputE = 4;

// A change of filters writes several objects and stops at the first write that fails. A failure
// meets the change's first write, but the answer lost after the unit carried the change out, and
// every failure of a row that says so, meet the write that decides it (a filter's command, a
// bypass, a polarity, a network), its last but for the end of a filter update, the steps before it
// answered.
constexpr int kDecidingWrites[] = {
    sim::familyov::object::kFilterCommand, sim::familyov::object::kFilterBypassSet,
    sim::familyov::object::kPolarity, sim::familyov::object::kCrossoverNetwork};

class FilterTable;

// What the user types into a field: a frequency, or a value inside the field's own range.
std::string TypedInto(ui::Window& field) {
  using namespace ovfilterdlg_res;
  const auto* edit = dynamic_cast<ui::Control*>(&field);
  if (edit == nullptr || dynamic_cast<TFilterDialog*>(field.Parent()) == nullptr) return "1500";
  switch (edit->Id()) {
    case kLevelEdit:
      return "-3.0";
    case kQEdit:
      return "20.0";
    case kBandwidthEdit:
      return "0.050";
    default:
      return "1500";
  }
}

// Controls the walk leaves alone. Those a filter dialog keeps only because its resource has always
// held them change nothing: the shelving filters' slope arrows (no id), and the boost/cut
// filter's Q, frequency spin and bandwidth slider.
bool LeftAlone(ui::Window& control) {
  using namespace ovfilterdlg_res;
  const auto* shown = dynamic_cast<ui::Control*>(&control);
  if (shown == nullptr) return false;
  const int id = shown->Id();
  ui::Window* pane = control.Parent();
  const bool shelf = dynamic_cast<TLowshelfDialog*>(pane) != nullptr ||
                     dynamic_cast<THighshelfDialog*>(pane) != nullptr;
  // The parametric filter's bandwidth slider draws its scale under it, and its thumb is not where
  // the walk's drag looks for it: BandwidthKeys moves it.
  if (dynamic_cast<TParametricDialog*>(pane) != nullptr && id == kBandwidthSlider) return true;
  // A crossover dialog's row without a crossover greys its frequency field alone: its spin and its
  // order arrows have nothing to change.
  if (dynamic_cast<TCrossoverDialog*>(pane) != nullptr) {
    using namespace ovcrossover_res;
    const bool low = id == kLowQuad || id == kLowOrder;
    if (low || id == kHighQuad || id == kHighOrder) {
      return !ui::test::ControlOf(*pane, low ? kLowFrequency : kHighFrequency).IsEnabled();
    }
  }
  return (shelf && id == 0 && dynamic_cast<ui::UpDown*>(&control) != nullptr) ||
         (dynamic_cast<TOctaveDialog*>(pane) != nullptr &&
          (id == kQEdit || id == kFrequencyQuad || id == kBandwidthSlider));
}

// A window of the table: how to find it among the open ones, the filter the list selects first
// (its dialog is the one the editor shows), the changes the sweep does not know of, and the output
// the network tree selects (the crossover dialog shows its crossovers).
struct TableWindow {
  const char* name;
  ui::Window& (*find)(FilterTable&);
  int selectedType;
  std::vector<NamedChange> (*more)(FilterTable&);
  int selectedOutput = kOutputA;
  // Each failure meets the write that decides the change, the unit taking every step before it,
  // rather than the change's first write.
  bool failsDecidingWrite = false;
};

void PrintTo(const TableWindow& window, std::ostream* out) { *out << window.name; }

// The program's model of the unit, a line per channel and per output so that the lines stay the
// same in number whatever a change adds or removes; unknown while its filters may not be the
// unit's.
std::vector<std::string> ModelLines(IQDeviceOrdavinex& device) {
  std::vector<std::string> lines;
  const bool unknown = device.FiltersStale();
  const auto describe = [&](const TFilter& f) {
    return FilterTypeName(f.typeCode) + " " + f.FormatFrequency(true) + " " + f.FormatParam1(true) +
           " " + f.FormatParam2(true, true) + (f.bypass ? " bypassed" : "") + " link " +
           std::to_string(f.linkNumber) + "; ";
  };
  for (const int channel : device.ChannelIndexes()) {
    std::string filters;
    for (const auto& f : device.Filters()) {
      if (f->channel == channel) filters += describe(*f);
    }
    lines.push_back("model/channel " + std::to_string(channel) +
                    " filters: " + (unknown ? "?" : filters));
  }
  for (int o = 0; o < device.outputs; ++o) {
    std::string crossovers;
    for (const CrossoverSide side : {CrossoverSide::kLow, CrossoverSide::kHigh}) {
      if (const TFilter* edge = CrossoverOf(device, o, side)) {
        crossovers += describe(*edge) + "type " + std::to_string(CrossoverType(*edge)) + " order " +
                      std::to_string(CrossoverOrder(*edge)) + "; ";
      }
    }
    lines.push_back("model/output " + std::to_string(o) +
                    " crossovers: " + (unknown ? "?" : crossovers));
  }
  return lines;
}

// A filter list whose rows name their filters alone shows the filters' values unknown.
std::string UnknownRowsAsUnknown(std::string line) {
  const std::size_t items = line.find("list view: ");
  if (items == std::string::npos) return line;
  const std::string rows = line.substr(items + 11) + "|";
  for (std::size_t end = rows.find('|'); end != std::string::npos; end = rows.find('|', end + 1)) {
    if (end == 0 || rows[end - 1] != '/') return line;
  }
  return line.substr(0, items) + "list view: ?";
}

class FilterTable : public testing::TestWithParam<std::tuple<TableWindow, testsupport::Condition>> {
 public:
  FilterTable() {
    bus.port.SetRetries(0);
    bus.AddModelUnit(Model::k8148, kAddress);
    device = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    device->autoOpenSummary = 0;
    PutFiltersOnUnit();
    ovtest::ReportedErrors().clear();
    OnScreen() = this;
    previousReporter_ = SetCommErrorReporter([](const IQException& error, IQDevice& unit) {
      previousReporter_(error, unit);
      OnScreen()->Told();
    });
  }
  ~FilterTable() override {
    SetCommErrorReporter(previousReporter_);
    OnScreen() = nullptr;
  }

  TFilterDecoratedFrame& FilterEditor() {
    return dynamic_cast<TFilterDecoratedFrame&>(
        *edit->ChildWindow(edit->Ids().firstChannel + kTestedChannel));
  }
  TCrossoverLayoutWindow& Crossovers() {
    return dynamic_cast<TCrossoverDecoratedFrame&>(*edit->ChildWindow(edit->Ids().crossovers))
        .Layout();
  }
  FilterEditorPanes& Panes() { return FilterEditor().Layout().Panes(); }
  // A command of a window's menu or tool bar, as the user gives it.
  NamedChange Command(const std::string& name, ui::Window& (*window)(FilterTable&), int id) {
    return {name, [this, window, id](ui::Window&) {
              ui::Application::Instance()->RouteCommand(id, &window(*this));
            }};
  }
  // A drag from `from` to `to` on a graph, in steps, let go at the end.
  static void Drag(ui::Window& graph, ui::Point from, ui::Point to) {
    ui::test::MouseDown(graph, from);
    ui::test::MouseMove(graph, {(from.x + to.x) / 2, (from.y + to.y) / 2});
    ui::test::PumpMessages();
    ui::test::MouseMove(graph, to);
    ui::test::PumpMessages();
    ui::test::MouseUp(graph, to);
    ui::test::PumpMessages();
  }
  // Where the crossover graph draws output `output`'s icon on `side`.
  ui::Point CrossoverIconPixel(int output, CrossoverSide side) {
    TCrossoverGraphWindow& graph = Crossovers().Graph();
    for (const auto& icon : graph.Icons().All()) {
      if (&icon->Filter() != CrossoverOf(*device, output, side)) continue;
      QImage scratch(1, 1, QImage::Format_RGB32);
      ui::Dc dc(scratch);
      familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
      const ui::Point up = freq.ValueToPoint(icon->position, false);
      return dc.Mapping().ToDevice({up.x, -up.y});
    }
    throw std::logic_error("no such icon");
  }
  // A drag of one tree item onto another, as the network tree takes it.
  void DropOnTree(ui::TreeItem from, ui::TreeItem to) {
    TCrossoverNetworkWindow& networks = Crossovers().NetworkTree();
    ui::TreeView& tree = networks.Tree();
    networks.SendNotify({.controlId = tree.Id(),
                         .code = ui::Notify::BeginDrag,
                         .control = &tree,
                         .value = reinterpret_cast<ui::Param>(from.node)});
    for (int y = 0; y < tree.ClientRect().bottom; ++y) {
      if (tree.HitTest({20, y}) != to) continue;
      const ui::Point drop = networks.ScreenToClient(tree.ClientToScreen({20, y}));
      ui::test::MouseMove(networks, drop);
      ui::test::MouseUp(networks, drop);
      return;
    }
    throw std::logic_error("no such item on the screen");
  }
  // Output `output`'s item in the network tree.
  ui::TreeItem OutputItem(int output) {
    ui::TreeView& tree = Crossovers().NetworkTree().Tree();
    for (ui::TreeItem network = tree.FirstRoot(); network; network = tree.NextSibling(network)) {
      for (ui::TreeItem item = tree.FirstChild(network); item; item = tree.NextSibling(item)) {
        if (tree.ItemData(item) == device->firstOutput + output) return item;
      }
    }
    throw std::logic_error("no such output");
  }

  // Every window the table looks at, the tested one's selection made as a user would.
  void OpenAll() {
    edit = std::make_unique<TEdit8148Window>(nullptr, *device);
    edit->Create();
    edit->OpenChildWindow(edit->Ids().firstChannel + kTestedChannel);
    edit->OpenChildWindow(edit->Ids().crossovers);
    FilterEditor().Show();
    Crossovers().Parent()->Show();
    ui::test::PumpMessages();
    const TableWindow& window = std::get<0>(GetParam());
    ui::TreeView& networks = Crossovers().NetworkTree().Tree();
    networks.Select(OutputItem(window.selectedOutput));
    const int type = window.selectedType;
    TFilterListWindow& list = *Panes().list;
    for (int row = 0; row < list.List().Count(); ++row) {
      if (list.Rows().at(static_cast<std::size_t>(row))->typeCode != type) continue;
      list.List().SelectItem(row);
      list.SendNotify({.controlId = ovfilter_res::kFilterList,
                       .code = ui::Notify::ItemChanged,
                       .control = &list.List()});
    }
    ui::test::PumpMessages();
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (const std::string& line : testsupport::ShownControls(Tested())) {
      shown.push_back("tested/" + UnknownRowsAsUnknown(line));
    }
    for (const int slot : {edit->Ids().firstChannel + kTestedChannel, edit->Ids().crossovers}) {
      for (const std::string& line : testsupport::ShownControls(*edit->ChildWindow(slot))) {
        shown.push_back(std::to_string(slot) + "/" + UnknownRowsAsUnknown(line));
      }
    }
    for (std::string& line : ModelLines(*device)) shown.push_back(std::move(line));
    return shown;
  }
  std::vector<std::string> Fresh() {
    edit.reset();
    ui::test::PumpMessages();
    device->InvalidateValues();
    device->ReadDeviceParameters();
    OpenAll();
    ui::test::PumpIdle(20);
    ui::test::RestIdle();
    return Shown();
  }
  ui::Window& Tested() { return std::get<0>(GetParam()).find(*this); }

  // `shown`, the first look at the windows since a failure was told, is what they already showed
  // while its box was open.
  void ExpectShownWhenTold(const std::vector<std::string>& shown) {
    const std::optional<std::vector<std::string>> told = std::exchange(shownWhenTold_, {});
    if (!told) return;
    EXPECT_EQ(told->size(), shown.size());
    for (std::size_t i = 0; i < std::min(told->size(), shown.size()); ++i) {
      if ((*told)[i] != shown[i]) {
        ADD_FAILURE() << "while the failure's box was open showed " << (*told)[i]
                      << ", once it closed " << shown[i];
      }
    }
  }

  testsupport::ControlTableHooks Hooks() {
    testsupport::ControlTableHooks hooks;
    hooks.tested = [this]() -> ui::Window& { return Tested(); };
    hooks.shown = [this] {
      std::vector<std::string> shown = Shown();
      ExpectShownWhenTold(shown);
      return shown;
    };
    hooks.inTested = [](const std::string& line) {
      return line.starts_with("tested/") || line.starts_with("model/");
    };
    hooks.fresh = [this] { return Fresh(); };
    hooks.fail = [this](const sim::Fault& fault) {
      const bool atDecidingWrite =
          fault.opcode == sim::kOpcodeSet &&
          (fault.kind == sim::FaultKind::kSilence || std::get<0>(GetParam()).failsDecidingWrite);
      if (!atDecidingWrite) {
        bus.bus.AddFault(fault.ForUnit(kAddress));
        return;
      }
      for (const int object : kDecidingWrites) {
        bus.bus.AddFault(fault.ForObject(object).ForUnit(kAddress));
      }
    };
    hooks.answerAgain = [this] {
      bus.bus.ClearFaults();
      testsupport::ResumePollsAndSettle();
    };
    hooks.takeReports = [] { return std::exchange(ovtest::ReportedErrors(), {}).size(); };
    hooks.sweep.typed = [](ui::Window& field) -> std::optional<std::string> {
      return TypedInto(field);
    };
    // The filter list and the network tree choose what the editors show and write nothing; the
    // table chooses through them as it opens the windows.
    hooks.sweep.skip = [](ui::Window& control) {
      return dynamic_cast<ui::ListView*>(&control) != nullptr ||
             dynamic_cast<ui::TreeView*>(&control) != nullptr || LeftAlone(control);
    };
    const auto more = std::get<0>(GetParam()).more;
    if (more != nullptr) {
      hooks.sweep.more = [this, more](ui::Window& window) {
        return &window == &Tested() ? more(*this) : std::vector<NamedChange>{};
      };
    }
    return hooks;
  }

  ovtest::FamilyBus bus;
  IQ8148Type type;
  IQDevice8148* device = nullptr;
  std::unique_ptr<TEditOVWindow> edit;

 private:
  // The table whose windows are open, for the family's error reporter, which takes no closure.
  static FilterTable*& OnScreen() {
    static FilterTable* table = nullptr;
    return table;
  }
  // The error box stands over the windows: from the moment it opens they must show what they show
  // once it is closed, the unit's values or unknown, never the change the unit failed.
  void Told() {
    if (edit != nullptr && !shownWhenTold_) shownWhenTold_ = Shown();
  }
  static inline CommErrorReporter previousReporter_ = nullptr;
  std::optional<std::vector<std::string>> shownWhenTold_;

  // A filter of each kind on the tested channel, and a two-way crossover on network 1 and on
  // network 2, so that every control and every drag has something to change.
  void PutFiltersOnUnit() {
    const auto add = [this](std::unique_ptr<TFilter> filter, int frequency) {
      filter->channel = kTestedChannel;
      filter->frequency = frequency;
      device->CreateFilter(std::move(filter));
    };
    // Each level below the top, so that a step up changes it.
    const auto lowered = [](auto filter) {
      filter->level = -6.0f;
      return filter;
    };
    add(std::make_unique<TParametricFilter>(), 1000);
    add(std::make_unique<TLowpassFilter>(), 8000);
    add(std::make_unique<THighpassFilter>(), 60);
    add(lowered(std::make_unique<TLowshelfFilter>()), 200);
    add(lowered(std::make_unique<THighshelfFilter>()), 6000);
    add(std::make_unique<TAllpassFilter>(), 500);
    add(std::make_unique<TCDHornFilter>(), 3000);
    add(lowered(std::make_unique<TOctaveFilter>()), 2000);
    // Output A, the one the crossover dialog shows, has both edges, each of a type with a next
    // one; every output differs from the one a copy puts on it.
    CrossoverChanges changes(*device, nullptr);
    changes.SetType(kOutputA, CrossoverSide::kLow, kCrossoverBessel);
    changes.SetType(kOutputA, CrossoverSide::kHigh, kCrossoverButterworth);
    changes.SetType(kOutputB, CrossoverSide::kHigh, kCrossoverLinkwitzRiley);
    changes.SetType(kOutputC, CrossoverSide::kLow, kCrossoverButterworth);
    changes.SetType(kOutputD, CrossoverSide::kHigh, kCrossoverButterworth);
  }
};

ui::Window& ListPane(FilterTable& t) { return *t.Panes().list; }
ui::Window& GraphPane(FilterTable& t) { return *t.Panes().graph; }
ui::Window& ParameterDialog(FilterTable& t) { return t.Panes().parameters->Dialog(); }
ui::Window& CrossoverDialog(FilterTable& t) { return t.Crossovers().Dialog(); }
ui::Window& CrossoverGraph(FilterTable& t) { return t.Crossovers().Graph(); }
ui::Window& NetworkTree(FilterTable& t) { return t.Crossovers().NetworkTree(); }

// The editor's tool bar and menu on the selected filter: bypass and enable. Not here: an add, a
// delete, a copy or a move, which choose other filters than a freshly opened editor shows and whose
// every step the editor's own tables stop (BusEditorTest).
std::vector<NamedChange> EditorCommands(FilterTable& t) {
  return {t.Command("bypass", ListPane, ovfilter_res::kCmBypass),
          t.Command("enable", ListPane, ovfilter_res::kCmEnable)};
}

// The parametric filter's bandwidth slider stepped by a key and by a page.
std::vector<NamedChange> BandwidthKeys(FilterTable& t) {
  std::vector<NamedChange> changes;
  for (const int key : {Qt::Key_Right, Qt::Key_PageUp}) {
    changes.push_back({"bandwidth key " + std::to_string(key), [&t, key](ui::Window&) {
                         ui::Window& dialog = ParameterDialog(t);
                         ui::test::PressKey(
                             ui::test::ControlOf(dialog, ovfilterdlg_res::kBandwidthSlider), key);
                         ui::test::PumpMessages();
                       }});
  }
  return changes;
}

// The selected filter dragged across the graph and let go; a level stepped by the keys; the
// pop-up menu's bypass.
std::vector<NamedChange> GraphChanges(FilterTable& t) {
  std::vector<NamedChange> changes;
  changes.push_back({"drag and drop", [&t](ui::Window&) {
                       auto& graph = dynamic_cast<TFilterGraphWindow&>(GraphPane(t));
                       const TFilterIcon* icon = graph.Icons().Selected();
                       if (icon == nullptr) throw std::logic_error("nothing selected");
                       const ui::Point from = graph.PointOf(*icon);
                       FilterTable::Drag(graph, from, {from.x + 40, from.y});
                     }});
  for (const int key : {Qt::Key_Up, Qt::Key_PageDown}) {
    changes.push_back({"key " + std::to_string(key), [&t, key](ui::Window&) {
                         ui::test::PressKey(GraphPane(t), key);
                         ui::test::PumpMessages();
                       }});
  }
  changes.push_back(t.Command("menu bypass", GraphPane, TFilterGraphWindow::kCmBypass));
  return changes;
}

// Output A's crossovers, the ones the graph lets the user drag, dragged along it and let go.
std::vector<NamedChange> CrossoverDrags(FilterTable& t) {
  std::vector<NamedChange> changes;
  for (const CrossoverSide side : {CrossoverSide::kLow, CrossoverSide::kHigh}) {
    changes.push_back(
        {side == CrossoverSide::kLow ? "drag low edge" : "drag high edge", [&t, side](ui::Window&) {
           const ui::Point from = t.CrossoverIconPixel(kOutputA, side);
           FilterTable::Drag(t.Crossovers().Graph(), from, {from.x + 50, from.y});
         }});
  }
  return changes;
}

// Copies dropped on the tree (output B on output C, network 1 on network 2, each confirmed), and
// an output's network chosen in the modal assignment window the menu opens.
std::vector<NamedChange> NetworkDrops(FilterTable& t) {
  std::vector<NamedChange> changes;
  changes.push_back({"drop output on output", [&t](ui::Window&) {
                       t.DropOnTree(t.OutputItem(kOutputB), t.OutputItem(kOutputC));
                     }});
  changes.push_back({"drop network on network", [&t](ui::Window&) {
                       ui::TreeView& tree = t.Crossovers().NetworkTree().Tree();
                       t.DropOnTree(tree.FirstRoot(), tree.NextSibling(tree.FirstRoot()));
                     }});
  changes.push_back(
      {"assign a network", [&t](ui::Window&) {
         ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
         script.RunDialog(ovcrossover_res::kNetworkAssignmentDialog, [&t](ui::Dialog& dialog) {
           auto& window = dynamic_cast<TCrossoverNetworkAssignmentWindow&>(dialog);
           auto& combo = dynamic_cast<ui::ComboBox&>(
               ui::test::ControlOf(window.Pane(kOutputD), ovcrossover_res::kNetworkCombo));
           combo.SetSelection(2);
           combo.Parent()->SendNotify({.controlId = ovcrossover_res::kNetworkCombo,
                                       .code = ui::Notify::SelChange,
                                       .control = &combo});
           // The choice is told while the window is open: its box stands over the window too.
           t.ExpectShownWhenTold(t.Shown());
           dialog.CloseWindow(ui::kIdCancel);
         });
         ui::Application::Instance()->RouteCommand(ovcrossover_res::kCmNetworks, &t.Crossovers());
       }});
  return changes;
}

TEST_P(FilterTable, ShowsWhatTheUnitHoldsWithOneReport) {
  OpenAll();
  testsupport::ControlTableHooks hooks = Hooks();
  testsupport::CheckEveryChange(hooks, std::get<1>(GetParam()));
}

std::string RowName(const testing::TestParamInfo<FilterTable::ParamType>& info) {
  return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
}

// The windows a channel's node and the crossover node open. Not here: the octave array and the
// macro window (a channel's filters made at once, tested with their own rollback tables), the
// linking window (its links live in the program alone), and the graphs' views (zoom, phase, sums:
// the program's alone).
const TableWindow kWindows[] = {
    {"FilterList", ListPane, kFilterParametric, EditorCommands},
    {"FilterGraph", GraphPane, kFilterParametric, GraphChanges},
    {"ParametricDialog", ParameterDialog, kFilterParametric, BandwidthKeys},
    {"LowpassDialog", ParameterDialog, kFilterLowpass, nullptr},
    {"HighpassDialog", ParameterDialog, kFilterHighpass, nullptr},
    {"LowShelfDialog", ParameterDialog, kFilterLowShelf, nullptr},
    {"HighShelfDialog", ParameterDialog, kFilterHighShelf, nullptr},
    {"AllpassDialog", ParameterDialog, kFilterAllpass, nullptr},
    {"CDHornDialog", ParameterDialog, kFilterCDHorn, nullptr},
    {"OctaveDialog", ParameterDialog, kFilterBoostCut, nullptr},
    {"CrossoverDialog", CrossoverDialog, kFilterParametric, nullptr},
    // An output without crossovers: each edge is made from none.
    {"CrossoverDialogFromNone", CrossoverDialog, kFilterParametric, nullptr, kOutputE},
    {"CrossoverGraph", CrossoverGraph, kFilterParametric, CrossoverDrags},
    {"CrossoverNetworkTree", NetworkTree, kFilterParametric, NetworkDrops},
};

INSTANTIATE_TEST_SUITE_P(EveryFilterWindow, FilterTable,
                         testing::Combine(testing::ValuesIn(kWindows),
                                          testing::ValuesIn(testsupport::Conditions(kRefusal))),
                         RowName);

// The same output's edges made from none, each failure meeting the write that makes the crossover
// rather than the first. Only the write failures the table puts on a change's first write meet
// another write here: a refusal and an answer the unit never heard.
const TableWindow kAtLastWrite[] = {{"CrossoverDialogFromNoneAtLastWrite", CrossoverDialog,
                                     kFilterParametric, nullptr, kOutputE, true}};

std::vector<testsupport::Condition> FirstWriteFailures() {
  std::vector<testsupport::Condition> failures;
  for (const testsupport::Condition& condition : testsupport::Conditions(kRefusal)) {
    if (condition.fault && condition.fault->opcode == sim::kOpcodeSet &&
        condition.fault->kind != sim::FaultKind::kSilence) {
      failures.push_back(condition);
    }
  }
  return failures;
}

INSTANTIATE_TEST_SUITE_P(LastWrite, FilterTable,
                         testing::Combine(testing::ValuesIn(kAtLastWrite),
                                          testing::ValuesIn(FirstWriteFailures())),
                         RowName);

}  // namespace
}  // namespace namespaceOV
