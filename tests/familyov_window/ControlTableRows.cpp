#include "tests/familyov_window/ControlTableRows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "familycommon/LockLamp.h"
#include "familyov/channels/GroupAssignment.h"
#include "familyov/channels/LevelWindows.h"
#include "familyov/channels/TAdvMixerWindow.h"
#include "familyov/channels/TCompressorWindow.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLastMemoryDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/LogicMap.h"
#include "familyov/unit/LogicPanes.h"
#include "familyov/unit/MemoryPanes.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TNodeInfo.h"
#include "familyov/unit/TRTCWindows.h"
#include "familyov/unit/TSecurityDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvCommandIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/ControlTable.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV::ovtable {
namespace {

using sim::familyov::Model;

constexpr int kAddress = 5;
constexpr int kClockPresentObject = 0x3E;
constexpr int kCompressorOptionObject = 0x4C;

template <typename Pane>
bool IsIn(ui::Window& control) {
  return dynamic_cast<Pane*>(control.Parent()) != nullptr;
}

int IdOf(ui::Window& control) {
  const auto* shown = dynamic_cast<ui::Control*>(&control);
  return shown != nullptr ? shown->Id() : -1;
}

// The summary's mark of settings that differ from every memory's, drawn by its idle pass.
bool IsModifiedMark(ui::Window& control) {
  return IdOf(control) == ovsummary_res::kModifiedLamp && IsIn<TLastMemoryDialog>(control);
}

// Read-outs that the windows poll move on between two looks at an unchanged unit: the unit's
// clock, a limiter's gain reduction, the DSP load, the mark of modified settings.
bool IsPolled(ui::Window& control) {
  const int id = IdOf(control);
  return (id == ovfunctions_res::kClockDisplay && IsIn<TTimerDialog>(control)) ||
         (id == ovprocessing_res::kLimMeterText && IsIn<TLimiterDialog>(control)) ||
         IsIn<TGasDialog>(control) || IsModifiedMark(control);
}

// A pane made again for another channel (a level, delay, compressor or limiter pane, a summary's
// channel, an advanced mixer's crosspoint): the same class with the same controls as one before it
// in its window, running the same code on another element. The first of each is changed; the
// others are still held to the rule as they show what the unit holds.
bool InRepeatedPane(ui::Window& control) {
  for (ui::Window* pane = control.Parent(); pane != nullptr && pane->Parent() != nullptr;
       pane = pane->Parent()) {
    for (ui::Window* sibling : pane->Parent()->Children()) {
      if (sibling == pane) break;
      if (typeid(*sibling) == typeid(*pane) &&
          sibling->Children().size() == pane->Children().size()) {
        return true;
      }
    }
  }
  return false;
}

// What the walk leaves alone: lamps that only show (the mark of modified settings, a memory's
// "last recalled", the unit's service status); the lock lamp, which locks and then unlocks in that
// order (MoreChanges); what chooses the logic input shown (its bits, number, spin, row in the
// list), the program's alone, nothing written; spins whose step up the simulated unit's value
// leaves where it is (a compressor's threshold at its top, an advanced mixer's crosspoint that is
// off); the controls of a pane repeated for another channel.
bool LeftAlone(ui::Window& control) {
  const int id = IdOf(control);
  if (id < 0) return false;
  return IsModifiedMark(control) ||
         (id == ovfunctions_res::kMemoryLamp && IsIn<TMemoryDialog>(control)) ||
         ((id == ovres::kServiceStatusButton || id == ovres::kLockButton) &&
          IsIn<TSecurityDialog>(control)) ||
         ((id == ovfunctions_res::kLogicInUpDown || id == ovfunctions_res::kLogicInNumber) &&
          IsIn<TLogicDialog>(control)) ||
         (id >= ovfunctions_res::kFirstLogicInBit &&
          id < ovfunctions_res::kFirstLogicInBit + kLogicBits && IsIn<TLogicDialog>(control)) ||
         (id == ovfunctions_res::kLogicList && IsIn<TLogicListWindow>(control)) ||
         (id == ovprocessing_res::kCompThresholdSpin && IsIn<TCompressorDialog>(control)) ||
         (id == ovprocessing_res::kCellGainSpin && IsIn<TAdvMixerDialog>(control)) ||
         InRepeatedPane(control);
}

// What the user types into a field: a name for a name; a number one below the one shown, or one
// above it for a compressor's gain after it, whose range starts at the unit's value.
std::optional<std::string> Typed(ui::Window& field) {
  const std::string shown = dynamic_cast<ui::Control&>(field).Text();
  if (shown.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(shown.c_str(), &end);
  if (end == shown.c_str()) return "Typed";
  const bool upward =
      IdOf(field) == ovprocessing_res::kCompPostGain && IsIn<TCompressorDialog>(field);
  char typed[32];
  std::snprintf(typed, sizeof typed, "%g", upward ? value + 1.0 : value - 1.0);
  return typed;
}

// The walk knows an unknown read-out by a "?" after its name. A count the program could not work
// out leads its text with "?" ("? filters remain") or ends it so ("Filters (?)"): the line is put
// that way round, and the lock lamp's dark frame is named so. A list view's rows are a line each,
// so that a row shown unknown ("?/?", or "5/?" for a logic input's response) is known for one
// among rows the unit's values fill.
std::vector<std::string> AsReadOuts(const std::string& line, ui::Window& window) {
  const std::string dark = ": " + std::to_string(familycommon::LockLamp::kOff);
  if (dynamic_cast<TSecurityDialog*>(&window) != nullptr &&
      line.starts_with(std::to_string(ovres::kLockButton) + " lamp ") && line.ends_with(dark)) {
    return {line.substr(0, line.size() - dark.size()) + ": ?"};
  }
  const std::size_t text = line.find(" text: ");
  if (text != std::string::npos) {
    const std::string head = line.substr(0, text + 7);
    std::string value = line.substr(text + 7);
    if (value.starts_with("? ")) return {head + value.substr(2) + ": ?"};
    if (value.ends_with(" (?)")) return {head + value.substr(0, value.size() - 4) + ": ?"};
    return {line};
  }
  const std::size_t view = line.find(" list view: ");
  if (view == std::string::npos) return {line};
  std::vector<std::string> rows;
  const std::string head = line.substr(0, view) + " list view row ";
  std::string items = line.substr(view + 12);
  for (std::size_t start = 0, row = 0; start <= items.size(); ++row) {
    const std::size_t end = std::min(items.find('|', start), items.size());
    const std::string item = items.substr(start, end - start);
    rows.push_back(head + std::to_string(row) + ": " + (item.ends_with("/?") ? "?" : item));
    start = end + 1;
  }
  return rows;
}

template <typename Found>
Found* FirstBelow(ui::Window& root) {
  for (ui::Window* child : root.Children()) {
    if (auto* found = dynamic_cast<Found*>(child)) return found;
    if (Found* below = FirstBelow<Found>(*child)) return below;
  }
  return nullptr;
}

// The group assignment dialog the Groups menu opens: the first channel put in the next group.
void ChooseAnotherGroup(ui::Window& window) {
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.RunDialog(ovchannels_res::kGroupAssignmentDialog, [](ui::Dialog& dialog) {
    ui::ComboBox& list = FirstBelow<TGroupDialog>(dialog)->List();
    list.SetSelection((list.Selection() + 1) % list.Count());
    list.Parent()->SendNotify(
        {.controlId = list.Id(), .code = ui::Notify::SelChange, .control = &list});
    dialog.CloseWindow(ui::kIdOk);
  });
  ui::Application::Instance()->RouteCommand(ovchannels_res::kCmGroups, &window);
  ui::test::PumpMessages();
}

// A row of the logic list dragged onto the first, the input the logic pane shows: its response
// copied there. The row is the first whose response differs, so that the copy changes something.
void DragRowOntoFirst(ui::Window& window) {
  auto& list = *FirstBelow<ui::ListView>(window);
  const auto response = [&](int row) { return list.ItemText(row, 1) + list.ItemText(row, 2); };
  int source = 1;
  while (source + 1 < list.Count() && response(source) == response(0)) ++source;
  window.SendNotify(
      {.controlId = list.Id(), .code = ui::Notify::BeginDrag, .control = &list, .item = source});
  const ui::Rect onto = list.ItemRect(0);
  ui::test::MouseUp(window, window.ScreenToClient(list.ClientToScreen(
                                {(onto.left + onto.right) / 2, (onto.top + onto.bottom) / 2})));
  ui::test::PumpMessages();
}

// The summary's delay units menu: the units after those ticked, as the user chooses them.
void ChooseOtherDelayUnits(ui::Window& summary) {
  const int units[] = {ovsummary_res::kCmUnitsMsec, ovsummary_res::kCmUnitsFeet,
                       ovsummary_res::kCmUnitsMeters};
  std::size_t ticked = 0;
  for (std::size_t i = 0; i < std::size(units); ++i) {
    ui::CommandState state;
    if (summary.Commands().Enable(units[i], state) && state.checked.value_or(false)) ticked = i;
  }
  ui::Application::Instance()->RouteCommand(units[(ticked + 1) % std::size(units)], &summary);
  ui::test::PumpMessages();
}

// The changes beyond a control's own: the summary's delay units menu, the level and limiter
// windows' Groups menu, the timer's new
// event (its editor's fields are the timer's own tests': they show an event chosen in its list),
// a drag between the logic list's rows, and the lock lamp pressed to lock and pressed again to
// unlock with the password field as it stands, empty as the simulated unit's password.
std::vector<testsupport::NamedChange> MoreChanges(ui::Window& window) {
  auto* frame = dynamic_cast<ui::Frame*>(&window);
  const bool groups = frame != nullptr && frame->MenuBar() != nullptr &&
                      (dynamic_cast<TLevelWindow*>(&window) != nullptr ||
                       dynamic_cast<TLimiterWindow*>(&window) != nullptr);
  if (groups) return {{"groups menu", ChooseAnotherGroup}};
  if (dynamic_cast<TSummaryWindow*>(&window) != nullptr) {
    return {{"delay units menu", ChooseOtherDelayUnits}};
  }
  if (dynamic_cast<TRTCDecoratedFrame*>(&window) != nullptr) {
    return {{"new event", [](ui::Window& timer) {
               ui::Application::Instance()->RouteCommand(ovfunctions_res::kCmNewEvent, &timer);
               ui::test::PumpMessages();
             }}};
  }
  if (dynamic_cast<TLogicListWindow*>(&window) != nullptr) {
    return {{"a row dragged onto the first", DragRowOntoFirst}};
  }
  if (dynamic_cast<TSecurityDialog*>(&window) != nullptr) {
    const auto pressLamp = [](ui::Window& security) {
      ui::test::Click(security, ovres::kLockButton);
    };
    return {{"locked by the lamp", pressLamp}, {"unlocked by the lamp", pressLamp}};
  }
  return {};
}

// The unit on the simulated bus, its edit window and every window its tree opens.
class UnitWindows {
 public:
  UnitWindows(Model model, ChildKind tested) : tested_(tested) {
    bus.port.SetRetries(0);
    const int unit = bus.AddModelUnit(model, kAddress);
    bus.StoreByte(unit, kCompressorOptionObject, 0, 1);
    bus.StoreByte(unit, kClockPresentObject, 0, 1);
    device = &dynamic_cast<IQDeviceOrdavinex&>(
        *bus.RollCall({model == Model::k8148 ? static_cast<IQDeviceType*>(&type8148)
                                             : static_cast<IQDeviceType*>(&type8126)})
             .at(0));
    device->autoOpenSummary = 0;
    ovtest::ReportedErrors().clear();
  }

  void OpenAll() {
    if (auto* unit = dynamic_cast<IQDevice8148*>(device)) {
      edit = std::make_unique<TEdit8148Window>(nullptr, *unit);
    } else {
      edit = std::make_unique<TEdit8126Window>(nullptr, dynamic_cast<IQDevice8126&>(*device));
    }
    edit->Create();
    for (const TableWindow& window : Windows()) {
      // A lock closes every window but the security window: its rows open it alone, and the
      // others' rows leave it closed.
      if ((window.kind == ChildKind::Security) != (tested_ == ChildKind::Security)) continue;
      if (const int node = NodeOf(window.kind); node != NodeIds::kAbsent) {
        edit->OpenChildWindow(node);
      }
    }
  }
  // The tree's first node that opens a window of the kind.
  int NodeOf(ChildKind kind) const {
    for (const TNodeInfo* node : edit->NodeList()) {
      if (KindOfNode(edit->Ids(), device->channels, node->id) == kind) return node->id;
    }
    return NodeIds::kAbsent;
  }
  // What every open window shows, each line led by its window's node, then the program's copy
  // of what the unit holds.
  std::vector<std::string> Shown() {
    std::vector<std::string> shown{"caption/" + edit->Text()};
    for (const TNodeInfo* node : edit->NodeList()) shown.push_back("tree/" + node->text);
    for (int slot = 0; slot < TEditOVWindow::kChildSlots; ++slot) {
      if (ui::Window* child = edit->ChildWindow(slot)) {
        for (const std::string& control : testsupport::ShownControls(*child, IsPolled)) {
          for (const std::string& line : AsReadOuts(control, *child)) {
            shown.push_back(std::to_string(slot) + "/" + line);
          }
        }
      }
    }
    for (std::string& line : ModelLines()) shown.push_back("model/" + std::move(line));
    return shown;
  }
  // The program's copy of what the unit holds beyond the windows: the channels linked, each
  // group's level range, the DSP's share of each function. The channels' names as the program
  // holds them are the tree's lines.
  std::vector<std::string> ModelLines() const {
    std::vector<std::string> lines;
    std::string links = "links";
    for (int c = 0; c < device->channels; ++c) {
      links += device->linkedChannels[static_cast<std::size_t>(c)] ? " 1" : " 0";
    }
    lines.push_back(links);
    // A group none of whose levels could be read has no range: unknown.
    for (std::size_t g = 0; g < device->groupMaxLevel.size(); ++g) {
      const float low = device->groupMinLevel[g];
      const float high = device->groupMaxLevel[g];
      lines.push_back("group " + std::to_string(g) + ": " +
                      (low > high ? "?" : std::to_string(low) + ".." + std::to_string(high)));
    }
    lines.push_back("dsp " + std::to_string(device->filtersPercent) + " " +
                    std::to_string(device->crossoversPercent) + " " +
                    std::to_string(device->limitersPercent) + " " +
                    std::to_string(device->pinkNoisePercent) + " " +
                    std::to_string(device->totalPercent));
    return lines;
  }
  // The same windows opened anew on a unit read whole again.
  std::vector<std::string> Fresh() {
    edit.reset();
    ui::test::PumpMessages();
    device->InvalidateValues();
    OpenAll();
    // The windows' idle passes show what they poll.
    ui::test::PumpIdle(20);
    ui::test::RestIdle();
    return Shown();
  }

  ovtest::FamilyBus bus;
  IQ8148Type type8148;
  IQ8126Type type8126;
  IQDeviceOrdavinex* device = nullptr;
  std::unique_ptr<TEditOVWindow> edit;

 private:
  ChildKind tested_;
};

const char* const kModelNames[] = {"48", "26"};
const Model kModels[] = {Model::k8148, Model::k8126};

}  // namespace

const std::vector<TableWindow>& Windows() {
  static const std::vector<TableWindow> windows = {
      {ChildKind::Summary, "Summary", Program::kSummary},
      {ChildKind::Filters, "Filters", Program::kWindow,
       "a channel's filter editor is the filters' own table"},
      {ChildKind::Linking, "Linking", Program::kWindow, nullptr,
       "its links live in the program alone: nothing is written for a unit to fail"},
      {ChildKind::Crossovers, "Crossovers", Program::kWindow,
       "the crossover dialog, graph and network are the filters' own table"},
      {ChildKind::InputLevel, "InputLevels", Program::kProcessing},
      {ChildKind::InputDelay, "InputDelays", Program::kProcessing},
      {ChildKind::Compressors, "Compressors", Program::kProcessing},
      {ChildKind::InputNames, "InputNames", Program::kChannels},
      {ChildKind::OutputLevel, "OutputLevels", Program::kProcessing},
      {ChildKind::OutputDelay, "OutputDelays", Program::kProcessing},
      {ChildKind::Limiter, "Limiters", Program::kProcessing},
      {ChildKind::OutputNames, "OutputNames", Program::kChannels},
      {ChildKind::Mixing, "Mixing", Program::kChannels},
      {ChildKind::AdvancedMixer, "AdvancedMixing", Program::kChannels},
      {ChildKind::PinkNoise, "PinkNoise", Program::kChannels},
      {ChildKind::DspCapacity, "DspCapacity", Program::kUnit,
       "it only shows what the unit's functions take, polled; every row holds it open"},
      {ChildKind::Security, "Security", Program::kWindow},
      {ChildKind::Memory, "Memory", Program::kUnit},
      {ChildKind::Logic, "Logic", Program::kUnit},
      {ChildKind::Timer, "Timer", Program::kUnit},
  };
  return windows;
}

std::vector<std::pair<std::string, ChildKind>> WindowsTheTreeOpens(Model model) {
  UnitWindows unit(model, ChildKind::None);
  unit.OpenAll();
  std::vector<std::pair<std::string, ChildKind>> windows;
  for (const TNodeInfo* node : unit.edit->NodeList()) {
    const ChildKind kind = KindOfNode(unit.edit->Ids(), unit.device->channels, node->id);
    if (kind != ChildKind::None) windows.emplace_back(node->text, kind);
  }
  return windows;
}

void PrintTo(const Row& row, std::ostream* out) {
  *out << row.window.name << kModelNames[row.model == Model::k8148 ? 0 : 1] << row.condition.name;
}

std::string RowName(const testing::TestParamInfo<Row>& info) {
  std::ostringstream name;
  PrintTo(info.param, &name);
  return name.str();
}

std::vector<Row> RowsOf(Program program) {
  std::vector<Row> rows;
  for (const Model model : kModels) {
    for (const TableWindow& window : Windows()) {
      if (window.program != program || window.leftOutBecause != nullptr) continue;
      for (const testsupport::Condition& condition :
           testsupport::Conditions(ovtest::kRefusalCode)) {
        if (window.takenOnlyBecause == nullptr || !condition.fault) {
          rows.push_back({model, window, condition});
        }
      }
    }
  }
  return rows;
}

TEST_P(EveryControlTable, ShowsWhatTheUnitHoldsWithOneReport) {
  const Row& row = GetParam();
  UnitWindows unit(row.model, row.window.kind);
  unit.OpenAll();
  const int node = unit.NodeOf(row.window.kind);
  if (node == NodeIds::kAbsent) GTEST_SKIP() << "the model's tree opens no such window";
  const std::string tested = std::to_string(node) + "/";
  testsupport::CheckEveryChange(
      {.tested = [&]() -> ui::Window& {
         ui::Window* window = unit.edit->ChildWindow(node);
         if (window == nullptr) throw std::logic_error("the tested window closed");
         return *window;
       },
       .shown = [&] { return unit.Shown(); },
       .inTested =
           [tested](const std::string& line) {
             return line.starts_with(tested) || line.starts_with("model/");
           },
       .fresh = [&] { return unit.Fresh(); },
       .fail = [&](const sim::Fault& fault) { unit.bus.bus.AddFault(fault.ForUnit(kAddress)); },
       .answerAgain =
           [&] {
             unit.bus.bus.ClearFaults();
             testsupport::ResumePollsAndSettle();
           },
       .takeReports =
           [] {
             const std::size_t told = ovtest::ReportedErrors().size();
             ovtest::ReportedErrors().clear();
             return told;
           },
       .sweep = {.skip = LeftAlone, .typed = Typed, .more = MoreChanges}},
      row.condition);
}

}  // namespace namespaceOV::ovtable
