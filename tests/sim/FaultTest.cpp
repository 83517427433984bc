// Each scripted fault puts on the wire exactly the bytes, timing or line state it promises.

#include <gtest/gtest.h>

#include <chrono>

#include "SimTestSupport.h"

namespace {

using simtest::Bytes;
using simtest::Hex;
using simtest::ToHex;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

const char* const kGet20 = "05 F0 02 02 14 0A 17";
const char* const kGet21 = "05 F0 02 02 15 0A 18";
const char* const kReply20 = "05 F0 02 01 03 14 0A 00 19";
const char* const kRestart = "FC F8 F8 02 80 7F ED";
const char* const kQuery = "FC F8 F8 02 81 7F EE";

class FaultTest : public simtest::SimBusTest {
 protected:
  void SetUp() override {
    AddUnit(5);
    AddUnit(7);
    Connect();
  }
};

TEST_F(FaultTest, ReplyFaultsChangeTheReplyBytes) {
  // Length 64: the id, the opcode and 62 data bytes, the element's own byte first.
  Bytes overlong = Hex("05 F0 02 01 40 14 0A 00");
  overlong.insert(overlong.end(), 61, 0xA5);

  using F = sim::Fault;
  const struct {
    const char* what;
    std::vector<sim::Fault> faults;
    Bytes reply;
  } cases[] = {
      // The data of a reply that is not accepted must not pass for the value.
      {"status 0", {F::Status(0)}, Hex("05 F0 02 00 03 14 0A EE 06")},
      {"error object", {F::ErrorObject(9)}, Hex("05 F0 02 01 04 B0 7F 0A 09 3E")},
      {"error object without data",
       {F::ErrorObjectWithoutData()},
       Hex("05 F0 02 01 03 B0 7F 0A 34")},
      {"over-long length", {F::OverlongLength(0x40)}, simtest::WithChecksum(overlong)},
      {"bad checksum", {F::BadChecksum()}, Hex("05 F0 02 01 03 14 0A 00 1A")},
      {"truncation", {F::Truncate(4)}, Hex("05 F0 02 01")},
      {"garbage before", {F::GarbageBefore(Hex("AA BB"))}, Hex("AA BB 05 F0 02 01 03 14 0A 00 19")},
      {"bytes after", {F::BytesAfter(Hex("CC"))}, Hex("05 F0 02 01 03 14 0A 00 19 CC")},
      // Faults stack in a fixed order whatever order they were added in.
      {"bytes after a truncation", {F::BytesAfter(Hex("CC")), F::Truncate(2)}, Hex("05 F0 CC")},
      {"error object with status 0",
       {F::ErrorObject(1), F::Status(0)},
       Hex("05 F0 02 00 04 B0 7F 0A 01 35")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bus_.ClearFaults();
    for (const sim::Fault& fault : c.faults) bus_.AddFault(fault.ForUnit(5));
    ExpectReply(Hex(kGet20), c.reply);
  }
  bus_.ClearFaults();
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST_F(FaultTest, SilenceSuppressesTheReplyButNotTheRequest) {
  bus_.AddFault(sim::Fault::Silence().ForUnit(5).ForOpcode(9));
  ExpectNoReply(Hex("05 F0 02 03 14 09 07 1E"));
  EXPECT_EQ(bus_.Element(0, 20, 0), Hex("07"));
  ExpectReply(Hex(kGet20), Hex("05 F0 02 01 03 14 0A 07 20"));
}

TEST_F(FaultTest, FaultsHitOnlyTheirUnitObjectOpcodeAndOccurrences) {
  bus_.AddFault(sim::Fault::Status(0).ForUnit(5).ForObject(21).Times(2));
  bus_.AddFault(sim::Fault::BadChecksum().ForUnit(7).OnOccurrence(2));
  const Bytes busy21 = Hex("05 F0 02 00 06 15 0A EE EE EE EE D4");
  const Bytes ready21 = Hex("05 F0 02 01 06 15 0A 00 00 00 00 1D");
  const Bytes get7 = Hex("07 F0 02 02 14 0A 19");
  const Bytes reply7 = Hex("07 F0 02 01 03 14 0A 00 1B");
  const Bytes badReply7 = Hex("07 F0 02 01 03 14 0A 00 1C");

  ExpectReply(Hex(kGet20), Hex(kReply20));  // another object of unit 5
  ExpectReply(Hex(kGet21), busy21);
  ExpectReply(get7, reply7);
  ExpectReply(Hex(kGet21), busy21);
  ExpectReply(get7, badReply7);
  ExpectReply(Hex(kGet21), ready21);
  ExpectReply(get7, reply7);
}

TEST_F(FaultTest, RollCallAnswerFaults) {
  const struct {
    const char* what;
    sim::Fault fault;
    const char* answer;
  } cases[] = {
      {"length below 10", sim::Fault::RollCallLength(9),
       "FC F8 F8 01 09 07 F0 02 55 4E 49 54 30 30 30 37 F6"},
      {"address 251", sim::Fault::RollCallAddress(251),
       "FC F8 F8 01 0B FB F0 02 55 4E 49 54 30 30 30 37 EC"},
      {"three-byte family code", sim::Fault::ThreeByteFamily(),
       "FC F8 F8 01 0C 07 F0 82 00 55 4E 49 54 30 30 30 37 79"},
  };
  // Unit 5 is acknowledged first, so unit 7 answers every query below.
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex("FC F8 F8 01 0B 05 F0 02 55 4E 49 54 30 30 30 35 F4"));
  ExpectNoReply(Hex("05 F0 02 02 82 7F FA"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bus_.ClearFaults();
    bus_.AddFault(c.fault.ForUnit(7));
    ExpectReply(Hex(kQuery), Hex(c.answer));
  }
}

TEST_F(FaultTest, DuplicateAddressAnswersAreAcknowledgedOneByOne) {
  // Unit 7 answers as unit 5: the program sees address 5 twice.
  bus_.AddFault(sim::Fault::RollCallAddress(5).ForUnit(7));
  const Bytes ack5 = Hex("05 F0 02 02 82 7F FA");
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex("FC F8 F8 01 0B 05 F0 02 55 4E 49 54 30 30 30 35 F4"));
  ExpectNoReply(ack5);
  ExpectReply(Hex(kQuery), Hex("FC F8 F8 01 0B 05 F0 02 55 4E 49 54 30 30 30 37 F6"));
  ExpectNoReply(ack5);
  ExpectNoReply(Hex(kQuery));
}

TEST_F(FaultTest, LateFirstByteHoldsBackTheWholeReply) {
  constexpr milliseconds kDelay{120};
  bus_.AddFault(sim::Fault::LateFirstByte(kDelay.count()));
  const auto sent = Clock::now();
  client_->Send(Hex(kGet20));
  Bytes reply = client_->ReadCount(1, simtest::kPromptMs);
  EXPECT_GE(Clock::now() - sent, kDelay) << "no byte comes before the delay";
  const Bytes rest = client_->ReadCount(8, simtest::kPromptMs);
  reply.insert(reply.end(), rest.begin(), rest.end());
  EXPECT_EQ(ToHex(reply), ToHex(Hex(kReply20)));
}

TEST_F(FaultTest, StallHoldsBackEveryAnswerDueWithinItThenSendsThemInOrder) {
  constexpr milliseconds kStall{150};
  bus_.AddFault(sim::Fault::Stall(kStall.count()).OnOccurrence(1));
  const auto sent = Clock::now();
  client_->Send(Hex(kGet20));
  client_->Send(Hex(kRestart));
  client_->Send(Hex(kGet20));
  Bytes answers = client_->ReadCount(1, simtest::kPromptMs);
  EXPECT_GE(Clock::now() - sent, kStall) << "no answer comes before the stall's end";
  const Bytes rest = client_->ReadCount(17, simtest::kPromptMs);
  answers.insert(answers.end(), rest.begin(), rest.end());
  EXPECT_EQ(ToHex(answers), ToHex(Hex(std::string(kReply20) + " " + kReply20)));
  // After the stall the unit answers at once again.
  client_->Send(Hex(kGet20));
  EXPECT_EQ(ToHex(client_->ReadCount(9, simtest::kPromptMs)), ToHex(Hex(kReply20)));
}

// A pause counts requests, not time, so a test sees the same late answers on any machine.
TEST_F(FaultTest, APauseSendsTheAnswersItKeptBackAheadOfTheNextOne) {
  bus_.AddFault(sim::Fault::Pause(2).OnOccurrence(1).Times(1));
  ExpectNoReply(Hex(kGet20));
  ExpectNoReply(Hex(kGet21));
  const std::string reply21 = "05 F0 02 01 06 15 0A 00 00 00 00 1D";
  ExpectReply(Hex(kGet20), Hex(std::string(kReply20) + " " + reply21 + " " + kReply20));
  ExpectReply(Hex(kGet20), Hex(kReply20));
  // Faults cleared during a pause take it, and what it kept back, away.
  bus_.AddFault(sim::Fault::Pause(1).OnOccurrence(1).Times(1));
  ExpectNoReply(Hex(kGet21));
  bus_.ClearFaults();
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST_F(FaultTest, ByteGapsSeparateEveryByte) {
  constexpr milliseconds kGap{15};
  bus_.AddFault(sim::Fault::ByteGaps(kGap.count()));
  const auto sent = Clock::now();
  client_->Send(Hex(kGet20));
  EXPECT_EQ(ToHex(client_->ReadCount(9, simtest::kPromptMs)), ToHex(Hex(kReply20)));
  // A reader woken late finds bytes together however far apart they went out, so only the whole
  // reply shows its gaps: its last byte cannot come before all eight have passed.
  EXPECT_GE(Clock::now() - sent, kGap * 8);
}

TEST_F(FaultTest, HangUpAfterTheReplyFailsTheProgramsReads) {
  bus_.AddFault(sim::Fault::HangUp().ForUnit(5));
  client_->Send(Hex(kGet20));
  EXPECT_EQ(ToHex(client_->ReadCount(9, simtest::kPromptMs)), ToHex(Hex(kReply20)));
  EXPECT_EQ(client_->ReadOnce(simtest::kPromptMs), -1);
}

TEST_F(FaultTest, EndlessStreamRunsUntilTheFaultsAreCleared) {
  // After a restart, which no unit answers, the line never falls silent.
  bus_.AddFault(sim::Fault::EndlessStream().ForObject(sim::kObjectRollCallRestart));
  client_->Send(Hex(kRestart));
  constexpr std::size_t kManyBytes = 20'000;
  EXPECT_EQ(client_->ReadCount(kManyBytes, simtest::kPromptMs).size(), kManyBytes);

  bus_.ClearFaults();
  // What is still buffered drains; a stream that went on would come ahead of the reply.
  TakeAllTheBusSent();
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST_F(FaultTest, GarbageCanFollowARequestNoUnitAnswers) {
  bus_.AddFault(sim::Fault::GarbageBefore(Hex("00 FF 00")).ForObject(sim::kObjectRollCallRestart));
  ExpectReply(Hex(kRestart), Hex("00 FF 00"));
}

}  // namespace
