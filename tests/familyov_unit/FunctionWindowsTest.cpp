// The memory, logic and clock-event windows opened from a unit's edit window, against simulated
// units through the pseudo-terminal; each window is grabbed to the build folder's gallery.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "bus/PollBackoff.h"
#include "familyov/unit/ClockEvents.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TLogicWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "familyov/unit/TRTCWindows.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "resources/FamilyOvFunctionIds.h"
#include "sim/Fault.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using namespace ovfunctions_res;
using sim::familyov::Model;
using testing::ElementsAre;

// The column titles a list shows above its rows, none while its header is hidden.
std::vector<std::string> ShownColumnTitles(ui::ListView& list) {
  auto* view = static_cast<QTreeWidget*>(list.Widget());
  std::vector<std::string> titles;
  if (!view->header()->isVisible()) return titles;
  for (int c = 0; c < view->columnCount(); ++c) {
    titles.push_back(view->headerItem()->text(c).toStdString());
  }
  return titles;
}

void Grab(ui::Window& window, const std::string& name) {
  const std::filesystem::path folder = TELVO_GALLERY_DIR;
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(ui::test::GrabPng(window, (folder / name).string()));
}

struct WindowsTest : testing::Test {
  void SetUp() override {
    RegisterAppResources();
    previousReporter_ =
        SetCommErrorReporter([](const IQException& e, IQDevice&) { ADD_FAILURE() << e.GetText(); });
  }
  void TearDown() override { SetCommErrorReporter(previousReporter_); }
  template <typename Window>
  Window& Open(TEditOVWindow& editWindow, int node) {
    editWindow.OpenChildWindow(node);
    auto* window = dynamic_cast<Window*>(editWindow.ChildWindow(node));
    if (window == nullptr) throw std::logic_error("no window");
    return *window;
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> writes;
    for (auto& line : bus.TakeTrace()) {
      if (line[0] == 'W') writes.push_back(line);
    }
    return writes;
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  IQ8126Type type;
  int index = bus.AddModelUnit(Model::k8126, 8, "1.4");
  IQDeviceInfo record{8, 880, 1, ovtest::ModelId('6', "1.4", false)};
  IQDevice8126 unit{&type, &bus.manager, &record, 6};

 private:
  CommErrorReporter previousReporter_ = nullptr;
};

TEST_F(WindowsTest, MemoryAndLogicWindowsShowTheModelsMemories) {
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  auto& memories = Open<TMemoryWindow>(editWindow, editWindow.Ids().memory);
  EXPECT_EQ(memories.RowCount(), 12);  // a 2-input unit before firmware 1.5
  EXPECT_EQ(memories.Text(), "Memory--" + unit.GetDisplayName());
  Grab(memories, "memory-window.png");
  memories.Show();
  memories.Widget()->activateWindow();  // the rows hear of the focus only in the active window
  ui::test::PumpMessages();
  ui::test::ControlOf(memories.Row(3), kMemoryName).SetFocus();
  ui::test::PressKey(memories.Row(3), Qt::Key_Tab);
  EXPECT_TRUE(ui::test::ControlOf(memories.Row(4), kMemoryName).IsFocusOfItsWindow());

  auto& logic = Open<TLogicWindow>(editWindow, editWindow.Ids().logic);
  EXPECT_EQ(logic.List().List().Count(), 31);
  EXPECT_THAT(ShownColumnTitles(logic.List().List()),
              testing::ElementsAre("Logic In", "Memory", "Logic Out"));
  Grab(logic, "logic-window.png");

  // A rename in the memory window reaches the logic window through the edit window.
  ui::test::Type(memories.Row(1), kMemoryName, "Opening");
  memories.Row(1).CommitName();
  EXPECT_EQ(logic.List().List().ItemText(0, 1), "Opening");
  EXPECT_EQ(
      dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(logic.Dialog(), kRecalledMemory)).ItemText(1),
      "1: Opening");
}

// Whether the window's title bar shows icon resource `icon`, or, for 0, no icon of its own.
bool ShowsIcon(const ui::Window& window, int icon) {
  const QIcon shown = window.Widget()->windowIcon();
  if (icon == 0) return shown.cacheKey() == QApplication::windowIcon().cacheKey();
  const QImage wanted = ui::Resources::Image(icon);
  return shown.pixmap(wanted.size()).toImage().convertToFormat(wanted.format()) == wanted;
}

TEST_F(WindowsTest, MemoryAndClockEventWindowsShowTheIconOfTheirOutputCount) {
  const struct {
    bool fourInputModel;
    int outputs;
    int icon;
  } units[] = {{false, 6, 16}, {false, 4, 17}, {false, 2, 18},
               {true, 6, 16},  {true, 8, 0},   {true, 7, 0}};
  for (const auto& u : units) {
    SCOPED_TRACE((u.fourInputModel ? "4-input, " : "2-input, ") + std::to_string(u.outputs));
    std::unique_ptr<IQDeviceOrdavinex> device;
    std::unique_ptr<TEditOVWindow> editWindow;
    if (u.fourInputModel) {
      auto model = std::make_unique<IQDevice8148>(nullptr, nullptr, nullptr, u.outputs);
      editWindow = std::make_unique<TEdit8148Window>(nullptr, *model);
      device = std::move(model);
    } else {
      auto model = std::make_unique<IQDevice8126>(nullptr, nullptr, nullptr, u.outputs);
      editWindow = std::make_unique<TEdit8126Window>(nullptr, *model);
      device = std::move(model);
    }
    TMemoryWindow memories(*editWindow);
    TRTCDecoratedFrame events(*editWindow);
    for (ui::Window* window :
         {static_cast<ui::Window*>(&memories), static_cast<ui::Window*>(&events)}) {
      window->Create();
      EXPECT_TRUE(ShowsIcon(*window, u.icon)) << window->Text();
    }
  }
}

struct ClockEventsWindowTest : WindowsTest {
  void StoreEvent(int slot, std::vector<uint8_t> wire) {
    bus.bus.StoreElement(index, 0x3D, slot, wire);
  }
};

TEST_F(ClockEventsWindowTest, EventsAreListedMadeCopiedAndDeleted) {
  StoreEvent(0, {4, 15, 30, 4});  // Wednesday 3:30 PM
  StoreEvent(1, {1, 0, 5, 31});   // Sunday 12:05 AM
  for (int slot = 2; slot < 67; ++slot) StoreEvent(slot, {7, 23, 0, 1});
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  auto& frame = Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer);
  EXPECT_EQ(frame.Text(), "Timer Events--" + unit.GetDisplayName());
  ui::ListView& list = frame.List().List();
  ASSERT_EQ(list.Count(), 67);
  EXPECT_THAT(ShownColumnTitles(list), testing::ElementsAre("Time", "Logic"));
  EXPECT_EQ(list.ItemText(0, 0), "Sunday 12:05:00 AM");
  EXPECT_EQ(list.ItemText(1, 0), "Wednesday 3:30:00 PM");
  EXPECT_EQ(list.ItemText(1, 1), "Activate logic 4");
  EXPECT_EQ(list.SelectedItem(), 0);
  ui::test::PumpIdle(4);
  // The unit's clock runs from noon on, for as long as the machine takes to get here.
  EXPECT_THAT(ui::test::ControlOf(frame.Editor(), kClockDisplay).Text(),
              testing::MatchesRegex("Sunday, Jan 1, 2026  12:[0-5][0-9]:[0-5][0-9] PM"));
  Grab(frame, "clock-events-window.png");
  bus.TakeTrace();

  // Three free slots for four weekdays: three copies and the warning.
  list.SelectItem(1);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  frame.Commands().Run(kCmAllWeekdays);
  EXPECT_THAT(Writes(), ElementsAre("W3D.67 020F1E04", "W3D.68 030F1E04", "W3D.69 050F1E04"));
  EXPECT_EQ(script.Seen().back().text, "Too many events.  Not all events were copied.");
  EXPECT_FALSE(frame.List().CanAddEvent());

  // The afternoon box moves the event by twelve hours; deleting empties its slot.
  list.SelectItem(0);
  ui::test::Click(frame.Editor(), kAfternoon);
  EXPECT_THAT(Writes(), ElementsAre("W3D.1 010C051F"));
  EXPECT_EQ(list.ItemText(0, 0), "Sunday 12:05:00 PM");
  script.AnswerMessageBox(ui::kIdOk);
  frame.Commands().Run(kCmDeleteEvents);
  EXPECT_THAT(Writes(), ElementsAre("W3D.1 000C051F"));
  EXPECT_EQ(list.Count(), 69);
  EXPECT_TRUE(frame.List().CanAddEvent());
}

TEST_F(ClockEventsWindowTest, TheClockOfASilentUnitShowsUnknownUntilItAnswers) {
  static int reports;
  reports = 0;
  SetCommErrorReporter([](const IQException&, IQDevice&) { ++reports; });
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  ui::Window& clock = ui::test::ControlOf(
      Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer).Editor(), kClockDisplay);
  ui::test::PumpIdle(4);
  EXPECT_NE(clock.Text(), "");
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  ui::test::PumpIdle(4);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(clock.Text(), "");
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(4);
  ui::test::RestIdle();
  EXPECT_NE(clock.Text(), "");
}

// An edit window opened on a silent unit learns of its clock once the unit answers: the events it
// then reads again are the unit's, listed when their window opens.
TEST_F(ClockEventsWindowTest, TheEventsOfAUnitSilentAtTheOpeningAreReadOnceItAnswers) {
  SetCommErrorReporter([](const IQException&, IQDevice&) {});
  StoreEvent(0, {4, 15, 30, 4});  // Wednesday 3:30 PM
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Unheard());
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  bus.bus.ClearFaults();
  for (int pass = 0; pass < 4 && editWindow.Ids().timer == NodeIds::kAbsent; ++pass) {
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(20);
  }
  ui::test::RestIdle();
  ASSERT_NE(editWindow.Ids().timer, NodeIds::kAbsent);
  auto& frame = Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer);
  ASSERT_EQ(frame.List().List().Count(), 1);
  EXPECT_EQ(frame.List().List().ItemText(0, 0), "Wednesday 3:30:00 PM");
}

// A time typed for an event while the unit fails, Enter then the focus leaving: one report, and the
// field and the list show the event the unit holds, unknown after a lost answer; once the unit
// answers, the field and the list show what it holds, as a window opened then does, and nothing is
// written unless the user types again.
TEST_F(ClockEventsWindowTest, ATimeTheUnitFailsIsToldOnceAndShownAsTheUnitHoldsIt) {
  for (const ovtest::WriteFailure& failure : ovtest::kWriteFailures) {
    SCOPED_TRACE(failure.name);
    static std::vector<std::string> reports;
    reports.clear();
    SetCommErrorReporter([](const IQException& e, IQDevice&) { reports.push_back(e.GetText()); });
    StoreEvent(0, {4, 15, 30, 4});  // Wednesday 3:30 PM
    const auto shownEvent = [this](const std::function<void(TRTCDecoratedFrame&)>& act = {}) {
      TEdit8126Window editWindow(nullptr, unit);
      editWindow.Create();
      auto& frame = Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer);
      if (act) act(frame);
      return std::pair{ui::test::ControlOf(frame.Editor(), kEventTime).Text(),
                       frame.List().List().ItemText(0, 0)};
    };
    const auto before = shownEvent();
    const auto answered = shownEvent([&](TRTCDecoratedFrame& frame) {
      TTimerDialog& editor = frame.Editor();
      ui::Window& time = ui::test::ControlOf(editor, kEventTime);
      const auto focusOut = [&] {
        editor.SendNotify(
            {.controlId = kEventTime, .code = ui::Notify::KillFocus, .control = &time});
      };
      ui::test::Type(editor, kEventTime, "9:15");
      bus.bus.AddFault(failure.fault.ForUnit(8));
      ui::test::PressKey(time, Qt::Key_Return);
      focusOut();
      EXPECT_EQ(reports.size(), 1u);
      EXPECT_EQ(time.Text(), failure.refused ? before.first : "");
      EXPECT_EQ(frame.List().List().ItemText(0, 0), failure.refused ? before.second : "?");
      bus.bus.ClearFaults();
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(20);
      ui::test::RestIdle();
      // Enter writes the event shown, which the unit holds: the window opened next shows it.
      time.SetFocus();
      focusOut();
      ui::test::PressKey(time, Qt::Key_Return);
      EXPECT_EQ(reports.size(), 1u);
    });
    EXPECT_EQ(answered, shownEvent());
    EXPECT_EQ(answered != before, failure.carriedOut);
  }
}

// An event whose write went unanswered is not edited from the program's copy, which the unit may
// no longer hold. A copy of it reads the unit again first and copies the event the unit holds; a
// unit that does not give it gets no copy, and is told of once.
TEST_F(ClockEventsWindowTest, AnEventInDoubtIsNotEditedAndIsCopiedAsTheUnitHoldsIt) {
  for (const bool readsFail : {false, true}) {
    SCOPED_TRACE(readsFail ? "reads fail" : "answering");
    static int reports;
    SetCommErrorReporter([](const IQException&, IQDevice&) { ++reports; });
    StoreEvent(0, {4, 15, 30, 4});  // Wednesday 3:30 PM
    TEdit8126Window editWindow(nullptr, unit);
    editWindow.Create();
    auto& frame = Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer);
    TTimerDialog& editor = frame.Editor();
    // The unit takes Thursday; the program's copy keeps Wednesday.
    bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeSet).ForUnit(8));
    dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(editor, kEventDay)).SetSelection(4);
    editor.SendNotify({.controlId = kEventDay, .code = ui::Notify::SelChange});
    bus.bus.ClearFaults();
    ui::ListView& list = frame.List().List();
    list.SelectItem(-1);
    list.SelectItem(0);
    EXPECT_FALSE(ui::test::ControlOf(editor, kEventLogic).IsEnabled());
    Writes();
    dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(editor, kEventLogic)).SetSelection(6);
    editor.SendNotify({.controlId = kEventLogic, .code = ui::Notify::SelChange});
    EXPECT_THAT(Writes(), testing::IsEmpty());
    if (readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet).ForUnit(8));
    reports = 0;
    script.AnswerMessageBox(ui::kIdOk);
    frame.List().CmCopyToDays("Copy?", true, false, 0);
    // The other weekdays of Thursday's event: Wednesday among them.
    const auto wednesday = testing::Contains(testing::MatchesRegex("W3D\\.[0-9]+ 040F1E04"));
    if (readsFail) {
      EXPECT_THAT(Writes(), testing::IsEmpty());
    } else {
      EXPECT_THAT(Writes(), wednesday);
    }
    EXPECT_EQ(reports, readsFail ? 1 : 0);
    bus.bus.ClearFaults();
  }
}

// The time typed goes with the next change of the event: leaving the field takes nothing into the
// event, so a day the unit does not take leaves the field, the list and the next Enter on the
// event the unit holds.
TEST_F(ClockEventsWindowTest, ATypedTimeStaysOutOfTheEventUntilTheUnitTakesIt) {
  for (const sim::Fault& fault : {sim::Fault::Unheard(), sim::Fault::ErrorObject(3)}) {
    static int reports;
    reports = 0;
    SetCommErrorReporter([](const IQException&, IQDevice&) { ++reports; });
    StoreEvent(0, {4, 15, 30, 4});  // Wednesday 3:30 PM
    TEdit8126Window editWindow(nullptr, unit);
    editWindow.Create();
    auto& frame = Open<TRTCDecoratedFrame>(editWindow, editWindow.Ids().timer);
    TTimerDialog& editor = frame.Editor();
    ui::Window& time = ui::test::ControlOf(editor, kEventTime);
    const std::string shown = time.Text();
    bus.TakeTrace();
    ui::test::Type(editor, kEventTime, "9:15");
    editor.SendNotify({.controlId = kEventTime, .code = ui::Notify::KillFocus, .control = &time});
    EXPECT_THAT(Writes(), testing::IsEmpty());
    EXPECT_EQ(unit.TimerEvents().at(0).hour, 15);
    EXPECT_EQ(frame.List().List().ItemText(0, 0), "Wednesday 3:30:00 PM");

    bus.bus.AddFault(fault.ForUnit(8));
    dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(editor, kEventDay)).SetSelection(4);
    editor.SendNotify({.controlId = kEventDay, .code = ui::Notify::SelChange});
    EXPECT_EQ(reports, 1);
    // Unheard is a lost answer to the program: the event is unknown until the unit is read again.
    const bool inDoubt = fault.kind == sim::FaultKind::kUnheard;
    EXPECT_EQ(time.Text(), inDoubt ? "" : shown);
    EXPECT_EQ(frame.List().List().ItemText(0, 0), inDoubt ? "?" : "Wednesday 3:30:00 PM");

    bus.bus.ClearFaults();
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(20);
    ui::test::RestIdle();
    EXPECT_EQ(time.Text(), shown);
    bus.TakeTrace();
    ui::test::PressKey(time, Qt::Key_Return);
    // Asked twice where the unheard request's reply is still owed.
    EXPECT_THAT(Writes(),
                testing::AllOf(testing::Not(testing::IsEmpty()), testing::Each("W3D.0 040F1E04")));
  }
}

}  // namespace
}  // namespace namespaceOV
