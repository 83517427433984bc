#include <gtest/gtest.h>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "tests/bus/BusTestSupport.h"

namespace {

using bustest::Bytes;
using bustest::WithChecksum;

const Bytes kRestart = WithChecksum({0xFC, 0xF8, 0xF8, 0x02, 0x80, 0x7F});
const Bytes kQuery = WithChecksum({0xFC, 0xF8, 0xF8, 0x02, 0x81, 0x7F});

Bytes Answer(uint8_t address, const Bytes& family, uint8_t length = 17) {
  Bytes answer{0xFC, 0xF8, 0xF8, 0x01, length, address};
  answer.insert(answer.end(), family.begin(), family.end());
  for (char c : std::string("MODEL-12")) answer.push_back(static_cast<uint8_t>(c));
  return WithChecksum(answer);
}

// Units answer queries in turn, one answer per query, and stay silent once acknowledged.
struct RollCallTest : testing::Test {
  std::shared_ptr<bustest::LineScript> line = std::make_shared<bustest::LineScript>();
  CommPort port{1, kBusBaudRate, bustest::ScriptedLines(line)};
  IQDeviceManager manager{port};
  bustest::TestDeviceType type{368, "Test"};
  bustest::RecordingNotifier notifier;
  std::vector<Bytes> answers;
  std::vector<IQDevice*> found;

  void SetUp() override {
    port.Open();
    line->onWrite = [this](const Bytes& sent) {
      if (sent == kQuery && !answers.empty()) {
        line->Queue(answers.front());
        answers.erase(answers.begin());
      }
    };
  }
  void RollCall() { manager.RollCall({&type}, found, notifier); }
  int Queries() const {
    return static_cast<int>(std::count(line->writes.begin(), line->writes.end(), kQuery));
  }
};

TEST_F(RollCallTest, EveryAnsweringUnitIsAcknowledgedAndBecomesADevice) {
  answers = {Answer(1, {0xF0, 0x02}), Answer(7, {0xF0, 0x02}), Answer(9, {0xF0, 0x82, 0x00})};
  RollCall();
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0]->GetInfo().address, 1);
  EXPECT_EQ(found[2]->GetInfo().address, 9);
  EXPECT_EQ(found[2]->GetInfo().familyCode, 368u);
  EXPECT_EQ(found[1]->GetInfo().ModelText(), "MODEL-12");
  EXPECT_EQ(found[1]->GetInfo().network, 1);
  EXPECT_EQ(found[1]->GetType(), &type);
  EXPECT_EQ(Queries(), 4);
  EXPECT_EQ(line->writes[0], (Bytes{0xFD, 0xE0}));
  EXPECT_EQ(line->writes[1], kRestart);
  EXPECT_EQ(line->writes[3], WithChecksum({0x01, 0xF0, 0x02, 0x02, 0x82, 0x7F}));
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(RollCallTest, ALateReplyAheadOfAnAnswerIsDroppedAndTheAnswerRead) {
  Bytes lateThenAnswer = bustest::Reply(1, {0x14}, {0x11});
  const Bytes answer = Answer(1, {0xF0, 0x02});
  lateThenAnswer.insert(lateThenAnswer.end(), answer.begin(), answer.end());
  answers = {lateThenAnswer};
  RollCall();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->GetInfo().address, 1);
  EXPECT_EQ(manager.GetEncoder().DroppedReplies(), 1);
}

TEST_F(RollCallTest, AnEmptyBusGetsTheRestartAndOneQuery) {
  RollCall();
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(line->writes, (std::vector<Bytes>{{0xFD, 0xE0}, kRestart, kQuery}));
}

TEST_F(RollCallTest, RejectedOrLateAnswersEndTheNetworkAndAreDrained) {
  for (const Bytes& bad : {Answer(251, {0xF0, 0x02}), Answer(3, {0xF0, 0x02}, 9)}) {
    answers = {bad};
    found.clear();
    RollCall();
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(line->input.empty());
  }
  const Bytes late = Answer(3, {0xF0, 0x02});
  line->onWrite = [&](const Bytes& sent) {
    if (sent != kQuery) return;
    line->Queue(Bytes(late.begin(), late.begin() + 8));
    line->QueueSilence(3);
    line->Queue(Bytes(late.begin() + 8, late.end()));
  };
  RollCall();
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(line->input.empty());
}

TEST_F(RollCallTest, TheMonitorSeesEveryPacketAndTheFirstBytesOfEachDiscardedAnswer) {
  bustest::RecordingMonitor monitor;
  manager.GetEncoder().SetMonitor(&monitor);
  const Bytes answer = Answer(1, {0xF0, 0x02});
  const Bytes acknowledge = WithChecksum({0x01, 0xF0, 0x02, 0x02, 0x82, 0x7F});
  line->onWrite = [&](const Bytes& sent) {
    if (sent == kQuery) {
      if (Queries() == 1) line->Queue(answer);
    } else {
      line->Queue(Bytes(30, 0x55));  // network select, restart and acknowledge
    }
  };
  RollCall();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(monitor.sentBytes, std::vector<Bytes>{Bytes({0xFD, 0xE0})});
  EXPECT_EQ(monitor.sentPackets, (std::vector<Bytes>{kRestart, kQuery, acknowledge, kQuery}));
  EXPECT_EQ(monitor.receivedPackets, std::vector<Bytes>{Bytes(answer.begin(), answer.end() - 1)});
  EXPECT_EQ(monitor.receivedBytes,
            (std::vector<Bytes>{Bytes(20, 0x55), Bytes(24, 0x55), Bytes(20, 0x55)}));
}

TEST_F(RollCallTest, ALineThatNeverFallsSilentDoesNotHangTheRollCall) {
  line->babbles = true;
  RollCall();
  EXPECT_TRUE(found.empty());
}

TEST_F(RollCallTest, AnAddressConflictStopsCreatingDevices) {
  answers = {Answer(4, {0xF0, 0x02}), Answer(4, {0xF0, 0x02}), Answer(6, {0xF0, 0x02})};
  RollCall();
  ASSERT_EQ(found.size(), 1u);
  bustest::ExpectOnlyMessage(notifier, bustest::kAddressConflictText, "Roll call");
}

TEST_F(RollCallTest, ANewRollCallReplacesBusDevicesAndKeepsVirtualOnes) {
  IQDevice* open = manager.Acquire(manager.NewVirtualDevice(&type));
  answers = {Answer(1, {0xF0, 0x02})};
  RollCall();
  answers = {Answer(2, {0xF0, 0x02})};
  found.clear();
  RollCall();
  const auto devices = manager.Devices();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0], open);
  EXPECT_TRUE(manager.IsInUse(open));
  EXPECT_EQ(devices[1]->GetInfo().address, 2);

  line->writeResult = -1;
  EXPECT_THROW(RollCall(), WriteError);
  EXPECT_EQ(manager.Devices(), devices);
}

}  // namespace
