// A bus that falls silent for a while part way through a load, a copy between two 3300-2XL units, a
// save or a report, and then answers again (a USB adapter's hiccup): the put-back waits for the
// units and gives each its settings back, with one report and a closing message that says so. A
// unit still silent once the wait's bound has passed is left as it is, and the message says what it
// holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "family3300/Parameters3300.h"
#include "family3300/SettingsPutBack3300.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family3300PrintIds.h"
#include "sim/Fault.h"
#include "tests/family3300/EqTestSupport.h"
#include "tests/support/FailureInBox.h"

using namespace namespace3300;
using sim::family3300::Model;

namespace {

constexpr int kDestinationAddress = 3;
// The requests whose answers a pause keeps back: the one that times out, the put-back's first
// try, and the wait's first poll.
constexpr int kPausedRequests = 3;
constexpr int kSnapshot = 66;  // the 2 channels' bands, corners, gain, mute and equaliser in

// The unit's name, then the names of its ten memories.
std::vector<std::string> Names(IQDevice3300& unit) {
  std::vector<std::string> names{g3300UnitName.Read(unit)};
  for (int number = 1; number <= kMemoryCount; ++number) {
    names.push_back(MemoryName3300(number).Read(unit));
  }
  return names;
}

void SetNames(IQDevice3300& unit, const std::vector<std::string>& names) {
  g3300UnitName.Write(unit, names.at(0));
  for (int number = 1; number <= kMemoryCount; ++number) {
    MemoryName3300(number).Write(unit, names.at(static_cast<std::size_t>(number)));
  }
}

// How many of `trace`'s first `count` requests start with `request`.
int Count(const std::vector<std::string>& trace, int count, const std::string& request) {
  return static_cast<int>(std::count_if(trace.begin(), trace.begin() + count, [&](const auto& r) {
    return r.find(request) != std::string::npos;
  }));
}

struct BusStallTest : eqtest::EqFixture {
  BusStallTest() {
    AddUnit(Model::k3300_2XL, kDestinationAddress);
    AddUnit(Model::k3300_2XL, kDestinationAddress + 1);
    const auto units = RollCall();
    destination = units.at(0);
    source = units.at(1);
    // A file whose names are not the unit's, to see them put back.
    std::string file = eqtest::Golden("bus-3300-2xl.332");
    for (auto at = file.find("\"-"); at != std::string::npos; at = file.find("\"-", at)) {
      file.replace(at + 1, 9, "From file");
    }
    eqtest::WriteFile(Temp("load.332"), file.replace(file.find("Foyer EQ"), 8, "Filed EQ"));
    g3300GainA.Write(*source, 9);
    g3300BandB[4].Write(*source, 2);
    source->UseMemory(2, MemoryOperation::kStore);
    g3300MemoryNumber.Write(*source, 7);
    for (const int number : {1, 2}) MemoryName3300(number).Write(*source, "From file");
    g3300MuteA.Write(*source, true);
    g3300GainA.Write(*destination, 20);
    g3300BandA[3].Write(*destination, 33);
    g3300MuteB.Write(*destination, true);
    twoChannel.SetCopyMemories(0x3);
  }

  SettingsImage Settings(IQDevice3300& unit) {
    SettingsImage image{};
    unit.SnapshotSettings(image, SnapshotMode::kRead);
    return image;
  }

  // The command as the client runs it: whether it finished, else its one closing message.
  bool Command(bool copy, std::string* closing = nullptr) {
    const std::size_t seen = script.Seen().size();
    if (copy) {
      script.RunDialog(eq3300res::kPrintOptionsDialog,
                       [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); });
    } else {
      script.AnswerOpenFile(Temp("load.332").string());
    }
    if (closing) script.AnswerMessageBox(ui::kIdOk);
    const bool finished = copy ? destination->CopyFrom(*source) : destination->LoadFile();
    reports = eqtest::TakeReports(script, seen);
    if (closing) {
      EXPECT_EQ(script.Seen().size(), seen + 2) << "the options or the file, then one message";
      *closing = testsupport::AfterTheFailure(script.Seen().back().text);
    }
    return finished;
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  // The reports of the last Command.
  std::size_t reports = 0;
  IQDevice3300* destination = nullptr;
  IQDevice3300* source = nullptr;
};

TEST_F(BusStallTest, AStallAnywhereInALoadOrACopyIsWaitedForAndBothUnitsPutBack) {
  SettingsImage before = Settings(*destination);
  SettingsImage sourceBefore = Settings(*source);
  const int sourceMemory = g3300MemoryNumber.Read(*source);
  const std::vector<std::string> names = Names(*destination);
  ASSERT_NE(before, sourceBefore);

  for (const bool copy : {false, true}) {
    SCOPED_TRACE(copy ? "copy" : "load");
    TakeTrace();
    ASSERT_TRUE(Command(copy));
    const std::vector<std::string> trace = TakeTrace(true);
    const int steps = static_cast<int>(trace.size());
    destination->SnapshotSettings(before, SnapshotMode::kWrite);
    SetNames(*destination, names);

    // From the first write (a failure before it leaves nothing to put back) through the memories
    // to the last write. A copy's source, put back before the destination's last writes, is put
    // back through a stall there, and the copy goes on.
    const int firstWrite =
        static_cast<int>(std::ranges::find_if(trace,
                                              [](const std::string& request) {
                                                return request.find(":W") != std::string::npos;
                                              }) -
                         trace.begin()) +
        1;
    const int lastWrites = steps - kSnapshot + 1;
    const int sourcePutBack = lastWrites - (kSnapshot + 1);
    const int end = copy ? sourcePutBack - 1 : steps;
    std::vector<std::pair<int, bool>> rows;  // the request the pause starts at; whether it finishes
    for (int point = 0; point <= 3; ++point) {
      rows.emplace_back(firstWrite + (end - firstWrite) * point / 3, false);
    }
    if (copy) rows.insert(rows.end(), {{sourcePutBack + 1, true}, {lastWrites, false}});
    for (const auto& [step, finishes] : rows) {
      SCOPED_TRACE(testing::Message() << "pause from request " << step << ": " << trace[step - 1]);
      bus.AddFault(sim::Fault::Pause(kPausedRequests).OnOccurrence(step));
      std::string closing;
      EXPECT_EQ(Command(copy, finishes ? nullptr : &closing), finishes);
      bus.ClearFaults();
      EXPECT_EQ(reports, finishes ? 0u : 1u) << "one failure, one report";
      if (finishes) {
        EXPECT_EQ(Settings(*destination), sourceBefore);
        destination->SnapshotSettings(before, SnapshotMode::kWrite);
      } else {
        EXPECT_EQ(closing,
                  copy ? familycommon::kCopyRestoredText : familycommon::kLoadRestoredText);
      }
      EXPECT_EQ(Settings(*destination), before);
      EXPECT_EQ(Settings(*source), sourceBefore);
      EXPECT_EQ(g3300MemoryNumber.Read(*source), sourceMemory);
      // The names written are put back, but those of the memories stored.
      const std::vector<std::string> now = Names(*destination);
      EXPECT_EQ(now[0], names[0]);
      const int stored = Count(trace, step - 1, ":W12 00");
      const bool storing = trace[step - 1].find(":W12 00") != std::string::npos;
      for (int number = 1; number <= kMemoryCount; ++number) {
        if (number <= stored) {
          EXPECT_EQ(now[number], "From file") << number;
        } else if (number > stored + 1 || !storing) {
          EXPECT_EQ(now[number], names[number]) << number;
        }
      }
      SetNames(*destination, names);
    }

    // The unit the middle request goes to falls silent for good: past the wait's bound it is left
    // as it is, and said to be.
    const std::string& middle = trace[static_cast<std::size_t>(steps / 2)];
    const int address = std::stoi(middle);
    const int occurrence = static_cast<int>(
        std::count_if(trace.begin(), trace.begin() + steps / 2 + 1,
                      [&](const std::string& request) { return std::stoi(request) == address; }));
    SCOPED_TRACE("silent from request " + std::to_string(steps / 2 + 1) + ": " + middle);
    bus.AddFault(sim::Fault::Silence()
                     .ForUnit(address)
                     .OnOccurrence(occurrence)
                     .Times(sim::Fault::kForever));
    std::string closing;
    EXPECT_FALSE(Command(copy, &closing));
    bus.ClearFaults();
    EXPECT_EQ(reports, 1u);
    if (address == kDestinationAddress) {
      EXPECT_EQ(closing, copy ? std::string(familycommon::kCopyNotRestoredText)
                              : std::string(familycommon::kLoadNotRestoredText) + "\n" +
                                    familycommon::kUnitReadAgainText);
      EXPECT_NE(Settings(*destination), before);
      destination->SnapshotSettings(before, SnapshotMode::kWrite);
    } else {
      EXPECT_EQ(closing, std::string(familycommon::kCopyRestoredText) + "\n\n" +
                             familycommon::kCopySourceNotRestoredText);
      EXPECT_EQ(Settings(*destination), before);
      source->SnapshotSettings(sourceBefore, SnapshotMode::kWrite);
      g3300MemoryNumber.Write(*source, static_cast<uint8_t>(sourceMemory));
    }
  }
}

}  // namespace

// The save and the report recall every memory in the unit to read it. A pause, a refusal or a lost
// reply anywhere in them ends the command with one report, and the unit is put back on its memory
// number and current settings, mutes included, as the closing message says; one in the put-back
// itself is waited for, and the command finishes. A unit still silent past the wait's bound is
// named on the memory it was left on, or as partly put back.
TEST_F(BusStallTest, ASaveOrAReportStoppedAnywherePutsTheUnitBackOnItsMemoryAndSettings) {
  twoChannel.SetPrintMemories(0x3FF);
  g3300MemoryNumber.Write(*destination, 4);
  const UnitState before = ReadUnitState(*destination);
  int files = 0;
  const struct {
    const char* name;
    const char* notFinished;
    int readsAfterPutBack;
    // Runs the command; with `closing` its closing message is answered.
    std::function<bool(bool closing)> run;
  } commands[] = {
      {"save", "The settings were not saved.", kSnapshot,
       [&](bool closing) {
         script.AnswerSaveFile(Temp("s" + std::to_string(++files) + ".332").string());
         if (closing) script.AnswerMessageBox(ui::kIdOk);
         return destination->SaveFile();
       }},
      {"report", "The report was not finished.", 0,
       [&](bool closing) {
         script.RunDialog(eq3300res::kPrintOptionsDialog,
                          [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); });
         script.AnswerSaveFile(Temp("r" + std::to_string(++files) + ".txt").string());
         if (closing) script.AnswerMessageBox(ui::kIdOk);
         return destination->PrintReport();
       }},
  };
  const struct {
    const char* name;
    sim::Fault fault;
    int points;
  } kinds[] = {{"paused", sim::Fault::Pause(kPausedRequests), 12},
               {"refused", sim::Fault::ErrorObject(7), 6},
               {"reply lost", sim::Fault::Silence(), 6}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command.name);
    TakeTrace();
    ASSERT_TRUE(command.run(false));
    const std::vector<std::string> trace = TakeTrace();
    const int steps = static_cast<int>(trace.size());
    EXPECT_EQ(ReadUnitState(*destination), before) << "the memory number is put back too";
    // The put-back: the memory number, then the settings.
    const int putBackEnd = steps - command.readsAfterPutBack;
    const int putBackStart = putBackEnd - kSnapshot;
    ASSERT_EQ(trace[putBackStart - 1], "W11 04");

    // Points from the first request after the lock read to the last.
    for (const auto& kind : kinds) {
      for (int point = 0; point < kind.points; ++point) {
        const int step = 2 + (steps - 2) * point / (kind.points - 1);
        SCOPED_TRACE(testing::Message()
                     << kind.name << " at request " << step << ": " << trace[step - 1]);
        const bool finishes = step >= putBackStart && step <= putBackEnd;
        bus.AddFault(kind.fault.OnOccurrence(step));
        const std::size_t seen = script.Seen().size();
        EXPECT_EQ(command.run(!finishes), finishes);
        bus.ClearFaults();
        EXPECT_EQ(eqtest::TakeReports(script, seen), finishes ? 0u : 1u)
            << "one failure, one report";
        if (!finishes) {
          ASSERT_GE(script.Seen().size(), seen + 1);
          EXPECT_EQ(testsupport::AfterTheFailure(script.Seen().back().text),
                    familycommon::MemoryReadFailureText(command.notFinished, {}));
        }
        EXPECT_EQ(ReadUnitState(*destination), before);
      }
    }

    // The unit falls silent for good in the middle of a memory's reads, once it has taken its
    // memory number back, or at the put-back's last write, which it takes without answering.
    const int middle = steps / 2 + (trace[steps / 2].starts_with("R") ? 1 : 2);
    const int recalled = Count(trace, middle, "W12 01");
    const familycommon::MemoryReadFailure numberBack{
        .restored = false, .recalled = kMemoryCount, .memoryNumber = 4, .numberBack = true};
    const struct {
      int step;
      familycommon::MemoryReadFailure left;
      bool tookItAll;
    } silences[] = {
        {middle, {.restored = false, .recalled = recalled, .memoryNumber = recalled}, false},
        {putBackStart + 3, numberBack, false},
        {putBackEnd, numberBack, true}};
    for (const auto& silence : silences) {
      SCOPED_TRACE(testing::Message() << "silent from request " << silence.step);
      bus.AddFault(sim::Fault::Silence().OnOccurrence(silence.step).Times(sim::Fault::kForever));
      const std::size_t seen = script.Seen().size();
      EXPECT_FALSE(command.run(true));
      bus.ClearFaults();
      EXPECT_EQ(eqtest::TakeReports(script, seen), 1u);
      EXPECT_EQ(testsupport::AfterTheFailure(script.Seen().back().text),
                familycommon::MemoryReadFailureText(command.notFinished, silence.left));
      EXPECT_EQ(ReadUnitState(*destination) == before, silence.tookItAll);
      SettingsImage settings = before.settings;
      g3300MemoryNumber.Write(*destination, before.memory);
      destination->SnapshotSettings(settings, SnapshotMode::kWrite);
    }
  }
}
