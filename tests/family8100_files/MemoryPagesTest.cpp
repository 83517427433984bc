#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Qt>
#include <algorithm>
#include <optional>
#include <utility>

#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Message.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100Ids.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/support/FailureInBox.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// The edit window's stand-in: it keeps the messages its pages post to it.
class Parent : public ui::Window {
 public:
  Parent() : ui::Window(nullptr) {
    OnMessage(TMemoryDialog::kMemoryRecalled, [this](const ui::Message& m) {
      received.push_back(m.id);
      return ui::Param{0};
    });
  }
  ~Parent() override { Destroy(); }
  std::vector<ui::MessageId> received;
};

class OlderFamilyMemoryPageTest : public ::testing::Test {
 protected:
  OlderFamilyMemoryPageTest() {
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2});
    unit = testsupport8100::OnlyUnit(bus);
    controls::SetDeviceErrorReporter(
        [this](const IQException& e, IQDevice*, int) { reported.push_back(e.GetText()); });
    parent.Create();
  }
  ~OlderFamilyMemoryPageTest() override { controls::SetDeviceErrorReporter(nullptr); }

  std::vector<std::string> NamesOnTheUnit() {
    std::vector<std::string> names;
    for (uint8_t memory = 1; memory <= 12; ++memory) {
      g8100MemoryIndex.Write(*unit, memory);
      names.push_back(unit->GetMemoryName());
    }
    return names;
  }

  ui::PromptScript script{filestest::FailTest};
  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
  Parent parent;
  std::vector<std::string> reported;
};

}  // namespace

TEST_F(OlderFamilyMemoryPageTest, NamesThePageCouldNotReadAreNeverWrittenOver) {
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(30).ForOpcode(sim::kOpcodeGet).OnOccurrence(4));
  TMemoryDialog page(&parent, *unit);
  page.Create();
  EXPECT_EQ(reported.size(), 1u);
  // Unknown: empty, not the template's placeholder.
  EXPECT_EQ(ui::test::ControlOf(page, f8100res::kFirstMemoryName + 3).Text(), "");
  ui::test::Type(page, f8100res::kFirstMemoryName, "Evening show");  // the twelfth is refused
  EXPECT_EQ(ui::test::ControlOf(page, f8100res::kFirstMemoryName).Text(), "Evening sho");
  ui::test::Type(page, f8100res::kFirstMemoryName + 1, "Late!");  // "!" is refused
  // Enter and Escape close nothing and press nothing.
  ui::test::PressKey(page, Qt::Key_Return);
  ui::test::PressKey(page, Qt::Key_Escape);
  EXPECT_TRUE(page.IsCreated());
  page.Destroy();
  bus.bus.ClearFaults();
  EXPECT_THAT(NamesOnTheUnit(), ElementsAre("Evening sho", "Late", "Memory 3", "Memory 4",
                                            "Memory 5", "Memory 6", "Memory 7", "Memory 8",
                                            "Memory 9", "Memory 10", "Memory 11", "Memory 12"));
}

TEST_F(OlderFamilyMemoryPageTest, AUnitNameThatCannotBeReadIsReportedOnceAndLeavesTheAddress) {
  unit->ResetValueStore();
  bus.bus.AddFault(sim::Fault::ErrorObject(7)
                       .ForObject(sim::family8100::kUnitNameId)
                       .ForOpcode(sim::kOpcodeGet));
  TMemoryDialog page(&parent, *unit);
  page.Create();
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(page.Text(), "Memories - 2");
  EXPECT_EQ(ui::test::ControlOf(page, f8100res::kFirstMemoryName).Text(), "");
}

TEST_F(OlderFamilyMemoryPageTest, ARecallRefreshesTheWindowsAlsoWhenItFailsPartWay) {
  TMemoryDialog page(&parent, *unit);
  page.Create();
  script.AnswerMessageBox(ui::kIdNo);
  ui::test::Click(page, f8100res::kFirstRecallButton + 4);
  ui::test::PumpMessages();
  EXPECT_TRUE(parent.received.empty()) << "No recalls nothing";

  // The unit recalls memory 5, then a read of its filters fails.
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(20).ForOpcode(sim::kOpcodeGet).OnOccurrence(3));
  script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(page, f8100res::kFirstRecallButton + 4);
  ui::test::PumpMessages();
  ASSERT_GE(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen().end()[-2].text, "Overwrite current settings with memory #5, 'Memory 5'?");
  // The failure and what the unit may hold, in one box.
  EXPECT_THAT(script.Seen().back().text, testing::EndsWith(familycommon::kRecallNotFinishedText));
  EXPECT_EQ(reported.size() + testsupport::FailuresToldInBoxes(script), 1u);
  EXPECT_THAT(parent.received, ElementsAre(TMemoryDialog::kMemoryRecalled));
  bus.bus.ClearFaults();
  page.Destroy();
}

// Save and Recall read the memory's name from the unit before they ask: on a silent unit the click
// is told once and nothing is asked; once it answers, the question quotes the name the unit
// holds, neither the empty field of a page opened while it was silent nor a name typed since.
TEST_F(OlderFamilyMemoryPageTest, SaveAndRecallAskWithTheNameTheUnitHolds) {
  bus.bus.AddFault(sim::Fault::Silence().Times(sim::Fault::kForever));
  TMemoryDialog page(&parent, *unit);
  page.Create();
  for (const int button : {f8100res::kFirstSaveButton, f8100res::kFirstRecallButton}) {
    reported.clear();
    ui::test::Click(page, button);
    ui::test::PumpMessages();
    EXPECT_EQ(reported.size(), 1u) << button;
  }
  EXPECT_THAT(script.Seen(), IsEmpty());
  bus.bus.ClearFaults();
  ui::test::Type(page, f8100res::kFirstMemoryName + 1, "Matinee");
  script.AnswerMessageBox(ui::kIdNo).AnswerMessageBox(ui::kIdNo);
  ui::test::Click(page, f8100res::kFirstSaveButton);
  ui::test::Click(page, f8100res::kFirstRecallButton + 1);
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[0].text, "Overwrite memory #1, 'Memory 1'?");
  EXPECT_EQ(script.Seen()[1].text, "Overwrite current settings with memory #2, 'Memory 2'?");
  EXPECT_TRUE(parent.received.empty());
  page.Destroy();
}

TEST_F(OlderFamilyMemoryPageTest, ARecallRefusedAtAnyStepLeavesTheFiltersAsTheUnitHoldsThem) {
  using testsupport8100::AddFilter;
  using testsupport8100::Made;
  TMemoryDialog page(&parent, *unit);
  page.Create();
  const auto prepare = [&] {
    unit->RemoveFilters();
    AddFilter(*unit, Made<TParametricFilter>(kRightInputBank, 400));
    unit->SaveMemory(5);
    unit->RemoveFilters();
    AddFilter(*unit, Made<TLowpassFilter>(kLeftInputBank, 9000));
    AddFilter(*unit, Made<THighshelfFilter>(kLeftInputBank, 5000));
    bus.TakeTrace();
  };
  // The recall and the read of the filters after it: every request up to the first empty slots
  // read, then a sample of the many empty slots that follow. The memory's name read for the
  // question before them asks nothing when it fails.
  prepare();
  script.AnswerMessageBox(ui::kIdYes);
  ui::test::Click(page, f8100res::kFirstRecallButton + 4);
  ui::test::PumpMessages();
  const std::vector<std::string> trace = bus.TakeTrace();
  const auto firstRead = std::ranges::find(trace, "R14");
  ASSERT_NE(firstRead, trace.end());
  const int whole = static_cast<int>(firstRead - trace.begin()) + 24;
  const int steps = static_cast<int>(trace.size());
  ASSERT_GT(steps, whole);
  const auto named = std::ranges::find(trace, "R1E");
  ASSERT_NE(named, trace.end());
  for (int failing = static_cast<int>(named - trace.begin()) + 2; failing <= steps;
       failing += failing < whole ? 1 : 17) {
    SCOPED_TRACE(failing);
    prepare();
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    reported.clear();
    const std::size_t seenBefore = script.Seen().size();
    script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
    ui::test::Click(page, f8100res::kFirstRecallButton + 4);
    ui::test::PumpMessages();
    bus.bus.ClearFaults();
    EXPECT_EQ(reported.size() + testsupport::FailuresToldInBoxes(script, seenBefore), 1u);
    const std::vector<std::string> program = testsupport8100::Described(*unit);
    unit->ReadAllParameters();
    EXPECT_EQ(program, testsupport8100::Described(*unit));
  }
  page.Destroy();
}

TEST_F(OlderFamilyMemoryPageTest, ThePresetMapShowsTheEditedNamesAndWritesTheChosenMemories) {
  TMemoryDialog page(&parent, *unit);
  page.Create();
  ui::test::Type(page, f8100res::kFirstMemoryName + 2, "Matinee");
  script.RunDialog(f8100res::kPresetDialog, [](ui::Dialog& dialog) {
    auto& first =
        dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, f8100res::kFirstPresetList));
    EXPECT_EQ(first.ItemText(2), "3: Matinee");
    EXPECT_EQ(first.Selection(), 0);
    first.SetSelection(2);
    dialog.CloseWindow(ui::kIdOk);
  });
  ui::test::Click(page, f8100res::kPresetMapButton);
  g8100PresetIndex.Write(*unit, 1);
  EXPECT_EQ(unit->GetPresetMapEntry(), 3);
  g8100PresetIndex.Write(*unit, 2);
  EXPECT_EQ(unit->GetPresetMapEntry(), 2);
  page.Destroy();
}

// A name typed while the unit fails, then the preset map, which writes the names first: one report
// for the click and no map; the field shows unknown while the unit may hold the name, the unit's
// name again after a refusal. Once the unit answers, the page shows the name the unit holds, and
// nothing is written when it closes.
TEST_F(OlderFamilyMemoryPageTest,
       ANameTheUnitFailsIsToldOnceAndShowsWhatTheUnitHoldsOnceItAnswers) {
  using testsupport8100::WriteFailure;
  for (const WriteFailure failure : testsupport8100::kEachWriteFailure) {
    SCOPED_TRACE(NameOf(failure));
    testsupport8100::OlderFamilyBus named;
    sim::family8100::AddFamily8100Unit(named.bus, {.model = Model::kX, .address = 2});
    TEdit8100Window window(nullptr, *testsupport8100::OnlyUnit(named));
    window.Create();
    TMemoryDialog& page = window.Memory();
    page.Create();
    const int field = f8100res::kFirstMemoryName + 2;
    const std::string shown = ui::test::ControlOf(page, field).Text();
    ui::test::Type(page, field, "Matinee");
    reported.clear();
    named.bus.AddFault(FailingWrites(failure, 2).ForObject(g8100MemoryName.GetId()));
    ui::test::Click(page, f8100res::kPresetMapButton);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(ui::test::ControlOf(page, field).Text(),
              failure == WriteFailure::kRefused ? shown : "");
    named.bus.ClearFaults();
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(3);
    ui::test::PumpMessages();
    EXPECT_EQ(ui::test::ControlOf(page, field).Text(),
              failure == WriteFailure::kCarriedOut ? "Matinee" : shown);
    named.TakeTrace();
    page.Destroy();
    EXPECT_THAT(named.TakeTrace(), IsEmpty());
    EXPECT_EQ(reported.size(), 1u);
    window.CloseWindow();
  }
}

// A read again that finds the unit locked closes the memory page, which writes the name typed into
// it as it closes: the name not written is told once, though the read again passes over the
// silence told before it. The unit refuses the name, or never answers the ready read the write
// waits on first.
TEST_F(OlderFamilyMemoryPageTest, ANameNotWrittenAsAReadAgainClosesThePageIsToldOnce) {
  const std::pair<std::optional<sim::Fault>, std::string> rows[] = {
      {std::nullopt, ErrorObject(0).GetText()},
      {sim::Fault::Silence().ForObject(g8100Ready.GetId()).ForOpcode(sim::kOpcodeGet),
       ReadTimeout().GetText()}};
  for (const auto& [fault, told] : rows) {
    SCOPED_TRACE(told);
    testsupport8100::OlderFamilyBus locked;
    sim::family8100::AddFamily8100Unit(locked.bus, {.model = Model::kX, .address = 2});
    IQDevice8100& lockedUnit = *testsupport8100::OnlyUnit(locked);
    TEdit8100Window window(nullptr, lockedUnit);
    window.Create();
    TMemoryDialog& page = window.Memory();
    page.Create();
    ui::test::Type(page, f8100res::kFirstMemoryName + 2, "Matinee");
    locked.bus.WithUnit(
        0, [](sim::Unit& u) { dynamic_cast<sim::family8100::Family8100Unit&>(u).Lock("stage"); });
    if (fault) locked.bus.AddFault(*fault);
    reported.clear();
    lockedUnit.MarkInDoubt();
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(3);
    ui::test::PumpMessages();
    EXPECT_FALSE(page.IsCreated());
    EXPECT_THAT(reported, ElementsAre(told));
    locked.bus.ClearFaults();
    window.CloseWindow();
  }
}
