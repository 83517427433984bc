// A bus that falls silent for under a second part way through a load or a copy between two
// 3300-2XL units, and then answers again (a USB adapter's hiccup): the put-back waits for the units
// and gives each its settings back, with one report and a closing message that says so. A unit
// still silent once the wait's bound has passed is left as it is, and the message says that.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "family3300/Parameters3300.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family3300PrintIds.h"
#include "sim/Fault.h"
#include "tests/family3300/EqTestSupport.h"

using namespace namespace3300;
using sim::family3300::Model;

namespace {

constexpr int kDestinationAddress = 3;
// As long as the tester's pauses, and longer than the put-back ever waited before.
constexpr int kStallMs = 500;

struct BusStallTest : eqtest::EqFixture {
  BusStallTest() {
    AddUnit(Model::k3300_2XL, kDestinationAddress);
    AddUnit(Model::k3300_2XL, kDestinationAddress + 1);
    const auto units = RollCall();
    destination = units.at(0);
    source = units.at(1);
    eqtest::WriteFile(Temp("load.332"), eqtest::Golden("bus-3300-2xl.332"));
    g3300GainA.Write(*source, 9);
    g3300BandB[4].Write(*source, 2);
    source->UseMemory(2, MemoryOperation::kStore);
    g3300MemoryNumber.Write(*source, 7);
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
    if (closing) {
      EXPECT_EQ(script.Seen().size(), seen + 2) << "the options or the file, then one message";
      *closing = script.Seen().back().text;
    }
    return finished;
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  IQDevice3300* destination = nullptr;
  IQDevice3300* source = nullptr;
};

TEST_F(BusStallTest, AStallAnywhereInALoadOrACopyIsWaitedForAndBothUnitsPutBack) {
  SettingsImage before = Settings(*destination);
  SettingsImage sourceBefore = Settings(*source);
  const int sourceMemory = g3300MemoryNumber.Read(*source);
  ASSERT_NE(before, sourceBefore);

  for (const bool copy : {false, true}) {
    SCOPED_TRACE(copy ? "copy" : "load");
    TakeTrace();
    ASSERT_TRUE(Command(copy));
    const std::vector<std::string> trace = TakeTrace(true);
    const int steps = static_cast<int>(trace.size());
    destination->SnapshotSettings(before, SnapshotMode::kWrite);

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
    constexpr int kSnapshot = 66;  // the 2 channels' bands, corners, gain, mute and equaliser in
    const int lastWrites = steps - kSnapshot + 1;
    const int sourcePutBack = lastWrites - (kSnapshot + 1);
    const int end = copy ? sourcePutBack - 1 : steps;
    std::vector<std::pair<int, bool>> rows;  // the request the stall starts at; whether it finishes
    for (int point = 0; point <= 3; ++point) {
      rows.emplace_back(firstWrite + (end - firstWrite) * point / 3, false);
    }
    if (copy) rows.insert(rows.end(), {{sourcePutBack + 1, true}, {lastWrites, false}});
    for (const auto& [step, finishes] : rows) {
      SCOPED_TRACE(testing::Message() << "stall from request " << step << ": " << trace[step - 1]);
      bus.AddFault(sim::Fault::Stall(kStallMs).OnOccurrence(step).Times(1));
      std::string closing;
      EXPECT_EQ(Command(copy, finishes ? nullptr : &closing), finishes);
      bus.ClearFaults();
      EXPECT_EQ(eqtest::TakeReportedErrors().size(), finishes ? 0u : 1u)
          << "one failure, one report";
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
    EXPECT_EQ(eqtest::TakeReportedErrors().size(), 1u);
    if (address == kDestinationAddress) {
      EXPECT_EQ(closing,
                copy ? familycommon::kCopyNotRestoredText : familycommon::kLoadNotRestoredText);
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
