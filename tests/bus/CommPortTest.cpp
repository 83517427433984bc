#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQException.h"
#include "bus/PortList.h"
#include "bus/UCodePacket.h"
#include "tests/bus/BusTestSupport.h"

namespace {

using bustest::Bytes;
using bustest::LineScript;
using serial::Failure;

struct CommPortTest : testing::Test {
  std::shared_ptr<LineScript> line = std::make_shared<LineScript>();
  CommPort port{3, kBusBaudRate, bustest::ScriptedLines(line)};
};

TEST_F(CommPortTest, OpenUsesTheComNameOfAnyNumberAndIsIdempotent) {
  port.SetPortNumber(12);
  port.Open();
  port.Open();
  EXPECT_EQ(line->opened, std::vector<std::string>{"COM12"});
  EXPECT_EQ(port.GetName(), "COM12");
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(CommPortTest, ProbeOpensTheNamedPortOnceAndNamesTheOutcome) {
  const std::vector<std::pair<Failure, std::string>> cases{{Failure::None, "OK"},
                                                           {Failure::InUse, "Unavailable"},
                                                           {Failure::AccessDenied, "Error"},
                                                           {Failure::NoSuchPort, "No Connection"},
                                                           {Failure::Other, "Problem"}};
  for (const auto& [failure, status] : cases) {
    line->openFailure = failure;
    EXPECT_EQ(port.Probe("COM12"), status);
  }
  EXPECT_EQ(line->opened, std::vector<std::string>(cases.size(), "COM12"));
  EXPECT_EQ(line->closes, 1);  // only the port that opened
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(CommPortTest, CloseReportsARefusalAndLeavesThePortClosed) {
  port.Open();
  line->closeFailure = Failure::Other;
  EXPECT_THROW(port.Close(), CloseError);
  EXPECT_FALSE(port.IsOpen());
  port.Close();  // closed already: nothing to do
  EXPECT_EQ(line->closes, 1);
}

TEST_F(CommPortTest, FailedOpenLeavesThePortClosedAndReleased) {
  line->stateFailure = Failure::Other;
  EXPECT_THROW(port.Open(), GetStateError);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(line->closes, 1);
  line->stateFailure = Failure::None;
  line->configureFailure = Failure::Other;
  EXPECT_THROW(port.Open(), SetStateError);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(line->closes, 2);
  line->configureFailure = Failure::None;
  line->openFailure = Failure::InUse;
  EXPECT_THROW(port.Open(), NoCommHandle);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.GetLastError(), Failure::InUse);
}

TEST_F(CommPortTest, ReportOpenErrorNamesTheFailureStoredByOpen) {
  PortList ports;
  struct Case {
    int portNumber;
    Failure failure;
    std::string text, caption;
  };
  const std::vector<Case> cases{
      {3, Failure::NoSuchPort,
       "COM3 does not appear to be plugged in, or is not plugged in to a Telvo Instruments unit.",
       "Problem accessing a COM port."},
      {3, Failure::InUse,
       "COM3 is in use by another program and cannot be used by TelvoWindows at this time.",
       "Problem accessing a COM port."},
      {3, Failure::AccessDenied, "An error has occured while trying to access COM3",
       "Problem accessing a COM port."},
      {CommPort::kNoPort, Failure::Other,
       "No Inteface has been selected. You will need to select an Interface from the "
       "Options->Interface Menu.",
       "No Interface Selected"},
  };
  for (const Case& c : cases) {
    bustest::RecordingNotifier notifier;
    line->openFailure = c.failure;
    port.SetPortNumber(c.portNumber);
    EXPECT_THROW(port.Open(), NoCommHandle);
    port.ReportOpenError(notifier, ports);
    bustest::ExpectOnlyMessage(notifier, c.text, c.caption);
  }
}

TEST_F(CommPortTest, ReadByteTriesRetriesPlusOneTimesEachWaitingTwiceTheTimeOut) {
  port.Open();
  EXPECT_THROW(port.ReadByte(), ReadTimeout);
  EXPECT_EQ(line->readTimeoutsMs, (std::vector<int>{40, 40, 40}));
  port.SetRetries(1);
  line->readTimeoutsMs.clear();
  EXPECT_THROW(port.ReadByte(), ReadTimeout);
  EXPECT_EQ(line->readTimeoutsMs.size(), 2u);
  line->QueueSilence(1);
  line->Queue({0x42});
  EXPECT_EQ(port.ReadByte(), 0x42);
  line->readFails = true;
  EXPECT_THROW(port.ReadByte(), ReadError);
}

TEST_F(CommPortTest, ReadVarintTakesAtMostThreeBytes) {
  port.Open();
  line->Queue({0xF0, 0x02, 0xFF, 0xFF, 0xFF, 0x09});
  EXPECT_EQ(port.ReadVarint(), 368);
  EXPECT_EQ(port.ReadVarint(), kMaxVarint);
  EXPECT_EQ(port.ReadVarint(), 9);
}

TEST_F(CommPortTest, WriteFailuresAndMissingEcho) {
  port.Open();
  const Bytes six{1, 2, 3, 4, 5, 6};
  line->writeResult = -1;
  EXPECT_THROW(port.Write(six), WriteError);
  EXPECT_FALSE(port.IsOpen()) << "a line that failed is let go";
  port.Open();
  line->writeResult = 5;
  EXPECT_THROW(port.Write(six), WriteTimeout);
  line->writeResult.reset();
  port.SetDuplexEcho(true);
  line->onWrite = [&](const Bytes& sent) { line->Queue(Bytes(sent.begin(), sent.end() - 1)); };
  EXPECT_THROW(port.Write(six), DuplexEchoError);
  line->onWrite = [&](const Bytes& sent) { line->Queue(sent); };
  EXPECT_EQ(port.Write(six), 6u);
  EXPECT_TRUE(line->input.empty());
}

TEST_F(CommPortTest, PausesAfterEveryWriteAndInLongWaitsButIsNeverUsedFromThePause) {
  port.Open();
  std::vector<std::string> log;
  port.SetPauseHook([&] { log.push_back("pause"); });
  line->onWrite = [&](const Bytes&) { log.push_back("write"); };
  port.Write(Bytes{1, 2});
  EXPECT_EQ(log, (std::vector<std::string>{"write", "pause"}));

  // A silent line: every attempt still waits twice the time-out in all, pausing between slices.
  log.clear();
  EXPECT_THROW(port.ReadByte(), ReadTimeout);
  EXPECT_EQ(line->readTimeoutsMs, std::vector<int>(12, CommPort::kPauseSliceMs));
  EXPECT_EQ(log.size(), 9u);
  log.clear();
  line->Queue({0x42});
  EXPECT_EQ(port.ReadByte(), 0x42);
  EXPECT_TRUE(log.empty()) << "a byte that is there costs no pause";
  line->Queue(Bytes(2 * CommPort::kPauseBytes, 0x55));
  for (int i = 0; i < 2 * CommPort::kPauseBytes; ++i) port.ReadByte();
  EXPECT_EQ(log.size(), 2u) << "a long answer pauses on its way";
  log.clear();

  // Whatever runs in the pause cannot cut into the exchange.
  int refused = 0;
  port.SetPauseHook([&] {
    try {
      port.Write(Bytes{9});
    } catch (const std::logic_error&) {
      ++refused;
    }
    try {
      port.ReadByte();
    } catch (const std::logic_error&) {
      ++refused;
    }
  });
  line->writes.clear();
  port.Write(Bytes{3});
  EXPECT_EQ(refused, 2);
  EXPECT_EQ(line->writes, std::vector<Bytes>{Bytes{3}});
}

TEST_F(CommPortTest, PendingInputIsTakenWithoutWaitingAndADeadLineIsOpenedAgain) {
  port.Open();
  EXPECT_TRUE(port.DiscardPending().empty());
  line->pending.assign({0x05, 0xF0, 0x02});
  line->Queue({0x42});
  EXPECT_EQ(port.DiscardPending(), (Bytes{0x05, 0xF0, 0x02}));
  EXPECT_TRUE(line->readTimeoutsMs.empty()) << "nothing waited for";
  EXPECT_EQ(port.ReadByte(), 0x42) << "what comes after the discard is read";

  line->pending.assign(CommPort::kMaxPendingBytes + 10, 0x55);
  EXPECT_EQ(port.DiscardPending().size(), CommPort::kMaxPendingBytes);

  // An adapter pulled out: the open line fails. Opening again gives up that line for a new one.
  line->readFails = true;
  port.Open();
  EXPECT_EQ(line->opened.size(), 2u);
  EXPECT_THROW(port.DiscardPending(), ReadError);
  EXPECT_FALSE(port.IsOpen());
  line->readFails = false;
  port.Open();
  EXPECT_EQ(line->opened.size(), 3u);
  EXPECT_TRUE(port.IsOpen());
  port.Open();
  EXPECT_EQ(line->opened.size(), 3u) << "a working line is kept";
}

TEST_F(CommPortTest, DrainEndsOnALineThatNeverFallsSilent) {
  port.Open();
  line->babbles = true;
  port.Drain();
  EXPECT_EQ(line->readTimeoutsMs.size(), static_cast<std::size_t>(CommPort::kMaxDrainBytes));
}

}  // namespace
