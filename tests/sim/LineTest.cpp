// The line itself: pacing, the program closing and reopening its port, half-sent frames, and
// starting and stopping the serving thread.

#include <gtest/gtest.h>

#include <chrono>

#include "SimTestSupport.h"

namespace {

using simtest::Bytes;
using simtest::Hex;
using simtest::ToHex;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

const char* const kGet20 = "05 F0 02 02 14 0A 17";
const char* const kReply20 = "05 F0 02 01 03 14 0A 00 19";

class LineTest : public simtest::SimBusTest {
 protected:
  void SetUp() override { AddUnit(5); }
};

TEST_F(LineTest, PacedExchangeTakesItsWireTimeAndTurnaround) {
  constexpr microseconds kTurnaround{3000};
  // Ten bits per byte at 38400 baud.
  constexpr microseconds kByteTime{260};
  bus_.SetPacing({.enabled = true, .turnaroundUs = static_cast<int>(kTurnaround.count())});
  Connect();
  const Bytes request = Hex(kGet20);
  const Bytes reply = Hex(kReply20);
  const auto sent = Clock::now();
  client_->Send(request);
  EXPECT_EQ(ToHex(client_->ReadCount(reply.size(), simtest::kPromptMs)), ToHex(reply));
  const auto wireAndTurnaround =
      kByteTime * static_cast<int>(request.size() + reply.size()) + kTurnaround;
  EXPECT_GE(Clock::now() - sent, wireAndTurnaround);
}

TEST_F(LineTest, ProgramMayCloseAndReopenItsPort) {
  Connect();
  ExpectReply(Hex(kGet20), Hex(kReply20));
  client_->Close();
  client_ = std::make_unique<simtest::PortClient>(bus_.SlavePath());
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST_F(LineTest, HalfSentFrameIsDroppedWhenTheLineFallsSilent) {
  Connect();
  client_->Send(Hex("05 F0 02 02 14"));
  // The bus logs the dropped bytes once it gives up on them.
  AwaitTraffic(1);
  EXPECT_EQ(ToHex(bus_.Traffic()[0].bytes), ToHex(Hex("05 F0 02 02 14")));
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST_F(LineTest, HangUpByTheTestFailsTheProgramsReads) {
  Connect();
  bus_.HangUp();
  EXPECT_EQ(client_->ReadOnce(simtest::kPromptMs), -1);
}

TEST_F(LineTest, StopIsPromptEvenWhileStreamingAndTheBusRestarts) {
  bus_.AddFault(sim::Fault::EndlessStream());
  Connect();
  client_->Send(Hex(kGet20));
  EXPECT_FALSE(client_->ReadCount(1000, simtest::kPromptMs).empty());

  // A loop that looked for its stop flag only once the line fell silent would never return here.
  bus_.Stop();

  bus_.ClearFaults();
  TakeAllTheBusSent();
  bus_.Start();
  bus_.Start();  // a second start while serving changes nothing
  ExpectReply(Hex(kGet20), Hex(kReply20));
}

TEST(SimulatedBusTest, StopsWithoutEverStarting) {
  sim::SimulatedBus bus;
  EXPECT_FALSE(bus.SlavePath().empty());
  bus.Stop();
}

}  // namespace
