// Random operations on the filters of a simulated 8148 through its windows, with the unit refusing
// requests, losing a reply or falling silent at random points: after every step (and, for a unit
// that fell silent, once its edit window finds it answering again) the program's filters are the
// unit's, no open window shows a filter the device no longer holds, and one failure gave at most
// one report.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bus/PollBackoff.h"
#include "familycommon/LoadFailure.h"
#include "familyov/filters/FilterGraphIcons.h"
#include "familyov/filters/FilterIcons.h"
#include "familyov/filters/TChannelLinkWindow.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvIds.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FaultKinds.h"
#include "tests/support/RandomRun.h"
#include "tests/support/SteppingClock.h"

namespace namespaceOV {
namespace {

using namespace ovfilter_res;

constexpr uint64_t kSuiteSeed = 20240611;
constexpr int kSuiteSteps = 150;
// On a loaded machine (CI, the sanitizers) the unit's answer may come later than the port's usual
// wait: a late answer is no failure of this test. A step whose reply is lost or whose unit falls
// silent waits less, so that the run stays short; its injected fault is a failure anyway.
constexpr uint32_t kPatientReadTimeoutMs = 1000;
constexpr uint32_t kSilenceReadTimeoutMs = 150;
constexpr uint32_t kQuickReadTimeoutMs = 60;
// A unit that fell silent in a memory save or recall is not waited for long: three polls of its
// ready flag, by the last of which a unit that answers is ready again, lost reply or not. Counted,
// not timed, so that no load or stop of the machine gives up on a unit that answers.
constexpr int kReadyWaitPolls = 3;

// One filter as the unit keeps it: the fields the program and the unit must agree on.
struct UnitFilter {
  int number, type, channel;
  bool bypass;
  int linkNumber;
  DeviceRecord record;
  bool operator==(const UnitFilter&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const UnitFilter& f) {
    return out << "#" << f.number << " type " << f.type << " ch " << f.channel << " bypass "
               << f.bypass << " link " << f.linkNumber << " record " << f.record[0] << " "
               << f.record[1] << " " << f.record[2];
  }
};

std::vector<UnitFilter> Described(const std::vector<const TFilter*>& all) {
  std::vector<UnitFilter> filters;
  for (const TFilter* f : all) {
    filters.push_back(
        {f->number, f->typeCode, f->channel, f->bypass, f->linkNumber, f->GetDeviceRecord()});
  }
  std::ranges::sort(filters, {}, &UnitFilter::number);
  return filters;
}

std::vector<UnitFilter> ProgramFilters(const IQDeviceOrdavinex& device) {
  std::vector<const TFilter*> all;
  for (const auto& filter : device.Filters()) all.push_back(filter.get());
  for (int output = 0; output < device.outputs; ++output) {
    if (const TFilter* low = device.LowCrossover(output)) all.push_back(low);
    if (const TFilter* high = device.HighCrossover(output)) all.push_back(high);
  }
  return Described(all);
}

// The filters only one side holds as they are, for a failure's message: a long list is cut short
// when printed whole.
std::string Difference(const std::vector<UnitFilter>& program,
                       const std::vector<UnitFilter>& unit) {
  std::ostringstream text;
  for (const auto& [side, mine, theirs] :
       {std::tuple{"the program's", &program, &unit}, std::tuple{"the unit's", &unit, &program}}) {
    text << "only " << side << ":";
    for (const UnitFilter& f : *mine) {
      if (std::ranges::find(*theirs, f) == theirs->end()) text << " {" << f << "}";
    }
    text << "\n";
  }
  return text.str();
}

// Every filter the unit holds, taken from the simulated unit's own slots rather than through the
// bus: a read of the test's own would race the line's read time-out on a loaded machine, and a
// late reply would fail the run without a fault of the program. Each slot's record is decoded as
// the program decodes what it reads.
std::vector<UnitFilter> UnitFilters(sim::SimulatedBus& bus, int unitIndex) {
  std::vector<sim::familyov::FilterRecord> records;
  bus.WithUnit(unitIndex, [&](sim::Unit& unit) {
    records = dynamic_cast<sim::familyov::FamilyOvUnit&>(unit).Filters().Records();
  });
  std::vector<std::unique_ptr<TFilter>> filters;
  for (std::size_t slot = 0; slot < records.size(); ++slot) {
    const sim::familyov::FilterRecord& record = records[slot];
    std::unique_ptr<TFilter> filter = MakeFilter(record.type);
    if (!record.allocated || filter == nullptr) continue;
    filter->number = static_cast<int>(slot);
    filter->channel = record.channel;
    filter->bypass = record.bypass;
    filter->linkNumber = record.linkNumber;
    DeviceRecord words{};
    for (std::size_t p = 0; p < words.size(); ++p) {
      words[p] = static_cast<int32_t>(sim::familyov::WordOf(record.params[p]));
    }
    filter->SetDeviceRecord(words);
    filters.push_back(std::move(filter));
  }
  std::vector<const TFilter*> read;
  for (const auto& filter : filters) read.push_back(filter.get());
  return Described(read);
}

namespace object = sim::familyov::object;

// The objects the filter operations write, where the unit refuses at random.
constexpr int kFilterFaultObjects[] = {
    object::kNewFilter,     object::kDeleteFilter,    object::kFilterChannel,
    object::kFilterType,    object::kFilterSelect,    object::kFilterParam,
    object::kFilterCommand, object::kFilterLinkGroup, object::kFilterLink,
    object::kFilterBypass,  object::kFilterBypassSet,
};
// Those a memory save or recall, a settings file and the report go through, and the filters read
// after them.
constexpr int kSettingsFaultObjects[] = {
    object::kRecallMemory, object::kSaveMemory,  object::kMemoryDump,   object::kMemoryImageSize,
    object::kMemoryName,   object::kChannelName, object::kLogicMemory,  object::kChannelLevel,
    object::kFilterSelect, object::kFilterType,  object::kFilterBypass, object::kFilterParam,
};

enum class Op {
  kOpen,
  kClose,
  kPanes,
  kWindows,
  kAdd,
  kSelect,
  kDelete,
  kBypass,
  kCopy,
  kMove,
  kLink,
  kUnlink,
  kType,
  kDrag,
  kMemory,
  kFile,
  kLoad
};
// Adding comes twice: the others need filters.
constexpr Op kOperations[] = {Op::kOpen,   Op::kClose,  Op::kPanes,  Op::kWindows, Op::kAdd,
                              Op::kAdd,    Op::kSelect, Op::kDelete, Op::kBypass,  Op::kCopy,
                              Op::kMove,   Op::kLink,   Op::kUnlink, Op::kType,    Op::kDrag,
                              Op::kMemory, Op::kFile,   Op::kLoad};

// Where the unit may refuse a request part way through the operation; none for an operation that
// only shows what the program holds.
std::span<const int> FaultObjects(Op op) {
  switch (op) {
    case Op::kOpen:
    case Op::kClose:
    case Op::kPanes:
    case Op::kWindows:
    case Op::kSelect:
    case Op::kLink:
      return {};
    case Op::kMemory:
    case Op::kFile:
    case Op::kLoad:
      return kSettingsFaultObjects;
    default:
      return kFilterFaultObjects;
  }
}

constexpr int kAddCommands[] = {kCmParametric,  kCmLowpass, kCmHighpass,
                                kCmLowShelving, kCmAllpass, kCmHighShelving};

class RandomOperationsTest : public testing::Test {
 protected:
  RandomOperationsTest() {
    bus.port.SetRetries(0);
    unitIndex = bus.AddModelUnit(sim::familyov::Model::k8148, 5);
    device = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    device->autoOpenSummary = 0;
    bus.port.SetReadTimeout(kPatientReadTimeoutMs);
    device->SetWaitBound(testsupport::PollCountBound<WaitBound>(kReadyWaitPolls));
    window = std::make_unique<TEdit8148Window>(nullptr, *device);
    window->Create();
    channels = device->ChannelIndexes();
    ovtest::ReportedErrors().clear();
  }

  TFilterDecoratedFrame* Editor(int channel) const {
    return dynamic_cast<TFilterDecoratedFrame*>(
        window->ChildWindow(window->Ids().firstChannel + channel));
  }
  std::vector<TFilterDecoratedFrame*> OpenEditors() const {
    std::vector<TFilterDecoratedFrame*> open;
    for (int channel : channels) {
      if (TFilterDecoratedFrame* editor = Editor(channel)) open.push_back(editor);
    }
    return open;
  }
  int AnyChannel() { return channels[static_cast<std::size_t>(run.Below(int(channels.size())))]; }
  // An open editor, opened first when none is.
  // Before a step's faults: opening an editor on a unit that has just fallen silent would be a
  // user action of its own, with a report of its own.
  void KeepAnEditorOpen() {
    if (OpenEditors().empty()) window->OpenChildWindow(window->Ids().firstChannel + AnyChannel());
  }
  TFilterDecoratedFrame& SomeEditor() {
    const std::vector<TFilterDecoratedFrame*> open = OpenEditors();
    return *open.at(static_cast<std::size_t>(run.Below(int(open.size()))));
  }
  static void Run(ui::Window& target, int command) {
    ui::Application::Instance()->RouteCommand(command, &target);
  }
  static void Run(TFilterDecoratedFrame& editor, int command) {
    editor.Layout().Commands().Run(command);
  }
  void SelectSomeRows(TFilterListWindow& list) {
    list.List().SelectItem(-1);
    for (int row = 0; row < list.List().Count(); ++row) {
      if (run.Chance(0.4)) list.List().SetSelected(row, true);
    }
  }

  // Operation `op`, described for the failure message.
  std::string Operate(Op op, ui::PromptScript& script) {
    TFilterDecoratedFrame& editor = SomeEditor();
    TFilterListWindow* list = editor.Layout().Panes().list;
    const std::string where = " on channel " + std::to_string(editor.Channel());
    switch (op) {
      case Op::kOpen: {
        const int channel = AnyChannel();
        window->OpenChildWindow(window->Ids().firstChannel + channel);
        return "open the editor of channel " + std::to_string(channel);
      }
      case Op::kClose:
        editor.CloseWindow(ui::kIdCancel);
        return "close the editor" + where;
      case Op::kAdd: {
        const int command = kAddCommands[run.Below(int(std::size(kAddCommands)))];
        script.AnswerMessageBox(ui::kIdOk);
        Run(editor, command);
        return "add " + std::to_string(command) + where;
      }
      case Op::kSelect:
        if (list != nullptr) SelectSomeRows(*list);
        return "select rows" + where;
      case Op::kDelete:
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, kCmDelete);
        return "delete" + where;
      case Op::kBypass:
        Run(editor, run.Chance(0.5) ? kCmBypass : kCmEnable);
        return "bypass or enable" + where;
      case Op::kCopy: {
        const int channel = AnyChannel();
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, kCmFirstCopyToChannel + channel);
        return "copy to channel " + std::to_string(channel) + where;
      }
      case Op::kMove: {
        const int channel = AnyChannel();
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, kCmFirstMoveToChannel + channel);
        return "move to channel " + std::to_string(channel) + where;
      }
      case Op::kPanes:
        return Panes(editor) + where;
      case Op::kWindows:
        return Windows(editor) + where;
      case Op::kLink:
        return LinkStep(editor);
      case Op::kUnlink:
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, kCmUnlink);
        return "unlink the selection" + where;
      case Op::kType:
        return TypeFrequency(editor) + where;
      case Op::kDrag:
        return Drag(editor) + where;
      case Op::kMemory:
        return MemoryStep(script);
      case Op::kFile:
        return FileStep(script);
      case Op::kLoad:
        return LoadStep(script);
    }
    return {};
  }

  // Pushes the list or the graph shut, or opens it again from the menu (the graph comes back
  // with a new list beside it), or picks one filter and takes back what its dialog shows.
  std::string Panes(TFilterDecoratedFrame& editor) {
    const FilterEditorPanes& panes = editor.Layout().Panes();
    switch (run.Below(4)) {
      case 0:
        if (panes.list == nullptr) return "no list";
        panes.splitter->ClosePane(*panes.list);
        return "push the list shut";
      case 1:
        if (panes.graph == nullptr) return "no graph";
        panes.splitter->ClosePane(*panes.graph);
        return "push the graph shut";
      case 2: {
        const bool list = run.Chance(0.5);
        Run(editor, list ? kCmShowList : kCmShowGraph);
        return list ? "show the list" : "show the graph";
      }
      default: {
        if (panes.list == nullptr || panes.list->List().Count() == 0) return "no filter to pick";
        panes.list->List().SelectItem(run.Below(panes.list->List().Count()));
        ui::test::PumpMessages();
        if (panes.parameters == nullptr) return "no parameters";
        ui::test::PressKey(panes.parameters->Dialog(), Qt::Key_Escape);
        return "pick a filter and revert its dialog";
      }
    }
  }

  // Opens or closes, from the editor's menu, a window the unit window keeps: the linking window,
  // the DSP capacity or the memories.
  std::string Windows(TFilterDecoratedFrame& editor) {
    const NodeIds& ids = window->Ids();
    const std::pair<int, const char*> windows[] = {
        {ids.linking, "the linking window"},
        {ids.dspCapacity, "the DSP capacity"},
        {ids.memory, "the memories"},
    };
    const auto& [id, name] = windows[run.Below(int(std::size(windows)))];
    if (ui::Window* open = window->ChildWindow(id)) {
      open->CloseWindow(ui::kIdCancel);
      return std::string("close ") + name;
    }
    if (id == ids.memory) {
      window->OpenChildWindow(id);
    } else {
      Run(editor, id == ids.linking ? kCmFilterLinking : kCmDspCapacity);
    }
    return std::string("open ") + name;
  }

  // A channel's check box in the linking window, opened first when it is not.
  std::string LinkStep(TFilterDecoratedFrame& editor) {
    if (window->ChildWindow(window->Ids().linking) == nullptr) Run(editor, kCmFilterLinking);
    auto* linking = dynamic_cast<TChannelLinkWindow*>(window->ChildWindow(window->Ids().linking));
    if (linking == nullptr) return "no linking window";
    const int pane = run.Below(int(channels.size()));
    ui::test::Click(linking->Pane(pane), ovfilterdlg_res::kLinkCheck);
    const int channel = channels[static_cast<std::size_t>(pane)];
    const bool linked = device->linkedChannels.at(static_cast<std::size_t>(channel));
    return std::string(linked ? "link" : "unlink") + " channel " + std::to_string(channel);
  }

  std::string TypeFrequency(TFilterDecoratedFrame& editor) {
    TFilterParameterWindow* parameters = editor.Layout().Panes().parameters;
    if (parameters == nullptr || parameters->Dialog().GetFilter() == nullptr) return "no dialog";
    const std::string hz = std::to_string(20 + run.Below(19000));
    ui::test::Type(parameters->Dialog(), ovfilterdlg_res::kFrequencyEdit, hz);
    ui::test::PressKey(ui::test::ControlOf(parameters->Dialog(), ovfilterdlg_res::kFrequencyEdit),
                       Qt::Key_Return);
    return "type " + hz + " Hz";
  }

  // A press on a random point of the graph, two moves and a release: a drag when it hits an icon.
  std::string Drag(TFilterDecoratedFrame& editor) {
    TFilterGraphWindow* graph = editor.Layout().Panes().graph;
    if (graph == nullptr) return "no graph";
    const ui::Rect area = graph->ClientRect();
    if (area.Width() <= 0 || area.Height() <= 0) return "no graph area";
    ui::Point p{area.left + run.Below(area.Width()), area.top + run.Below(area.Height())};
    if (!graph->Icons().All().empty() && run.Chance(0.8)) {
      // Onto an icon, which a first click selects.
      const auto& icons = graph->Icons().All();
      p = graph->PointOf(*icons[static_cast<std::size_t>(run.Below(int(icons.size())))]);
      ui::test::MouseDown(*graph, p);
      ui::test::MouseUp(*graph, p);
      // On the selected icon the click is a drag without a move, which writes the filter: a
      // command of its own, which tells of its failure once, as the drag that follows does.
      clickReports = std::exchange(ovtest::ReportedErrors(), {});
    }
    ui::test::MouseDown(*graph, p);
    ui::test::MouseMove(*graph, {p.x + run.Below(41) - 20, p.y + run.Below(21) - 10});
    ui::test::PumpMessages();
    const ui::Point end{p.x + run.Below(61) - 30, p.y + run.Below(31) - 15};
    ui::test::MouseMove(*graph, end);
    ui::test::MouseUp(*graph, end);
    return "drag from " + std::to_string(p.x) + "," + std::to_string(p.y);
  }

  // Saves the current settings to a memory or recalls one, from the memory window; opening the
  // window is a step of its own, as it is for the user.
  std::string MemoryStep(ui::PromptScript& script) {
    if (window->ChildWindow(window->Ids().memory) == nullptr) {
      window->OpenChildWindow(window->Ids().memory);
      return "open the memories";
    }
    auto* memories = dynamic_cast<TMemoryWindow*>(window->ChildWindow(window->Ids().memory));
    if (memories == nullptr) return "no memory window";
    const int memory = 1 + run.Below(3);
    const bool recall = run.Chance(0.5);
    // The question, then the closing message of one that failed.
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    ui::test::Click(memories->Row(memory),
                    recall ? ovfunctions_res::kMemoryRecall : ovfunctions_res::kMemorySave);
    if (run.Chance(0.5)) memories->CloseWindow(ui::kIdCancel);
    return (recall ? "recall memory " : "save memory ") + std::to_string(memory);
  }

  // Saves the settings to a file or prints the report to one: both read every memory.
  std::string FileStep(ui::PromptScript& script) {
    const bool report = run.Chance(0.5);
    script.AnswerSaveFile(files.filePath(report ? "report.txt" : "unit.ov2").toStdString())
        .AnswerMessageBox(ui::kIdYes)
        .AnswerMessageBox(ui::kIdOk);
    Run(*window, report ? ovres::kCmPrintReport : ovres::kCmSaveSettings);
    return report ? "print the report" : "save the settings";
  }

  // Loads the settings file a step saved before, as the unit window's "Load settings..." does.
  std::string LoadStep(ui::PromptScript& script) {
    const QString path = files.filePath("unit.ov2");
    if (!QFileInfo::exists(path)) return "no settings saved yet";
    script.AnswerOpenFile(path.toStdString())
        .AnswerMessageBox(ui::kIdOk)
        .AnswerMessageBox(ui::kIdOk)
        .AnswerMessageBox(ui::kIdOk);
    Run(*window, ovres::kCmLoadSettings);
    return "load the settings";
  }

  // No open window shows a filter the device does not hold, every list shows its channel's, and
  // the device's filters are the unit's.
  void ExpectTheTruth() {
    for (TFilterDecoratedFrame* editor : OpenEditors()) {
      const FilterEditorPanes& panes = editor->Layout().Panes();
      SCOPED_TRACE("channel " + std::to_string(panes.channel));
      if (panes.list != nullptr) {
        std::vector<int> shown;
        for (TFilter* row : panes.list->Rows()) {
          EXPECT_TRUE(device->Holds(row));
          shown.push_back(row->number);
        }
        std::vector<int> held;
        for (const auto& filter : device->Filters()) {
          if (filter->channel == panes.channel) held.push_back(filter->number);
        }
        std::ranges::sort(shown);
        std::ranges::sort(held);
        EXPECT_EQ(shown, held);
        EXPECT_EQ(panes.list->List().Count(), static_cast<int>(held.size()));
        for (TFilter* selected : panes.list->Selection()) EXPECT_TRUE(device->Holds(selected));
      }
      if (panes.parameters != nullptr) {
        const TFilter* shown = panes.parameters->ShownFilter();
        EXPECT_TRUE(shown == nullptr || device->Holds(shown));
        const TFilter* dialogs = panes.parameters->Dialog().GetFilter();
        EXPECT_TRUE(dialogs == nullptr || device->Holds(dialogs));
      }
      if (panes.graph != nullptr) {
        for (const auto& icon : panes.graph->Icons().All()) {
          EXPECT_TRUE(device->Holds(&icon->Filter()));
        }
      }
    }
    for (const auto& filter : device->Filters()) {
      EXPECT_TRUE(filter->linkHead == nullptr || device->Holds(filter->linkHead));
      EXPECT_TRUE(filter->nextInChain == nullptr || device->Holds(filter->nextInChain));
      // No half-linked chain: a member's head is the one its link number names, and its chain
      // holds it.
      if (TFilter* head = filter->linkHead) {
        EXPECT_EQ(filter->linkNumber, head->number + 1) << "#" << filter->number;
        const std::vector<TFilter*> chain = head->ChainMembers();
        EXPECT_NE(std::ranges::find(chain, filter.get()), chain.end())
            << "#" << filter->number << " is out of its head's chain";
      }
    }
    const std::vector<UnitFilter> program = ProgramFilters(*device);
    const std::vector<UnitFilter> unit = UnitFilters(bus.bus, unitIndex);
    EXPECT_EQ(program, unit) << Difference(program, unit);
  }

  ovtest::FamilyBus bus;
  IQ8148Type type;
  int unitIndex = 0;
  IQDevice8148* device = nullptr;
  std::unique_ptr<TEditOVWindow> window;
  std::vector<int> channels;
  QTemporaryDir files;
  testsupport::RandomRun run{kSuiteSeed, kSuiteSteps};
  // What a drag step's selecting click reported.
  std::vector<std::string> clickReports;
};

TEST_F(RandomOperationsTest, FiltersStayTheUnitsThroughRandomOperationsAndFaults) {
  for (int step = 1; step <= run.Steps() && !HasFailure(); ++step) {
    KeepAnEditorOpen();
    const Op op = kOperations[run.Below(int(std::size(kOperations)))];
    const std::span<const int> faults = FaultObjects(op);
    bool silence = false;
    if (!faults.empty() && run.Chance(0.4)) {
      const int object = faults[static_cast<std::size_t>(run.Below(int(faults.size())))];
      const int occurrence = 1 + run.Below(4);
      switch (run.Below(5)) {
        case 0:
          bus.bus.AddFault(sim::Fault::Silence().ForObject(object).OnOccurrence(occurrence));
          run.Log(step, "the unit loses its reply to object " + std::to_string(object));
          silence = true;
          break;
        case 1: {
          // From one of its requests on the unit answers nothing at all.
          const int from = 1 + run.Below(40);
          bus.bus.AddFault(
              sim::Fault::Silence().ForUnit(5).OnOccurrence(from).Times(sim::Fault::kForever));
          run.Log(step, "the unit falls silent from request " + std::to_string(from));
          silence = true;
          break;
        }
        default:
          bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(object).OnOccurrence(occurrence));
          run.Log(step, "the unit refuses object " + std::to_string(object));
      }
    }
    bus.port.SetReadTimeout(silence ? kSilenceReadTimeoutMs : kPatientReadTimeoutMs);
    ovtest::ReportedErrors().clear();
    clickReports.clear();
    {
      // Whatever the step asks is answered; an answer it did not need is no failure.
      ui::PromptScript script{[](const std::string&) {}};
      run.Log(step, Operate(op, script));
      ui::test::PumpMessages();
    }
    bus.bus.ClearFaults();
    bus.port.SetReadTimeout(kPatientReadTimeoutMs);
    SCOPED_TRACE(run.Repeat());
    for (const std::vector<std::string>* reports : {&clickReports, &ovtest::ReportedErrors()}) {
      EXPECT_LE(reports->size(), 1u)
          << "one failure, one report; reported: " << testing::PrintToString(*reports);
    }
    // The unit answers again: its edit window's next idle poll reads what it holds, past any pause
    // its silence began.
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(5);
    EXPECT_FALSE(device->FiltersStale());
    ExpectTheTruth();
  }
}

// A memory recall, a memory save and a chain delete through the windows, with two channel editors
// and the memory window open, and a refusal, a lost reply or a unit that falls silent at points
// spread through each: one report, a closing message that says what the unit holds when the
// command did not finish, and the program's filters the unit's once it answers again.
TEST_F(RandomOperationsTest,
       AFaultAnywhereInARecallSaveOrChainDeleteGivesOneReportAndTheUnitsFilters) {
  device->linkedChannels[static_cast<std::size_t>(channels[0])] = true;
  device->linkedChannels[static_cast<std::size_t>(channels[1])] = true;
  for (const int channel : {channels[0], channels[1]}) {
    window->OpenChildWindow(window->Ids().firstChannel + channel);
  }
  window->OpenChildWindow(window->Ids().memory);
  auto* memories = dynamic_cast<TMemoryWindow*>(window->ChildWindow(window->Ids().memory));
  ASSERT_NE(memories, nullptr);
  TFilterDecoratedFrame& first = *Editor(channels[0]);
  ui::PromptScript script{[](const std::string&) {}};
  // Memory 1 holds one chain over both channels; the current settings two more chains.
  const auto prepare = [&] {
    GuardedUnitCall(*device, [&] { device->RemoveAllFilters(); });
    Run(first, kCmParametric);
    script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(memories->Row(1), ovfunctions_res::kMemorySave);
    Run(first, kCmLowpass);
    Run(first, kCmHighpass);
    ui::test::PumpMessages();
  };
  const auto recall = [&] {
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    ui::test::Click(memories->Row(1), ovfunctions_res::kMemoryRecall);
  };
  const auto chainDelete = [&] {
    first.Layout().Panes().list->List().SetSelected(0, true);
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    Run(first, kCmDelete);
  };
  // The channels and types of filters, sorted.
  const auto channelsAndTypes = [](const std::vector<UnitFilter>& filters) {
    std::vector<std::pair<int, int>> all;
    for (const UnitFilter& filter : filters) all.emplace_back(filter.channel, filter.type);
    std::ranges::sort(all);
    return all;
  };
  // Memory 2 takes the current settings, which stay as they are.
  const auto save = [&] {
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    ui::test::Click(memories->Row(2), ovfunctions_res::kMemorySave);
  };
  struct Command {
    const char* name;
    std::function<void()> run;
    const char* notFinished;
    // Whether the command reads what the unit holds afterwards, and so finds a silent one out.
    bool readsUnit;
    // How many of its requests are faulted, spread from the first to the last.
    int points;
  };
  const Command commands[] = {
      {"recall", recall, familycommon::kRecallNotFinishedText, true, 7},
      {"chain delete", chainDelete, familycommon::kDeleteNotFinishedText, true, 7},
      {"save", save, familycommon::kSaveNotFinishedText, false, 4}};
  const std::string stoppedAnswering =
      std::string(familycommon::kStoppedAnsweringText) + "\n" + familycommon::kUnitReadAgainText;
  for (const Command& command : commands) {
    prepare();
    bus.TakeTrace();
    command.run();
    const int steps = static_cast<int>(bus.TakeTrace().size());
    ASSERT_GE(steps, command.points);
    const int points = command.points;
    for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
      for (int point = 0; point < points; ++point) {
        const int step = 1 + (steps - 1) * point / (points - 1);
        SCOPED_TRACE(std::string(command.name) + ", " + kind.name + " at request " +
                     std::to_string(step));
        prepare();
        const auto prepared = channelsAndTypes(ProgramFilters(*device));
        // Here a late answer only adds a failure the command's one report already covers.
        bus.port.SetReadTimeout(kQuickReadTimeoutMs);
        bus.bus.AddFault(kind.fault.OnOccurrence(step).Times(kind.times));
        ovtest::ReportedErrors().clear();
        const std::size_t seen = script.Seen().size();
        command.run();
        ui::test::PumpMessages();
        bus.bus.ClearFaults();
        bus.port.SetReadTimeout(kPatientReadTimeoutMs);
        EXPECT_LE(ovtest::ReportedErrors().size(), 1u)
            << testing::PrintToString(ovtest::ReportedErrors());
        // The question, and a closing message when the command did not finish, which tells of
        // the failure unless a step before the command's own did.
        ASSERT_LE(script.Seen().size(), seen + 2);
        if (script.Seen().size() == seen + 2) {
          const std::string& closing = script.Seen().back().text;
          EXPECT_TRUE(closing.ends_with(command.notFinished) || closing.ends_with(stoppedAnswering))
              << closing;
          const bool toldInClosing = closing != command.notFinished && closing != stoppedAnswering;
          EXPECT_EQ(ovtest::ReportedErrors().size() + (toldInClosing ? 1u : 0u), 1u);
        }
        // A unit silent from the first request: the command's own step fails, and so does the
        // read of what the unit holds.
        if (kind.times == sim::Fault::kForever && step == 1) {
          EXPECT_TRUE(script.Seen().back().text.ends_with(command.readsUnit ? stoppedAnswering
                                                                            : command.notFinished));
          EXPECT_EQ(device->FiltersStale(), command.readsUnit);
        }
        PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
        ui::test::PumpIdle(5);
        EXPECT_FALSE(device->FiltersStale());
        ExpectTheTruth();
        if (!command.readsUnit) {
          // The unit's own filters are those it had.
          EXPECT_EQ(channelsAndTypes(UnitFilters(bus.bus, unitIndex)), prepared);
        }
      }
    }
  }
}

}  // namespace
}  // namespace namespaceOV
