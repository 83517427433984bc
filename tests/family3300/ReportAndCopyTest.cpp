#include <gtest/gtest.h>

#include "family3300/Copy3300.h"
#include "family3300/Parameters3300.h"
#include "family3300/ReportText3300.h"
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

struct ReportAndCopyTest : eqtest::EqFixture {
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};

  // The options dialog, with the boxes of `memories` clicked (each toggles), then OK.
  void TickInOptions(std::vector<int> memories) {
    script.RunDialog(eq3300res::kPrintOptionsDialog, [memories](ui::Dialog& dialog) {
      for (int k : memories) ui::test::Click(dialog, eq3300res::kFirstMemoryCheck + k - 1);
      ui::test::Click(dialog, ui::kIdOk);
    });
  }
};

// What a copy must leave of its source: the memory its number selects and its current settings.
struct SourceState {
  int memory = 0;
  SettingsImage settings{};
  bool operator==(const SourceState&) const = default;
};

SourceState StateOf(IQDevice3300& unit) {
  SourceState state{.memory = g3300MemoryNumber.Read(unit)};
  unit.SnapshotSettings(state.settings, SnapshotMode::kRead);
  return state;
}

// A failure the copy could not get over, or none when the source's put-back took a retry.
void CopyThroughFailure(IQDevice3300& destination, IQDevice3300& source, uint32_t mask) {
  try {
    CopyMemories3300(destination, source, mask);
  } catch (const CopyFailure& failure) {
    EXPECT_EQ(failure.device, &source);
  }
}

constexpr const char* kDefaultOneChannelReport = R"(3300 Device settings
(virtual device 'Stage EQ')

Unit name: ---------

*** Current settings: ***

Channel A equalizer filters:
31.5  --   0.0  160   --   0.0  800   --   0.0  4k    --   0.0  
40    --   0.0  200   --   0.0  1000  --   0.0  5k    --   0.0  
50    --   0.0  250   --   0.0  1250  --   0.0  6.3k  --   0.0  
63    --   0.0  315   --   0.0  1600  --   0.0  8k    --   0.0  
80    --   0.0  400   --   0.0  2000  --   0.0  10k   --   0.0  
100   --   0.0  500   --   0.0  2500  --   0.0  12.5k --   0.0  
125   --   0.0  630   --   0.0  3150  --   0.0  16k   --   0.0  

A HPF:  10
A LPF:  32k
A gain: 0.0


* Telvo Windows 2.3
* Copyright Telvo. All rights reserved.

--End of listing--
)";

TEST_F(ReportAndCopyTest, AOneChannelReportWithNoMemoriesListsTheCurrentSettings) {
  std::string report;
  WriteReport3300(*NewVirtual(Model::k3300XL), 0, report);
  EXPECT_EQ(report, kDefaultOneChannelReport);
}

TEST_F(ReportAndCopyTest, ATwoChannelReportListsTheTickedMemoriesInOrderAndPutsTheSettingsBack) {
  AddUnit(Model::k3300_2XL, 12);
  IQDevice3300& unit = *RollCall().at(0);
  g3300BandA[0].Write(unit, 40);
  g3300BandA[7].Write(unit, 0);
  g3300GainB.Write(unit, 24);
  g3300HpfB.Write(unit, 7);
  g3300LpfB.Write(unit, 6);
  unit.UseMemory(10, MemoryOperation::kStore);
  MemoryName3300(10).Write(unit, "Late");
  g3300MuteA.Write(unit, true);
  g3300EqInB.Write(unit, false);
  g3300GainB.Write(unit, 3);

  TickInOptions({1, 10});
  script.AnswerSaveFile(Temp("r").string());
  ASSERT_TRUE(unit.PrintReport());
  EXPECT_EQ(twoChannel.GetPrintMemories(), 0x201u);
  const std::string report = eqtest::ReadFile(Temp("r.txt"));
  EXPECT_EQ(report.rfind("3300-2 Device settings\n(Address 12)\n\nUnit name: Foyer EQ\n", 0), 0u);
  EXPECT_NE(report.find("31.5  --  10.0  160   -- -10.0  800   --   0.0  4k    --   0.0  \n"),
            std::string::npos);
  EXPECT_NE(report.find("A gain: 0.0\nChannel A muted\n"), std::string::npos) << report;
  EXPECT_NE(report.find("B HPF:  160\nB LPF:  7k\nB gain: 1.5\nChannel B equalizer bypassed\n"),
            std::string::npos);
  const auto memory1 = report.find("*** Settings for memory 1 ***\n'---------'\n");
  const auto memory10 = report.find("*** Settings for memory 10 ***\n'Late'\n");
  ASSERT_NE(memory1, std::string::npos);
  ASSERT_NE(memory10, std::string::npos);
  EXPECT_LT(memory1, memory10);
  EXPECT_NE(report.find("B gain: 12.0\n\n\n* Telvo", memory10), std::string::npos);
  // Memory blocks carry no switch lines.
  EXPECT_EQ(report.find("muted", memory1), std::string::npos);
  EXPECT_EQ(g3300GainB.Read(unit), 3);
  EXPECT_TRUE(g3300MuteA.Read(unit));
}

TEST_F(ReportAndCopyTest, CopyRefusesOtherFamiliesOtherModelsAndLockedUnits) {
  bustest::TestDeviceType olderType(368, "Older");
  const IQDeviceInfo olderInfo(8, 368, 1);
  std::unique_ptr<IQDevice> older(olderType.CreateDevice(&manager, &olderInfo));
  IQDevice3300& one = *NewVirtual(Model::k3300XL);
  AddUnit(Model::k3300_2XL, 3);
  AddUnit(Model::k3300_2XL, 4);
  const auto units = RollCall();
  IQDevice3300& destination = *units.at(0);
  IQDevice3300& source = *units.at(1);

  for (int i = 0; i < 4; ++i) script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(destination.CopyFrom(*older));
  EXPECT_FALSE(destination.CopyFrom(one));
  g3300Lock.Write(source, true);
  EXPECT_FALSE(destination.CopyFrom(source));
  g3300Lock.Write(destination, true);
  TakeTrace();
  EXPECT_FALSE(destination.CopyFrom(source));
  EXPECT_EQ(TakeTrace(true), std::vector<std::string>{"3:R0D"});
  std::vector<std::string> texts;
  for (const ui::Prompt& prompt : script.Seen()) texts.push_back(prompt.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Cannot copy this device type.", "Incompatible types.",
                                             "Source device is locked.",
                                             "Destination device is locked."}));
}

TEST_F(ReportAndCopyTest, ACopyEndsWithItsReportWhenALockCannotBeRead) {
  AddUnit(Model::k3300XL, 3);
  AddUnit(Model::k3300XL, 4);
  const auto units = RollCall();
  bus.AddFault(sim::Fault::ErrorObject(6).ForUnit(4).ForObject(sim::family3300::kLockId));
  EXPECT_FALSE(units.at(0)->CopyFrom(*units.at(1)));
  EXPECT_EQ(eqtest::TakeReportedErrors(), std::vector<std::string>{"6: COMBUF full"});
  EXPECT_EQ(TakeTrace(true), (std::vector<std::string>{"3:R0D", "4:R0D"}));
}

TEST_F(ReportAndCopyTest, CopyGivesTheTickedMemoriesAndTheCurrentSettings) {
  AddUnit(Model::k3300_2XL, 4);
  IQDevice3300& source = *RollCall().at(0);
  IQDevice3300& destination = *NewVirtual(Model::k3300_2XL);
  g3300BandB[27].Write(source, 2);
  g3300LpfA.Write(source, 3);
  g3300EqInA.Write(source, false);
  source.UseMemory(4, MemoryOperation::kStore);
  MemoryName3300(4).Write(source, "Four");
  MemoryName3300(5).Write(source, "Five");
  g3300GainA.Write(source, 11);
  g3300MuteB.Write(source, true);
  SettingsImage before{};
  source.SnapshotSettings(before, SnapshotMode::kRead);

  TickInOptions({4});
  ASSERT_TRUE(destination.CopyFrom(source));
  EXPECT_EQ(twoChannel.GetCopyMemories(), 0x8u);
  EXPECT_EQ(MemoryName3300(4).Read(destination), "Four");
  EXPECT_EQ(MemoryName3300(5).Read(destination), "---------");
  const SettingsImage& four = destination.MemoryImage(4);
  EXPECT_EQ(four[kChannelImageBytes + 27], 2);
  EXPECT_EQ(four[29], 3);
  EXPECT_EQ(four[30], 0);
  EXPECT_EQ(four[32], 1);  // the destination's own equaliser-in at the store
  EXPECT_EQ(destination.MemoryImage(5)[29], 0);
  SettingsImage after{};
  destination.SnapshotSettings(after, SnapshotMode::kRead);
  EXPECT_EQ(after, before);
  source.SnapshotSettings(after, SnapshotMode::kRead);
  EXPECT_EQ(after, before);

  // With no memory ticked only the current settings go over.
  IQDevice3300& other = *NewVirtual(Model::k3300_2XL);
  TickInOptions({4});
  ASSERT_TRUE(other.CopyFrom(source));
  EXPECT_EQ(MemoryName3300(4).Read(other), "---------");
  other.SnapshotSettings(after, SnapshotMode::kRead);
  EXPECT_EQ(after, before);
}

}  // namespace

TEST_F(ReportAndCopyTest, ASourceFailingAtAnyStepOfACopyIsPutBackOnItsMemoryAndSettings) {
  AddUnit(Model::k3300XL, 4);
  IQDevice3300& source = *RollCall().at(0);
  IQDevice3300& destination = *NewVirtual(Model::k3300XL);
  constexpr uint32_t kMemory5 = 0x10;
  g3300GainA.Write(source, 9);
  source.UseMemory(5, MemoryOperation::kStore);
  g3300MemoryNumber.Write(source, 7);
  g3300BandA[5].Write(source, 30);
  g3300MuteA.Write(source, true);
  const SourceState before = StateOf(source);

  TakeTrace();
  CopyMemories3300(destination, source, kMemory5);
  const int sourceSteps = static_cast<int>(TakeTrace().size());
  EXPECT_EQ(StateOf(source), before);

  // The source refuses one step, anywhere from the first read to the last put-back write.
  for (int step = 1; step <= sourceSteps; ++step) {
    SCOPED_TRACE(step);
    bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(step));
    CopyThroughFailure(destination, source, kMemory5);
    bus.ClearFaults();
    EXPECT_EQ(StateOf(source), before);
  }

  // It goes silent for two requests, in the copy of a memory and in the put-back itself.
  for (const int step : {sourceSteps / 2, sourceSteps - 3}) {
    SCOPED_TRACE(step);
    bus.AddFault(sim::Fault::Silence().OnOccurrence(step).Times(2));
    CopyThroughFailure(destination, source, kMemory5);
    bus.ClearFaults();
    EXPECT_EQ(StateOf(source), before);
  }
  eqtest::TakeReportedErrors();
}

// The copy command between two bus units with one fault at points spread through it: a refusal, a
// lost reply, or both units falling silent for good. Each gives one report and one closing message
// that says what the destination holds: its own current settings again, unless it stopped
// answering.
TEST_F(ReportAndCopyTest, AFaultAnywhereInACopyGivesOneReportAndPutsTheDestinationBack) {
  AddUnit(Model::k3300_2XL, 3);
  AddUnit(Model::k3300_2XL, 4);
  const auto units = RollCall();
  IQDevice3300& destination = *units.at(0);
  IQDevice3300& source = *units.at(1);
  g3300GainA.Write(source, 9);
  g3300BandB[4].Write(source, 2);
  g3300GainA.Write(destination, 20);
  g3300MuteB.Write(destination, true);
  SourceState destinationBefore = StateOf(destination);
  SourceState sourceBefore = StateOf(source);
  // The copy command, its options asked for past the lock reads, and its closing message answered
  // when one is due.
  const auto copy = [&](bool closingMessage, bool pastLocks = true) {
    if (pastLocks) {
      script.RunDialog(eq3300res::kPrintOptionsDialog,
                       [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); });
    }
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    return destination.CopyFrom(source);
  };
  twoChannel.SetCopyMemories(0x7);
  TakeTrace();
  script.RunDialog(eq3300res::kPrintOptionsDialog,
                   [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); });
  ASSERT_TRUE(destination.CopyFrom(source));
  const int steps = static_cast<int>(TakeTrace().size());
  ASSERT_EQ(StateOf(destination).settings, sourceBefore.settings);
  destination.SnapshotSettings(destinationBefore.settings, SnapshotMode::kWrite);

  struct Case {
    const char* kind;
    sim::Fault fault;
    int times;
  };
  const Case kinds[] = {{"refused", sim::Fault::ErrorObject(7), 1},
                        {"reply lost", sim::Fault::Silence(), 1},
                        {"silent", sim::Fault::Silence(), sim::Fault::kForever}};
  // The destination's lock read, then from the source's snapshot (after both lock reads) through
  // the copy of the memories, and the destination's last write. A refused or lost reply in the
  // source's own put-back (the requests before the destination's last writes) is tried again and
  // is no failure.
  constexpr int kLockReads = 2;
  constexpr int kSnapshot = 66;  // the 2 channels' bands, corners, gain, mute and equaliser in
  constexpr int kFirstWrite = kLockReads + 1 + 2 * kSnapshot + 1;
  const int sourcePutBack = steps - kSnapshot - (kSnapshot + 1);
  std::vector<int> points{1};
  for (int point = 0; point < 7; ++point) {
    points.push_back(kLockReads + 1 + (sourcePutBack - kLockReads - 1) * point / 7);
  }
  points.push_back(steps);
  for (const Case& kind : kinds) {
    for (const int step : points) {
      SCOPED_TRACE(std::string(kind.kind) + " at request " + std::to_string(step));
      // A lock that cannot be read ends the copy with its report alone.
      const bool lockRead = step <= kLockReads;
      bus.AddFault(kind.fault.OnOccurrence(step).Times(kind.times));
      const std::size_t seen = script.Seen().size();
      EXPECT_FALSE(copy(!lockRead, !lockRead));
      bus.ClearFaults();
      EXPECT_EQ(eqtest::TakeReports(script, seen), 1u) << "one failure, one report";
      if (lockRead) {
        EXPECT_EQ(script.Seen().size(), seen) << "no options, no closing message";
        EXPECT_EQ(StateOf(destination).settings, destinationBefore.settings);
        EXPECT_EQ(StateOf(source), sourceBefore);
        continue;
      }
      ASSERT_EQ(script.Seen().size(), seen + 2) << "the options, then the closing message";
      const std::string closing = testsupport::AfterTheFailure(script.Seen().back().text);
      EXPECT_EQ(script.Seen().back().caption, "3300 Copy");
      if (kind.times == sim::Fault::kForever && step >= kFirstWrite) {
        EXPECT_EQ(closing.rfind(familycommon::kCopyNotRestoredText, 0), 0u) << closing;
        // Both units stopped answering: each is set back by hand for the next case.
        destination.SnapshotSettings(destinationBefore.settings, SnapshotMode::kWrite);
        g3300MemoryNumber.Write(source, static_cast<uint8_t>(sourceBefore.memory));
        source.SnapshotSettings(sourceBefore.settings, SnapshotMode::kWrite);
      } else {
        EXPECT_EQ(closing, familycommon::kCopyRestoredText);
        EXPECT_EQ(StateOf(destination).settings, destinationBefore.settings);
        EXPECT_EQ(StateOf(source), sourceBefore);
      }
    }
  }
}
