// A settings file loaded into a unit on the simulated bus that fails part way: the unit gets its
// names, logic map, delay unit and current settings back, and the user hears whether it could.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "bus/SettingsTextFile.h"
#include "familycommon/LoadFailure.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "familyov/unit/SettingsImage.h"
#include "platform/ui/Message.h"
#include "sim/Fault.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_files/UnitState.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/FaultKinds.h"

namespace namespaceOV {
namespace {

using filestest::SetState;
using filestest::StateOf;
using filestest::UnitState;
using sim::familyov::Model;

class BusLoadFailureTest : public filestest::FilesTest {
 protected:
  BusLoadFailureTest() {
    sim::familyov::AddFamilyOvUnit(bus.bus, {.model = Model::k8126, .address = 3});
    unit = dynamic_cast<IQDeviceOrdavinex*>(bus.RollCall({&type}).at(0));
    SetState(*unit, "From file", 4, 0.25f);
    filestest::SaveSettingsFile(*unit, path);
    SetState(*unit, "On the unit", 2, 0.5f);
  }

  // Loads the file, which the test expects to fail; whether the unit was put back.
  bool FailingLoad() {
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path, SettingsTextFile::kRead));
    return filestest::FailingLoad([&] {
      ReadSettingsFile(
          *unit, file, [](const std::string&) { return true; }, nullptr);
    });
  }

  ovtest::FamilyBus bus;
  IQ8126Type type;
  IQDeviceOrdavinex* unit = nullptr;
  const std::string path = TempPath("short.ov2");
};

TEST_F(BusLoadFailureTest, AFailureAnywhereInALoadPutsTheUnitBack) {
  const UnitState before = StateOf(*unit);
  bus.TakeTrace();
  {
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
    ASSERT_EQ(ReadSettingsFile(
                  *unit, file, [](const std::string&) { return true; }, nullptr),
              LoadResult::kLoaded);
  }
  const int steps = static_cast<int>(bus.TakeTrace().size());
  const UnitState loaded = StateOf(*unit);
  ASSERT_NE(loaded, before);
  SetState(*unit, "On the unit", 2, 0.5f);
  ASSERT_EQ(StateOf(*unit), before);

  // The first step, the last, and steps spread over the snapshot, the globals and the memories.
  std::vector<int> failing = {1, steps};
  for (int step = 7; step < steps; step += steps / 12) failing.push_back(step);
  for (const int step : failing) {
    SCOPED_TRACE(step);
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(step));
    EXPECT_TRUE(FailingLoad());
    bus.bus.ClearFaults();
    EXPECT_EQ(StateOf(*unit), before);
  }
}

TEST_F(BusLoadFailureTest, AUnitThatStopsAnsweringIsSaidToBeLeftMutedOrPartlyLoaded) {
  bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(400).Times(sim::Fault::kForever));
  EXPECT_FALSE(FailingLoad());

  // Through the command, the user is told.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(400).Times(sim::Fault::kForever));
  script.AnswerOpenFile(path).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->LoadFile());
  // Its filters may no longer be the ones the program shows: they are read again once it answers.
  const std::string closing = testsupport::AfterTheFailure(script.Seen().back().text);
  EXPECT_TRUE(
      closing.starts_with("The load was not finished and the unit stopped answering "
                          "before its settings could be put back: its memory names"))
      << closing;
  EXPECT_TRUE(closing.ends_with(familycommon::kUnitReadAgainText)) << closing;
  EXPECT_EQ(script.Seen().back().caption, "Load file");
  bus.bus.ClearFaults();
}

std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

// The load command itself, with the error dialog counted: one report and one closing message.
struct LoadCommandTest : BusLoadFailureTest {
  LoadCommandTest()
      : previous(SetCommErrorReporter(
            [](const IQException& error, IQDevice&) { Reports().push_back(error.GetText()); })) {
    Reports().clear();
  }
  ~LoadCommandTest() override { SetCommErrorReporter(previous); }

  // The command as the unit's window runs it, which reports a failure that passes it; its
  // closing message, or none when it failed before it wrote anything. Whether it `loads` the
  // file all the same.
  std::string LoadCommand(bool loads = false) {
    ui::PromptScript answers{[](const std::string&) {}};  // the closing message may not come
    answers.AnswerOpenFile(path).AnswerMessageBox(ui::kIdOk);
    if (!GuardedUnitCall(*unit, [&] { EXPECT_EQ(unit->LoadFile(), loads); })) return {};
    EXPECT_EQ(answers.Seen().size(), 2u) << "the file, then the closing message";
    // A closing message that tells the failure is the command's report.
    const std::string& text = answers.Seen().back().text;
    if (testsupport::TellsAFailure(text, {kReadyTimeoutText})) {
      Reports().push_back(text.substr(0, text.find('\n')));
      if (testsupport::TellsAFailure(text)) {
        EXPECT_NE(testsupport::FailedRequestInBox(text), std::nullopt) << "names its request";
      }
    }
    return testsupport::AfterTheFailure(text, {kReadyTimeoutText});
  }

  CommErrorReporter previous;
};

TEST_F(LoadCommandTest, AUnitThatNeverReportsItselfReadyIsWaitedForOnceAndSaidToBePutBack) {
  const UnitState before = StateOf(*unit);
  auto now = WaitBound::Clock::time_point{};
  unit->SetWaitBound({.now = [&] { return now += std::chrono::seconds(1); }});
  // Every read of the ready flag refused: "not yet", until the bound has passed.
  bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(sim::familyov::object::kReady));
  bus.TakeTrace();
  const std::string closing = LoadCommand();
  // The recall of the file's current settings was not seen through; no memory was written yet.
  EXPECT_TRUE(closing.starts_with(
      "The load was not finished. The unit's current settings and its memory names"))
      << closing;
  EXPECT_TRUE(closing.ends_with(" were put back as they were; its memories are as they were."))
      << closing;
  bus.bus.ClearFaults();
  EXPECT_EQ(Reports(), std::vector<std::string>{kReadyTimeoutText});
  // Thirty polls of one bound for the load's recall, then one for the put-back's.
  EXPECT_EQ(std::ranges::count(bus.TakeTrace(), "R06"), 31);
  EXPECT_EQ(StateOf(*unit), before);
}

TEST_F(LoadCommandTest, ALostReplyOrASilentUnitGivesOneReportAndSaysWhatTheUnitHolds) {
  UnitState before = StateOf(*unit);
  bus.port.SetReadTimeout(30);
  // The put-back waits for a silent unit no longer than the unit's own waits may last.
  unit->SetWaitBound({.limit = std::chrono::milliseconds(300)});
  bus.TakeTrace();
  {
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
    ReadSettingsFile(
        *unit, file, [](const std::string&) { return true; }, nullptr);
  }
  const int steps = static_cast<int>(bus.TakeTrace().size());
  SetState(*unit, "On the unit", 2, 0.5f);
  // The lock read first; then points spread through the snapshot, the globals and the memories.
  for (int point = 0; point < 6; ++point) {
    const int step = 2 + (steps - 1) * point / 5;
    for (const bool silent : {false, true}) {
      SCOPED_TRACE(std::string(silent ? "silent" : "reply lost") + " from request " +
                   std::to_string(step));
      bus.bus.AddFault(
          sim::Fault::Silence().OnOccurrence(step).Times(silent ? sim::Fault::kForever : 1));
      Reports().clear();
      const std::string closing = LoadCommand();
      bus.bus.ClearFaults();
      EXPECT_EQ(Reports().size(), 1u);
      if (closing.empty()) {
        // Failed before it wrote anything.
        EXPECT_EQ(StateOf(*unit), before);
      } else if (silent) {
        // Put back or not, the program cannot read what the unit holds until it answers again.
        EXPECT_TRUE(closing.ends_with(familycommon::kUnitReadAgainText)) << closing;
        EXPECT_TRUE(unit->FiltersStale());
        // What the unit was left on is the next case's starting point.
        before = StateOf(*unit);
      } else {
        EXPECT_TRUE(
            closing.starts_with("The load was not finished. The unit's current settings "
                                "and its memory names"))
            << closing;
        EXPECT_EQ(StateOf(*unit), before);
      }
    }
  }

  // The last request of the command, when the unit holds everything the file gave it: the
  // program's read-back of the unit.
  SetState(*unit, "On the unit", 2, 0.5f);
  before = StateOf(*unit);
  bus.TakeTrace();
  script.AnswerOpenFile(path);
  ASSERT_TRUE(unit->LoadFile());
  const int last = static_cast<int>(bus.TakeTrace().size());
  const UnitState loaded = StateOf(*unit);
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent at the last request" : "last reply lost");
    SetState(*unit, "On the unit", 2, 0.5f);
    ASSERT_EQ(StateOf(*unit), before);
    bus.bus.AddFault(
        sim::Fault::Silence().OnOccurrence(last).Times(silent ? sim::Fault::kForever : 1));
    Reports().clear();
    const std::string closing = LoadCommand(true);
    bus.bus.ClearFaults();
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(closing.starts_with(familycommon::kLoadedNotReadBackText)) << closing;
    EXPECT_EQ(StateOf(*unit), loaded);
  }
}

// A save or a report cut off at a request past the lock read by each kind of fault: one report,
// which names the request that failed, and a save keeps the old file and the unsaved mark.
TEST_F(LoadCommandTest, ASaveOrAReportCutOffPartWayIsToldOnceAndASaveLosesNothing) {
  bus.port.SetReadTimeout(30);
  const std::string saved = TempPath("saved.ov2");
  const std::string listed = TempPath("listed.txt");
  const struct {
    const char* what;
    std::string path;
    std::function<bool()> run;
  } commands[] = {{"save", saved, [&] { return unit->SaveFile(); }},
                  {"report", listed, [&] { return unit->PrintReport(); }}};
  for (const auto& command : commands) {
    // The command whole, which leaves its file for the later runs to replace.
    const auto run = [&](ui::PromptScript& answers) {
      answers.AnswerSaveFile(command.path);
      if (std::filesystem::exists(command.path)) answers.AnswerMessageBox(ui::kIdYes);
      answers.AnswerMessageBox(ui::kIdOk);
      bool done = false;
      GuardedUnitCall(*unit, [&] { done = command.run(); });
      return done;
    };
    bus.TakeTrace();
    {
      ui::PromptScript answers{[](const std::string&) {}};
      ASSERT_TRUE(run(answers)) << command.what;
    }
    const int steps = static_cast<int>(bus.TakeTrace().size());
    const std::string whole = filestest::ReadText(command.path);
    for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
      for (const int step : {2, steps / 3, 2 * steps / 3}) {
        SCOPED_TRACE(testing::Message() << command.what << ", " << kind.name << " at " << step);
        unit->SetModified(true);
        Reports().clear();
        bus.bus.AddFault(sim::Fault(kind.fault).OnOccurrence(step).Times(kind.times));
        ui::PromptScript answers{[](const std::string&) {}};
        EXPECT_FALSE(run(answers));
        bus.bus.ClearFaults();
        EXPECT_EQ(Reports().size() + testsupport::FailuresToldInBoxes(answers), 1u);
        EXPECT_TRUE(testsupport::BoxesNameTheFailedRequest(answers, 0, 3));
        if (command.what == std::string("save")) {
          EXPECT_EQ(filestest::ReadText(saved), whole) << "the old file stays";
          EXPECT_TRUE(unit->IsModified());
        }
      }
    }
  }
}

}  // namespace
}  // namespace namespaceOV
