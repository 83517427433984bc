// A unit that pauses and then answers late, at each request of a full read and of a copy between
// two 3300XL units: the late answers are told from the answers asked for, so no read returns
// another request's value, and a copy either reports success having written exactly the source's
// values, or reports its failure.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "family3300/Parameters3300.h"
#include "platform/registry/Store.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family3300PrintIds.h"
#include "sim/Fault.h"
#include "sim/family3300/Family3300Unit.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/bus/RequestTrace.h"
#include "tests/family3300/EqTestSupport.h"
#include "tests/support/FailureInBox.h"

using namespace namespace3300;

namespace {

constexpr int kDestinationAddress = 3;
constexpr int kSourceAddress = 4;
constexpr int kCopiedMemory = 5;
constexpr int kLastObjectId = 84;

// Everything a read of the unit shows.
struct FullRead {
  std::string unitName;
  int memory = 0;
  std::array<std::string, kMemoryCount> memoryNames;
  SettingsImage settings{};
  bool operator==(const FullRead&) const = default;
};

FullRead ReadAll(IQDevice3300& unit) {
  FullRead read{.unitName = g3300UnitName.Read(unit), .memory = g3300MemoryNumber.Read(unit)};
  for (int number = 1; number <= kMemoryCount; ++number) {
    read.memoryNames[number - 1] = MemoryName3300(number).Read(unit);
  }
  unit.SnapshotSettings(read.settings, SnapshotMode::kRead);
  return read;
}

// What a simulated unit holds: every object and every memory.
struct HeldState {
  std::vector<std::vector<uint8_t>> objects;
  std::vector<std::vector<uint8_t>> memories;
  bool operator==(const HeldState&) const = default;
};

struct LateAnswerTest : testing::Test {
  LateAnswerTest() {
    oneChannel.SetRegistryKey(store.Root());
    oneChannel.SetCopyMemories(1u << (kCopiedMemory - 1));
    for (const int address : {kDestinationAddress, kSourceAddress}) {
      sim::family3300::AddFamily3300Unit(
          line.bus, {.model = sim::family3300::Model::k3300XL, .address = address});
    }
    // Every value its own, so that one read for another shows.
    for (int index = 0; index < 2; ++index) {
      for (int band = 0; band < kBandCount; ++band) {
        line.bus.StoreElement(index, sim::family3300::kFirstBandAId + band, 0,
                              {static_cast<uint8_t>(1 + band + 5 * index)});
      }
      for (const auto& [id, value] : {std::pair{2, 3}, {4, 5}, {6, 11 + index}, {10, 1}}) {
        line.bus.StoreElement(index, id, 0, {static_cast<uint8_t>(value)});
      }
    }
    const std::vector<IQDevice*> found = line.RollCall({&oneChannel});
    destination = dynamic_cast<IQDevice3300*>(found.at(0));
    source = dynamic_cast<IQDevice3300*>(found.at(1));
    for (IQDevice3300* unit : {destination, source})
      unit->SetAnswerBound(eqtest::AnswerBoundInPolls());
    // The source's memory differs from its current settings and from the destination's.
    destination->UseMemory(kCopiedMemory, MemoryOperation::kStore);
    g3300MemoryNumber.Write(*destination, 1);
    source->UseMemory(kCopiedMemory, MemoryOperation::kStore);
    MemoryName3300(kCopiedMemory).Write(*source, "Matinee");
    g3300GainA.Write(*source, 7);
    g3300BandA[0].Write(*source, 30);
    line.bus.ClearTraffic();
    // Only a fault keeps a unit silent on this line: a silent request need not wait out retries.
    line.port.SetRetries(0);
  }

  HeldState Held(int index) {
    HeldState state;
    for (int id = 1; id <= kLastObjectId; ++id)
      state.objects.push_back(line.bus.Element(index, id, 0));
    line.bus.WithUnit(index, [&](sim::Unit& unit) {
      const auto& eq = dynamic_cast<const sim::family3300::Family3300Unit&>(unit);
      for (int number = 1; number <= kMemoryCount; ++number)
        state.memories.push_back(eq.Memory(number));
    });
    return state;
  }

  void CopyWithLateAnswersAtEveryRequest(int paused);

  // The copy command, its options answered; whether it reported success. A failure is reported
  // once and closed with one message.
  bool Copy() {
    std::vector<std::string> prompts;
    bool copied = false;
    std::size_t reports = 0;
    {
      ui::PromptScript script([&](const std::string& what) { prompts.push_back(what); });
      script.RunDialog(eq3300res::kPrintOptionsDialog,
                       [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdOk); });
      script.AnswerMessageBox(ui::kIdOk);
      copied = destination->CopyFrom(*source);
      reports = eqtest::TakeReports(script, 0);
    }
    EXPECT_EQ(reports, copied ? 0u : 1u) << "one failure, one report";
    for (const std::string& prompt : prompts) {
      EXPECT_EQ(prompt.find("unexpected"), std::string::npos) << prompt;
    }
    return copied;
  }

  registry::Store store;
  IQ3300Type oneChannel;
  bustest::PseudoTerminalBus line;
  IQDevice3300* destination = nullptr;
  IQDevice3300* source = nullptr;
};

TEST_F(LateAnswerTest, NoReadAtAnyPauseReturnsAnotherRequestsValue) {
  const FullRead held = ReadAll(*source);
  const int steps = static_cast<int>(bustest::TakeRequestTrace(line.bus).size());
  for (const int paused : {1, 2}) {
    for (int step = 1; step <= steps; ++step) {
      SCOPED_TRACE(testing::Message() << paused << " answers late from request " << step);
      line.bus.AddFault(sim::Fault::Pause(paused).OnOccurrence(step).Times(1));
      // The read that meets the pause fails; the next ones ride out the late answers.
      bool read = false;
      for (int attempt = 1; attempt <= 3 && !read; ++attempt) {
        try {
          EXPECT_EQ(ReadAll(*source), held);
          read = true;
          EXPECT_GT(attempt, 1);
        } catch (const IQException&) {
        }
      }
      EXPECT_TRUE(read);
      line.bus.ClearFaults();
    }
  }
}

// A copy with `paused` answers late from each of its requests in turn: one that reports success
// wrote exactly the source's values; the source is never changed.
void LateAnswerTest::CopyWithLateAnswersAtEveryRequest(int paused) {
  const HeldState sourceHeld = Held(1);
  const HeldState destinationBefore = Held(0);
  const FullRead destinationRead = ReadAll(*destination);
  ASSERT_TRUE(Copy());
  const HeldState copied = Held(0);
  ASSERT_NE(copied, destinationBefore);
  ASSERT_EQ(copied.memories[kCopiedMemory - 1], sourceHeld.memories[kCopiedMemory - 1]);
  const int steps = static_cast<int>(bustest::TakeRequestTrace(line.bus).size());
  // The destination gets its own settings and memory back through the program.
  const auto setBack = [&] {
    SettingsImage memory = destinationRead.settings;
    destination->SnapshotSettings(memory, SnapshotMode::kWrite);
    destination->UseMemory(kCopiedMemory, MemoryOperation::kStore);
    MemoryName3300(kCopiedMemory)
        .Write(*destination, destinationRead.memoryNames[kCopiedMemory - 1]);
    g3300MemoryNumber.Write(*destination, static_cast<uint8_t>(destinationRead.memory));
    ASSERT_EQ(Held(0), destinationBefore);
  };
  setBack();
  for (int step = 1; step <= steps; ++step) {
    SCOPED_TRACE(testing::Message() << paused << " answers late from request " << step);
    line.bus.AddFault(sim::Fault::Pause(paused).OnOccurrence(step).Times(1));
    const bool succeeded = Copy();
    line.bus.ClearFaults();
    if (succeeded) {
      EXPECT_EQ(Held(0), copied);
    }
    EXPECT_EQ(Held(1), sourceHeld);
    // Requests whose answers the cleared pause dropped are owed until the units answer others.
    for (IQDevice3300* unit : {destination, source}) EXPECT_NO_THROW(g3300UnitName.Read(*unit));
    if (Held(0) != destinationBefore) setBack();
  }
}

TEST_F(LateAnswerTest, ACopyWithOneLateAnswerAnywhereIsRightOrReported) {
  CopyWithLateAnswersAtEveryRequest(1);
}

TEST_F(LateAnswerTest, ACopyWithTwoLateAnswersAnywhereIsRightOrReported) {
  CopyWithLateAnswersAtEveryRequest(2);
}

// Gain A read, then written, with every answer late from that read on: the late answer of the
// read never passes for the value, whether a write of gain A came between or so many requests came
// between that the read was given up on.
TEST_F(LateAnswerTest, AReadAfterALateWriteOrPastTheOwedBoundGivesTheValueWritten) {
  const struct {
    const char* what;
    int paused;
    int gainBReadsBetween;
    uint8_t written;
  } rows[] = {
      {"a write of the object between", 2, 0, 9},
      {"past the owed bound", 66, 64, 10},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    line.bus.AddFault(sim::Fault::Pause(row.paused).ForUnit(kSourceAddress).Times(1));
    EXPECT_THROW(g3300GainA.Read(*source), ReadTimeout);
    for (int read = 0; read < row.gainBReadsBetween; ++read) {
      EXPECT_THROW(g3300GainB.Read(*source), ReadTimeout);
    }
    EXPECT_THROW(g3300GainA.Write(*source, row.written), ReadTimeout);
    EXPECT_EQ(g3300GainA.Read(*source), row.written);
    line.bus.ClearFaults();
  }
}

}  // namespace
