// The memory, logic and unit-clock panes against simulated units through the pseudo-terminal,
// hosted by a data window that plays the unit's edit window: it records what the panes tell it
// and hands every record back down, as the edit window does.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "familycommon/LoadFailure.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/LogicPanes.h"
#include "familyov/unit/MemoryPanes.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TSetTimeDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "resources/FamilyOvFunctionIds.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using namespace ovfunctions_res;
using sim::familyov::Model;
using testing::ElementsAre;

class Host : public ui::Window, public TDataWindow {
 public:
  Host() : TDataWindow(nullptr) {
    SetLink1(this);
    SetLink2(this);
  }
  ~Host() override { Destroy(); }
  void Notify(NotifyRecord* record) override {
    codes.push_back({record->code, record->channel});
    TDataWindow::Notify(record);
  }
  std::vector<std::pair<uint32_t, int>> codes;
};

struct PanesTest : testing::Test {
  void SetUp() override {
    RegisterAppDialogs();
    RegisterFunctionDialogs();
    previousReporter_ = SetCommErrorReporter(
        [](const IQException& e, IQDevice&) { Errors().push_back(e.GetText()); });
    Errors().clear();
  }
  // The other suites of the program report to their own list.
  void TearDown() override { SetCommErrorReporter(previousReporter_); }
  static std::vector<std::string>& Errors() {
    static std::vector<std::string> errors;
    return errors;
  }
  // The unit's transfers since the last call, without the reads of the ready flag.
  std::vector<std::string> Trace() {
    auto trace = bus.TakeTrace();
    std::erase(trace, "R06");
    return trace;
  }
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  Host host;

 private:
  CommErrorReporter previousReporter_ = nullptr;
};

struct Memories8126Test : PanesTest {
  IQ8126Type type;
  int index = bus.AddModelUnit(Model::k8126, 8, "1.4");
  IQDeviceInfo record{8, 880, 1, ovtest::ModelId('6', "1.4", false)};
  IQDevice8126 unit{&type, &bus.manager, &record, 6};
};

TEST_F(Memories8126Test, NamesAreCommittedOnlyWhenChangedAndEscapeRestoresThem) {
  TMemoryDialog row(&host, unit, 4);
  host.Create();
  EXPECT_EQ(ui::test::ControlOf(row, kMemoryName).Text(), "Memory 4");
  Trace();

  ui::test::Type(row, kMemoryName, "Stage.4_x");  // stops and underscores are refused
  EXPECT_EQ(ui::test::ControlOf(row, kMemoryName).Text(), "Stage4x");
  ui::test::PressKey(ui::test::ControlOf(row, kMemoryName), Qt::Key_Return);
  EXPECT_THAT(Trace(), ElementsAre("W19.3 5374616765347800"));
  EXPECT_THAT(host.codes, ElementsAre(std::pair(0x85u, 3)));

  row.CommitName();  // as the edit loses the focus, nothing typed since
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(host.codes.size(), 1u);

  ui::test::Type(row, kMemoryName, "A very long name");
  EXPECT_EQ(ui::test::ControlOf(row, kMemoryName).Text().size(), 11u);
  ui::test::PressKey(ui::test::ControlOf(row, kMemoryName), Qt::Key_Escape);
  EXPECT_EQ(ui::test::ControlOf(row, kMemoryName).Text(), "Stage4x");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(Memories8126Test, ARecallLightsItsLampInEveryRowAndRereadsTheUnit) {
  TMemoryDialog second(&host, unit, 2);
  TMemoryDialog fourth(&host, unit, 4);
  host.Create();
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(fourth, kMemoryRecall);
  EXPECT_EQ(script.Seen().back().text, "Recall memory 4, 'Memory 4' over current settings?");
  const auto trace = Trace();
  EXPECT_NE(std::ranges::find(trace, "W0B 04"), trace.end());
  EXPECT_EQ(host.codes.back(), std::pair(0x69u, 0));
  EXPECT_EQ(dynamic_cast<TLEDButton&>(ui::test::ControlOf(fourth, kMemoryLamp)).GetState(), 3);
  EXPECT_EQ(dynamic_cast<TLEDButton&>(ui::test::ControlOf(second, kMemoryLamp)).GetState(), 5);
}

TEST_F(Memories8126Test, TheLampOfAMemoryASilentUnitDoesNotNameShowsUnknown) {
  TMemoryDialog fourth(&host, unit, 4);
  host.Create();
  EXPECT_EQ(dynamic_cast<TLEDButton&>(ui::test::ControlOf(fourth, kMemoryLamp)).GetState(), 5);
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  NotifyRecord refresh{.code = RefreshAll};
  fourth.Notify(&refresh);
  EXPECT_EQ(dynamic_cast<TLEDButton&>(ui::test::ControlOf(fourth, kMemoryLamp)).GetState(),
            TLEDButton::kUnknownState);
}

// Once the unit answers, each row shows its name, but for a name the user is typing meanwhile.
TEST_F(Memories8126Test, TheNameOfAMemoryASilentUnitDoesNotGiveShowsUnknownUntilItAnswers) {
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  TMemoryDialog third(&host, unit, 3);
  TMemoryDialog fourth(&host, unit, 4);
  host.Create();
  EXPECT_EQ(ui::test::ControlOf(fourth, kMemoryName).Text(), "");
  ui::test::Type(third, kMemoryName, "Stage");
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(8);
  ui::test::RestIdle();
  EXPECT_EQ(ui::test::ControlOf(fourth, kMemoryName).Text(), "Memory 4");
  EXPECT_EQ(dynamic_cast<TLEDButton&>(ui::test::ControlOf(fourth, kMemoryLamp)).GetState(), 5);
  EXPECT_EQ(ui::test::ControlOf(third, kMemoryName).Text(), "Stage");
}

TEST_F(Memories8126Test, EscapeOnASilentUnitDropsWhatWasTypedForAnUnknownName) {
  TMemoryDialog fourth(&host, unit, 4);
  host.Create();
  ui::test::Type(fourth, kMemoryName, "Stage");
  unit.InvalidateValues();  // as a recall in another window does
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  ui::test::PressKey(ui::test::ControlOf(fourth, kMemoryName), Qt::Key_Escape);
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_EQ(ui::test::ControlOf(fourth, kMemoryName).Text(), "");
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(4);
  ui::test::RestIdle();
  EXPECT_EQ(ui::test::ControlOf(fourth, kMemoryName).Text(), "Memory 4");
}

// The unit's filters as the program holds them: number, type, channel and frequency.
std::vector<std::array<int, 4>> FiltersHeld(const IQDeviceOrdavinex& unit) {
  std::vector<std::array<int, 4>> held;
  for (const auto& f : unit.Filters()) {
    held.push_back({f->number, f->typeCode, f->channel, f->frequency});
  }
  std::ranges::sort(held);
  return held;
}

TEST_F(Memories8126Test, ARecallRefusedAtAnyStepLeavesTheFiltersAsTheUnitHoldsThem) {
  TMemoryDialog fourth(&host, unit, 4);
  host.Create();
  const auto place = [&](std::unique_ptr<TFilter> made, int channel, int frequency) {
    TFilter* filter = unit.AddFilter(std::move(made));
    filter->channel = channel;
    filter->frequency = frequency;
    filter->WriteToDevice(unit);
    filter->SendCreateCommand(unit);
  };
  const auto prepare = [&] {
    unit.RemoveAllFilters();
    place(std::make_unique<TParametricFilter>(), 1, 500);
    gSaveMemoryObject.SaveMemory(unit, 4);
    unit.RemoveAllFilters();
    place(std::make_unique<TLowpassFilter>(), 0, 9000);
    place(std::make_unique<THighpassFilter>(), 2, 80);
    bus.TakeTrace();
  };
  for (int warm = 0; warm < 2; ++warm) {  // the second recall as every later one, names read
    prepare();
    script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(fourth, kMemoryRecall);
  }
  // Every step up to the read of the lock that opens the read of the filters after the recall.
  const std::vector<std::string> trace = bus.TakeTrace();
  const int steps = static_cast<int>(std::ranges::find(trace, "R18") - trace.begin());
  ASSERT_GT(steps, 1);
  for (int failing = 1; failing <= steps; ++failing) {
    SCOPED_TRACE(failing);
    prepare();
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    Errors().clear();
    const std::string& refused = trace[static_cast<std::size_t>(failing - 1)];
    // A refused recall is told in one message with what the program now shows; a refused name
    // read is the command's one report, and the question never comes.
    const bool recall = refused.starts_with("W0B");
    if (!refused.starts_with("R19")) script.AnswerMessageBox(ui::kIdOk);
    if (recall) script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(fourth, kMemoryRecall);
    bus.bus.ClearFaults();
    if (recall) {
      EXPECT_THAT(script.Seen().back().text,
                  testing::AllOf(testing::StartsWith(ErrorObject(7).GetText()),
                                 testing::EndsWith(familycommon::kRecallNotFinishedText)));
    }
    // A refused poll of the ready flag is only polled again.
    const bool poll = refused == "R06";
    EXPECT_EQ(Errors().size(), poll || recall ? 0u : 1u);
    const auto program = FiltersHeld(unit);
    unit.ReadDeviceParameters();
    EXPECT_EQ(program, FiltersHeld(unit));
  }
}

TEST_F(PanesTest, SaveToAllSavesEachMemoryOfTheModelInOrder) {
  IQ8148Type type;
  bus.AddModelUnit(Model::k8148, 3);
  IQDeviceInfo record{3, 1136, 1, ovtest::ModelId('8', "1.5", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};
  TMemoryTitleDialog title(&host, unit);
  host.Create();
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(title, kSaveToAll);
  EXPECT_THAT(Trace(), ElementsAre("W0A 01", "W0A 02", "W0A 03", "W0A 04", "W0A 05", "W0A 06",
                                   "W0A 07", "W0A 08"));
}

TEST_F(PanesTest, AUnitThatNeverGetsReadyAfterASaveIsReportedAndTheRowStaysUsable) {
  IQ8148Type type;
  const int index = bus.AddUnit(5, 1136, ovtest::ModelId('8', "1.0", true));
  IQDeviceInfo record{5, 1136, 1, ovtest::ModelId('8', "1.0", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};
  auto now = WaitBound::Clock::time_point{};
  unit.SetWaitBound(
      {.limit = std::chrono::seconds(5), .now = [&] { return now += std::chrono::seconds(1); }});
  bus.StoreByte(index, 0x06, 0, 0);
  TMemoryDialog row(&host, unit, 2);
  host.Create();
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(row, kMemorySave);
  EXPECT_THAT(Errors(), testing::IsEmpty());
  EXPECT_EQ(script.Seen().back().text,
            std::string("Timeout elapsed waiting for device to become ready.\n\n") +
                familycommon::kSaveNotFinishedText);
  EXPECT_EQ(Trace().back(), "R41");  // the lamp is read again
}

struct LogicTest : Memories8126Test {
  void SetUp() override {
    Memories8126Test::SetUp();
    bus.StoreByte(index, 0x1A, 2, 5);
    bus.StoreByte(index, 0x21, 2, 19);
    bus.StoreByte(index, 0x1A, 3, 6);
  }
};

TEST_F(LogicTest, BitsNumbersAndTheMemoryChoiceEditTheSelectedInput) {
  TLogicDialog dialog(&host, unit);
  TLogicListWindow list(&host, unit);
  list.SetRect({0, 0, 300, 500});
  host.Create();
  host.Show();  // the edits take the focus
  ui::ListView& rows = list.List();
  EXPECT_EQ(rows.Count(), 31);
  EXPECT_EQ(rows.ItemText(1, 1), "Memory 5");
  EXPECT_EQ(rows.ItemText(1, 2), "19");
  EXPECT_EQ(rows.SelectedItem(), 0);

  ui::test::Click(dialog, kFirstLogicInBit);  // 16; input 1's box was ticked
  EXPECT_EQ(unit.selectedLogicIn, 17);
  EXPECT_EQ(ui::test::ControlOf(dialog, kLogicInNumber).Text(), "17");
  EXPECT_EQ(rows.SelectedItem(), 16);

  ui::test::Type(dialog, kLogicInNumber, "45");
  ui::test::PressKey(ui::test::ControlOf(dialog, kLogicInNumber), Qt::Key_Return);
  EXPECT_EQ(unit.selectedLogicIn, 31);

  ui::test::Type(dialog, kLogicInNumber, "3");
  ui::test::PressKey(ui::test::ControlOf(dialog, kLogicInNumber), Qt::Key_Return);
  Trace();
  auto& memory = dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kRecalledMemory));
  EXPECT_EQ(memory.Selection(), 6);
  EXPECT_EQ(memory.ItemText(6), "6: Memory 6");
  memory.SetSelection(0);
  dialog.SendNotify({.controlId = kRecalledMemory, .code = ui::Notify::SelChange});
  EXPECT_EQ(Trace().front(), "W1A.3 00");
  EXPECT_EQ(rows.ItemText(2, 1), "<None>");

  ui::test::Click(dialog, kFirstLogicOutBit);  // logic out 16
  EXPECT_EQ(Trace().front(), "W21.3 10");
  EXPECT_EQ(rows.ItemText(2, 2), "16");

  for (int box = kFirstLogicInBit; box < kFirstLogicInBit + 5; ++box) {
    if (dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(dialog, box)).IsChecked()) {
      ui::test::Click(dialog, box);
    }
  }
  EXPECT_EQ(unit.selectedLogicIn, 0);
  EXPECT_FALSE(ui::test::ControlOf(dialog, kTriggerNow).IsEnabled());
  EXPECT_FALSE(ui::test::ControlOf(dialog, kRecalledMemory).IsEnabled());
  EXPECT_EQ(rows.SelectedItem(), -1);
}

TEST_F(LogicTest, AMemoryChosenOnASilentUnitLeavesThePaneAndItsRowUnknown) {
  unit.selectedLogicIn = 2;
  TLogicDialog dialog(&host, unit);
  TLogicListWindow list(&host, unit);
  host.Create();
  ui::ListView& rows = list.List();
  EXPECT_EQ(rows.ItemText(1, 1), "Memory 5");
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  auto& memory = dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kRecalledMemory));
  memory.SetSelection(0);
  dialog.SendNotify({.controlId = kRecalledMemory, .code = ui::Notify::SelChange});
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_EQ(memory.Selection(), -1);
  EXPECT_EQ(rows.ItemText(1, 1), "?");
  EXPECT_EQ(rows.ItemText(1, 2), "?");
}

// A pane filled while the unit was silent shows no bits; once the unit answers, a box ticked there
// changes that bit alone of the output the unit holds (input 2 drives 19), read first, and a read
// that fails writes nothing and is told once.
TEST_F(LogicTest, ABitTickedOnAPaneFilledSilentChangesThatBitOfWhatTheUnitHolds) {
  struct Row {
    const char* what;
    bool readsFail;
    std::vector<std::string> writes;
  };
  host.Create();
  for (const Row& row : {Row{"answering", false, {"W21.2 17"}}, Row{"reads fail", true, {}}}) {
    SCOPED_TRACE(row.what);
    unit.selectedLogicIn = 2;
    unit.InvalidateValues();
    bus.port.SetRetries(0);
    bus.bus.AddFault(sim::Fault::Unheard());
    TLogicDialog dialog(&host, unit);
    dialog.Create();
    bus.bus.ClearFaults();
    if (row.readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    Errors().clear();
    Trace();
    ui::test::Click(dialog, kFirstLogicOutBit + 2);  // the bit worth 4
    std::vector<std::string> writes = Trace();
    std::erase_if(writes, [](const std::string& t) { return t.front() != 'W'; });
    EXPECT_EQ(writes, row.writes);
    EXPECT_EQ(Errors().size(), row.readsFail ? 1u : 0u);
    bus.bus.ClearFaults();
  }
}

TEST_F(LogicTest, AListFilledOnASilentUnitHasEveryRowUnknownUntilItAnswers) {
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  TLogicListWindow list(&host, unit);
  host.Create();
  ui::ListView& rows = list.List();
  EXPECT_EQ(Errors().size(), 1u);
  ASSERT_EQ(rows.Count(), 31);
  EXPECT_EQ(rows.ItemText(30, 0), "31");
  EXPECT_EQ(rows.ItemText(1, 1), "?");
  EXPECT_EQ(rows.ItemText(1, 2), "?");
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(4);
  ui::test::RestIdle();
  EXPECT_EQ(rows.ItemText(1, 1), "Memory 5");
  EXPECT_EQ(rows.ItemText(1, 2), "19");
}

TEST_F(LogicTest, DraggingARowOntoAnotherCopiesItsResponse) {
  TLogicListWindow list(&host, unit);
  list.SetRect({0, 0, 300, 600});
  host.Create();
  ui::ListView& rows = list.List();
  Trace();
  list.SendNotify({.controlId = kLogicList, .code = ui::Notify::BeginDrag, .item = 1});
  const ui::Rect target = rows.ItemRect(6);
  const ui::Point drop =
      list.ScreenToClient(rows.ClientToScreen({target.left + 5, (target.top + target.bottom) / 2}));
  ui::test::MouseMove(list, drop);
  ui::test::MouseUp(list, drop);
  EXPECT_THAT(Trace(), ElementsAre("W1A.7 05", "W21.7 13"));
  EXPECT_EQ(rows.ItemText(6, 1), "Memory 5");
  EXPECT_EQ(rows.ItemText(6, 2), "19");
  EXPECT_EQ(rows.ItemText(1, 2), "19");
  EXPECT_EQ(host.codes.back(), std::pair(0x87u, 7));
}

TEST_F(LogicTest, ATriggerOnAVirtualUnitRefusesAMemoryTheModelLacks) {
  auto virtualUnit = ovtest::NewVirtual<IQDevice8126>(6);
  virtualUnit->selectedLogicIn = 3;
  gLogicMemoryObject.SetElement(3);
  gLogicMemoryObject.Write(*virtualUnit, 14);  // 12 memories before firmware 1.5
  virtualUnit->firmwareVersion = 1.4f;
  TLogicDialog dialog(&host, *virtualUnit);
  host.Create();
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(dialog, kTriggerNow);
  EXPECT_THAT(Errors(), ElementsAre("Logic input 3 recalls memory 14, which this unit does not "
                                    "have (it has 12)."));
  EXPECT_EQ(host.codes.back(), std::pair(0x69u, 0));
}

// A set-time dialog opened on a silent unit shows no time, half of the day or daylight saving.
// Once the unit answers, "Set as given" with a day picked sets the unit's own time on that day,
// read first, never midnight, and writes nothing when that read fails; and an idle pass fills the
// dialog.
TEST_F(Memories8126Test, TheSetTimeDialogOpenedOnASilentUnitTakesTheUnitsClockOnceItAnswers) {
  struct Row {
    const char* what;
    bool readsFail;
    bool idle;
    const char* written;  // a pattern; empty for nothing written
  };
  for (const Row& row : {Row{"set as given", false, false, "W3C 040C[0-3][0-9A-F][0-3][0-9A-F]"},
                         Row{"reads fail", true, false, ""}, Row{"idle", false, true, ""}}) {
    SCOPED_TRACE(row.what);
    bus.port.SetRetries(0);
    bus.bus.AddFault(sim::Fault::Unheard());
    Errors().clear();
    script.RunDialog(kSetTimeDialog, [&](ui::Dialog& dialog) {
      auto& afternoon = dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(dialog, kAfternoon));
      auto& saving = dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(dialog, kDaylightSaving));
      EXPECT_EQ(ui::test::ControlOf(dialog, kClockTime).Text(), "");
      EXPECT_FALSE(afternoon.HasState());
      EXPECT_FALSE(saving.HasState());
      bus.bus.ClearFaults();
      if (row.readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
      Trace();
      if (row.idle) {
        PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
        ui::test::PumpIdle(4);
        EXPECT_THAT(ui::test::ControlOf(dialog, kClockTime).Text(),
                    ::testing::MatchesRegex("12:[0-5][0-9]:[0-5][0-9]"));
        EXPECT_TRUE(afternoon.HasState() && afternoon.IsChecked());
        EXPECT_TRUE(saving.HasState() && saving.IsChecked());
      } else {
        dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kClockDayOfWeek)).SetSelection(3);
        ui::test::Click(dialog, kSetAsGiven);
      }
      std::vector<std::string> writes = Trace();
      std::erase_if(writes, [](const std::string& t) { return t.front() != 'W'; });
      if (*row.written == '\0') {
        EXPECT_THAT(writes, testing::IsEmpty());
      } else {
        EXPECT_THAT(writes, ElementsAre(::testing::MatchesRegex(row.written)));
      }
      bus.bus.ClearFaults();
      ui::test::Click(dialog, ui::kIdOk);
    });
    TSetTimeDialog(&host, unit).Execute();
    EXPECT_EQ(Errors().size(), row.readsFail ? 2u : 1u) << "the opening's, and the change's";
  }
}

// A daylight saving switch the unit refused shows the setting the unit kept; one whose answer never
// came shows unknown.
TEST_F(Memories8126Test, TheDaylightSavingBoxShowsWhatTheUnitHoldsAfterAFailedSwitch) {
  struct Row {
    const char* what;
    sim::Fault fault;
    bool known;
  };
  bus.port.SetRetries(0);
  for (const Row& row :
       {Row{"refused", sim::Fault::ErrorObject(3).ForOpcode(sim::kOpcodeSet), true},
        Row{"answer lost", sim::Fault::Silence().ForOpcode(sim::kOpcodeSet), false}}) {
    SCOPED_TRACE(row.what);
    Errors().clear();
    script.RunDialog(kSetTimeDialog, [&](ui::Dialog& dialog) {
      auto& saving = dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(dialog, kDaylightSaving));
      EXPECT_TRUE(saving.IsChecked());
      bus.bus.AddFault(row.fault.ForObject(0x43));
      ui::test::Click(dialog, kDaylightSaving);
      bus.bus.ClearFaults();
      EXPECT_EQ(saving.HasState(), row.known);
      EXPECT_EQ(saving.IsChecked(), row.known) << "the unit's setting, on";
      ui::test::Click(dialog, ui::kIdOk);
    });
    TSetTimeDialog(&host, unit).Execute();
    EXPECT_EQ(Errors().size(), 1u);
  }
}

TEST_F(Memories8126Test, TheSetTimeDialogNormalisesWhatIsTypedAndSendsOnlyWhatTheUnitCanHold) {
  bus.TakeTrace();
  script.RunDialog(kSetTimeDialog, [&](ui::Dialog& dialog) {
    // The unit's clock has run on from noon since the unit was made, in real time: within the
    // hour, longer than any test may take, however slow the machine.
    EXPECT_THAT(ui::test::ControlOf(dialog, kClockTime).Text(),
                ::testing::MatchesRegex("12:[0-5][0-9]:[0-5][0-9]"));
    EXPECT_TRUE(dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(dialog, kAfternoon)).IsChecked());
    auto& day = dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kClockDayOfWeek));
    EXPECT_EQ(day.Selection(), 0);
    day.SetSelection(3);
    ui::test::Type(dialog, kClockTime, "13:75:00");
    ui::test::Click(dialog, kSetAsGiven);
    EXPECT_EQ(ui::test::ControlOf(dialog, kClockTime).Text(), "12:59:00");
    ui::test::Click(dialog, kDaylightSaving);
    day.SetSelection(-1);
    ui::test::Click(dialog, kSetAsGiven);  // answered below, nothing sent
    std::filesystem::create_directories(TELVO_GALLERY_DIR);
    EXPECT_TRUE(ui::test::GrabPng(dialog, TELVO_GALLERY_DIR "/set-time-dialog.png"));
    ui::test::Click(dialog, ui::kIdOk);
  });
  script.AnswerMessageBox(ui::kIdOk);
  TSetTimeDialog(&host, unit).Execute();
  EXPECT_THAT(Trace(), ElementsAre("R3C", "R43", "W3C 040C3B00", "W43 00"));
  EXPECT_EQ(script.Seen().back().text, "Choose the day of the week first.");
}

}  // namespace
}  // namespace namespaceOV
