// Random operations on the filters of a simulated Ordavinex X through its bank editors, its
// crossover window and its memory page, with the unit refusing requests, losing replies or
// falling silent at random points: after every step (and the next poll, once the unit answers
// again) the program's filters are the unit's and no open view shows a filter the unit object no
// longer holds.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TMemoryDialog.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/support/RandomRun.h"
#include "tests/support/SteppingClock.h"

using namespace namespace8100;

namespace {

constexpr uint64_t kSuiteSeed = 20240611;
constexpr int kSuiteSteps = 200;
// Far more polls than a unit that answers needs; a silent one is given up after as many.
constexpr int kWaitPolls = 30;

constexpr std::array<int32_t, 4> kBanks{kRightInputBank, kLeftInputBank, kRightOutputBank,
                                        kLeftOutputBank};
constexpr int kAddCommands[] = {f8100res::kCmAddParametric, f8100res::kCmAddLowpass,
                                f8100res::kCmAddHighpass, f8100res::kCmAddLowShelf,
                                f8100res::kCmAddHighShelf};

// The objects a filter operation writes, where the unit refuses at random.
const UCodeObject* const kFaultObjects[] = {
    &g8100NewFilterSlot, &g8100DeleteFilter,      &g8100FilterBank,      &g8100FilterType,
    &g8100FilterSlot,    &g8100FilterParamSelect, &g8100FilterValueLong, &g8100FilterCommit,
    &g8100FilterBypass,  &g8100SaveMemory,        &g8100RestoreMemory,   &g8100FilterBypassNow,
    &g8100BulkMute,      &g8100MemoryIndex,       &g8100Locked,          &g8100Ready,
};

// A filter as the unit holds it: its slot, bank, bypass and the report's line of its values.
std::string Line(const TFilter& filter) {
  return std::to_string(filter.slot) + " bank " + std::to_string(filter.bank) + " bypass " +
         std::to_string(filter.bypass) + ": " + filter.Describe();
}

// Whether a graph's icon names a filter the unit holds: a bank's filter or one of its crossovers.
bool HoldsShown(const IQDevice8100& unit, const TFilterIcon& icon) {
  const TFilter* filter = &icon.Filter();
  return filter != nullptr && (HoldsFilter(unit, filter) || filter == unit.LowCrossover() ||
                               filter == unit.HighCrossover());
}

std::vector<std::string> ProgramFilters(const IQDevice8100& unit) {
  std::vector<std::string> lines;
  for (const auto& filter : unit.Filters()) lines.push_back(Line(*filter));
  for (const TFilter* crossover : {unit.LowCrossover(), unit.HighCrossover()}) {
    if (crossover != nullptr) lines.push_back(Line(*crossover));
  }
  std::ranges::sort(lines);
  return lines;
}

class RandomOperationsTest : public testing::Test {
 protected:
  RandomOperationsTest() {
    for (IQ8100Type* type :
         std::initializer_list<IQ8100Type*>{&bus.base, &bus.plus, &bus.x, &bus.runeTide}) {
      type->SetRegistryKey(store.Root());
    }
    controls::SetDeviceErrorReporter(
        [this](const IQException& e, IQDevice*, int) { reported.push_back(e.GetText()); });
    // A silent unit costs one reply time-out per request, not three.
    bus.port.SetRetries(0);
    // The ready waits, and the put-back's wait for a unit that fell silent, count polls, not time:
    // no load or stop of the machine gives up on a unit that answers.
    unit->SetReadyBound(testsupport::PollCountBound<ReadyBound>(kWaitPolls));
  }
  ~RandomOperationsTest() override {
    for (auto& editor : editors) editor.reset();
    crossovers.reset();
    memoryPage.reset();
    controls::SetDeviceErrorReporter(nullptr);
  }

  // A fresh read of every slot the unit holds a filter in, through the bus.
  std::vector<std::string> UnitFilters() {
    std::vector<std::string> lines;
    const std::vector<sim::family8100::FilterSlot> held = bus.SlotsOf(unitIndex);
    for (std::size_t slot = 0; slot < held.size(); ++slot) {
      std::unique_ptr<TFilter> filter = MakeFilter(held[slot].type);
      if (!held[slot].IsFilter() || filter == nullptr) continue;
      filter->slot = static_cast<int32_t>(slot);
      filter->ReadFromUnit(*unit);
      lines.push_back(Line(*filter));
    }
    std::ranges::sort(lines);
    return lines;
  }

  TFilterLayoutWindow& SomeEditor() {
    std::unique_ptr<TFilterLayoutWindow>& editor = editors[run.Below(int(editors.size()))];
    if (editor == nullptr) {
      editor = std::make_unique<TFilterLayoutWindow>(
          *unit, hubs, kBanks[static_cast<std::size_t>(&editor - editors.data())]);
      editor->Create();
    }
    return *editor;
  }
  void Run(ui::Window& target, int command) {
    ui::Application::Instance()->RouteCommand(command, &target);
  }

  std::string Operate(ui::PromptScript& script) {
    TFilterLayoutWindow& editor = SomeEditor();
    const std::string where = " in bank " + std::to_string(editor.Hub().Bank());
    ui::ListView& list = editor.List()->List();
    switch (run.Below(13)) {
      case 0:
        editors[static_cast<std::size_t>(run.Below(int(editors.size())))].reset();
        return "close an editor";
      case 1:
      case 2: {
        const int command = kAddCommands[run.Below(int(std::size(kAddCommands)))];
        script.AnswerMessageBox(ui::kIdOk);
        Run(editor, command);
        return "add " + std::to_string(command) + where;
      }
      case 3:
        list.SelectItem(-1);
        for (int row = 0; row < list.Count(); ++row) {
          if (run.Chance(0.4)) list.SetSelected(row, true);
        }
        return "select rows" + where;
      case 4:
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, f8100res::kCmDeleteFilters);
        return "delete" + where;
      case 5:
        Run(editor, run.Chance(0.5) ? f8100res::kCmBypassFilters : f8100res::kCmEnableFilters);
        return "bypass or enable" + where;
      case 6:
        script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
        Run(editor, f8100res::kCmCopyToTwin);
        return "copy to the twin bank" + where;
      case 7:
        return DeleteFromGraph(editor, script) + where;
      case 8:
        return TypeFrequency(editor) + where;
      case 9:
        return CrossoverStep();
      case 10:
        return MemoryStep(script);
      case 11:
        return StepSlope(editor) + where;
      default:
        return FileStep(script);
    }
  }

  // The unit refuses a request for one of the objects the operations write, loses one reply, or
  // stops answering part way through the step.
  void InjectFault(int step) {
    const UCodeObject& object = *kFaultObjects[run.Below(int(std::size(kFaultObjects)))];
    const int occurrence = 1 + run.Below(4);
    const std::string id = std::to_string(object.GetId());
    switch (run.Below(3)) {
      case 0:
        bus.bus.AddFault(
            sim::Fault::ErrorObject(7).ForObject(object.GetId()).OnOccurrence(occurrence));
        run.Log(step, "the unit refuses object " + id);
        break;
      case 1:
        bus.bus.AddFault(
            sim::Fault::Silence().ForObject(object.GetId()).OnOccurrence(occurrence).Times(1));
        run.Log(step, "the unit's reply for object " + id + " is lost");
        break;
      default:
        bus.bus.AddFault(sim::Fault::Silence().OnOccurrence(1 + run.Below(60)));
        run.Log(step, "the unit stops answering");
        break;
    }
  }

  // The graph's pop-up Delete on one of its icons.
  std::string DeleteFromGraph(TFilterLayoutWindow& editor, ui::PromptScript& script) {
    const auto& icons = editor.Graph()->Icons().All();
    if (icons.empty()) return "no icon to delete";
    TFilter& filter = icons[static_cast<std::size_t>(run.Below(int(icons.size())))]->Filter();
    // Named before the delete frees it.
    const std::string step = "delete slot " + std::to_string(filter.slot) + " from the graph";
    editor.Graph()->EvFilterSelected(&filter);
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    Run(*editor.Graph(), TFrequencyGraph::kCmDelete);
    return step;
  }

  std::string TypeFrequency(TFilterLayoutWindow& editor) {
    TFilterDialog8100* dialog = editor.Parameters().Dialog();
    if (dialog == nullptr) return "no dialog";
    const std::string hz = std::to_string(20 + run.Below(19000));
    ui::Window& field = ui::test::ControlOf(*dialog, f8100res::kFilterFrequency);
    field.SetText(hz);
    ui::test::PressKey(field, Qt::Key_Return);
    return "type " + hz + " Hz";
  }

  // A low-pass or high-pass filter's slope a step up or down in its dialog.
  std::string StepSlope(TFilterLayoutWindow& editor) {
    TFilterDialog8100* dialog = editor.Parameters().Dialog();
    if (dialog == nullptr || dynamic_cast<TPassFilter*>(dialog->Filter()) == nullptr) {
      return "no slope";
    }
    const int delta = run.Chance(0.5) ? 1 : -1;
    dynamic_cast<ui::UpDown&>(ui::test::ControlOf(*dialog, f8100res::kFilterSlopeSpin)).Step(delta);
    return "slope step " + std::to_string(delta);
  }

  // Opens or closes the crossover window, or steps a crossover's alignment in its dialog.
  std::string CrossoverStep() {
    if (crossovers == nullptr || run.Chance(0.2)) {
      crossovers.reset();
      if (run.Chance(0.5)) return "close the crossovers";
      crossovers = std::make_unique<TCrossoverWindow>(*unit);
      crossovers->Create();
      return "open the crossovers";
    }
    const int alignment = run.Below(4);
    const bool low = run.Chance(0.5);
    auto* combo = static_cast<QComboBox*>(
        ui::test::ControlOf(*crossovers, low ? f8100res::kLowAlignment : f8100res::kHighAlignment)
            .Widget());
    combo->setCurrentIndex(alignment);
    emit combo->activated(alignment);
    return std::string(low ? "low" : "high") + " crossover alignment " + std::to_string(alignment);
  }

  // A Save or Recall on the memory page, which stays open as in the unit's edit window.
  std::string MemoryStep(ui::PromptScript& script) {
    TMemoryDialog& page = *memoryPage;
    const int memory = run.Below(3);
    const bool recall = run.Chance(0.5);
    script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
    ui::test::Click(page,
                    (recall ? f8100res::kFirstRecallButton : f8100res::kFirstSaveButton) + memory);
    return (recall ? "recall memory " : "save memory ") + std::to_string(memory + 1);
  }

  std::string FileStep(ui::PromptScript& script) {
    const std::string path = files.filePath("unit.ov0").toStdString();
    const auto allMemories = [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); };
    if (run.Chance(0.5) || !std::filesystem::exists(path)) {
      script.AnswerSaveFile(path);
      if (std::filesystem::exists(path)) script.AnswerMessageBox(ui::kIdYes);
      script.RunDialog(f8100res::kMemorySelectDialog, allMemories).AnswerMessageBox(ui::kIdOk);
      unit->SaveFile();
      return "save the settings";
    }
    script.AnswerOpenFile(path)
        .RunDialog(f8100res::kMemorySelectDialog, allMemories)
        .AnswerMessageBox(ui::kIdOk);
    controls::GuardedBusCall(unit, [&] { unit->LoadFile(); });
    return "load the settings";
  }

  void ExpectTheTruth() {
    for (const auto& editor : editors) {
      if (editor == nullptr) continue;
      SCOPED_TRACE("bank " + std::to_string(editor->Hub().Bank()));
      for (const auto& icon : editor->Graph()->Icons().All()) {
        EXPECT_TRUE(HoldsShown(*unit, *icon));
      }
      std::size_t rows = 0;
      for (const auto& filter : unit->Filters()) {
        rows += filter->bank == editor->Hub().Bank() ? 1 : 0;
      }
      EXPECT_EQ(static_cast<std::size_t>(editor->List()->List().Count()), rows);
      for (TFilter* selected : familycommon::HeldFilters(editor->Hub().selection)) {
        EXPECT_TRUE(HoldsFilter(*unit, selected));
      }
      EXPECT_TRUE(editor->Hub().current == nullptr || HoldsFilter(*unit, editor->Hub().current));
      if (const TFilterDialog8100* dialog = editor->Parameters().Dialog()) {
        EXPECT_TRUE(dialog->Filter() != nullptr && HoldsFilter(*unit, dialog->Filter()));
      }
    }
    if (crossovers != nullptr) {
      const auto& icons = crossovers->Graph().Icons().All();
      for (const auto& icon : icons) EXPECT_TRUE(HoldsShown(*unit, *icon));
      EXPECT_EQ(icons.size(), std::size_t{unit->LowCrossover() != nullptr} +
                                  std::size_t{unit->HighCrossover() != nullptr});
    }
    EXPECT_EQ(ProgramFilters(*unit), UnitFilters());
  }

  testsupport8100::OlderFamilyBus bus;
  int unitIndex = sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = sim::family8100::Model::kX, .address = 4});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  registry::Store store;
  TAllChannelParent hubs;
  std::array<std::unique_ptr<TFilterLayoutWindow>, kBanks.size()> editors;
  std::unique_ptr<TCrossoverWindow> crossovers;
  std::vector<std::string> reported;
  QTemporaryDir files;
  testsupport::RandomRun run{kSuiteSeed, kSuiteSteps};
  std::unique_ptr<TMemoryDialog> memoryPage = [this] {
    auto page = std::make_unique<TMemoryDialog>(nullptr, *unit);
    page->Create();
    return page;
  }();
};

TEST_F(RandomOperationsTest, FiltersStayTheUnitsThroughRandomOperationsAndRefusals) {
  for (int step = 1; step <= run.Steps() && !HasFailure(); ++step) {
    if (run.Chance(0.3)) InjectFault(step);
    reported.clear();
    {
      // Whatever the step asks is answered; an answer it did not need is no failure.
      ui::PromptScript script{[](const std::string&) {}};
      run.Log(step, Operate(script));
      ui::test::PumpMessages();
    }
    bus.bus.ClearFaults();
    SCOPED_TRACE(run.Repeat());
    EXPECT_LE(reported.size(), 1u) << "one failure, one report";
    // The next poll that finds the unit answering (the signal-flow page's meters) reads its lists
    // again if a silence left them stale.
    unit->ReadAgainIfStale();
    ui::test::PumpMessages();
    ExpectTheTruth();
  }
}

}  // namespace
