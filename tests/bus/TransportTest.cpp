#include <gtest/gtest.h>

#include <optional>

#include "bus/IQException.h"
#include "bus/OwedReplies.h"
#include "bus/UCodeObject.h"
#include "tests/bus/BusTestSupport.h"

namespace {

using bustest::Bytes;
using bustest::Reply;
using bustest::WithChecksum;

const Bytes kObject20{0x14};

struct TransportTest : bustest::ScriptedUnitTest {
  ByteUCodeObject byte20{20, 1, false};
};

TEST_F(TransportTest, RequestsCarryLengthIdOpcodeAndTheLowByteOfTheIndex) {
  line->Queue(Reply(1, kObject20, {}, 9));
  byte20.Write(*unit, 0x7F);
  EXPECT_EQ(line->writes.back(), WithChecksum({0x05, 0xF0, 0x02, 0x03, 0x14, 0x09, 0x7F}));

  ByteUCodeObject array{21, 400, false};
  array.SetElement(300);
  line->Queue(Reply(1, {0x15}, {0x33}));
  EXPECT_EQ(array.Read(*unit), 0x33);
  EXPECT_EQ(line->writes.back(), WithChecksum({0x05, 0xF0, 0x02, 0x03, 0x15, 0x0A, 0x2C}));
  array.SetElement(5000);
  EXPECT_EQ(array.GetElement(), 399);
}

TEST_F(TransportTest, BadRepliesRaiseTheirOwnExceptions) {
  line->Queue(Reply(1, {0xB0, 0x7F}, {0x03, 0x07}));
  try {
    byte20.Read(*unit);
    FAIL();
  } catch (const ErrorObject& e) {
    EXPECT_EQ(e.code, 7);
  }
  line->Queue(Reply(1, {0xB0, 0x7F}, {}));
  try {
    byte20.Read(*unit);
    FAIL();
  } catch (const ErrorObject& e) {
    EXPECT_EQ(e.code, 0);
  }
  Bytes corrupt = Reply(1, kObject20, {0x01});
  corrupt.back() ^= 1;
  line->Queue(corrupt);
  EXPECT_THROW(byte20.Read(*unit), ChecksumError);
  const Bytes whole = Reply(1, kObject20, {0x01});
  line->Queue(Bytes(whole.begin(), whole.end() - 2));
  EXPECT_THROW(byte20.Read(*unit), ReadTimeout);
}

TEST_F(TransportTest, RefusedRequestsAreSentAgainWithinABoundAndTheirDataIsDropped) {
  line->Queue(Reply(0, kObject20, {}, 9));
  line->Queue(Reply(1, kObject20, {}, 9));
  byte20.Write(*unit, 1);
  ASSERT_EQ(line->writes.size(), 2u);
  EXPECT_EQ(line->writes[0], line->writes[1]);

  ByteUCodeObject meter{22, 1, true};
  line->Queue(Reply(0, {0x16}, {0x11}));
  line->Queue(Reply(1, {0x16}, {0x22}));
  EXPECT_EQ(meter.Read(*unit), 0x22);

  for (const bool writing : {true, false}) {
    line->writes.clear();
    line->onWrite = [this, writing](const Bytes&) {
      line->Queue(Reply(0, {0x16}, {0x11}, writing ? 9 : 10));
    };
    if (writing) {
      EXPECT_THROW(meter.Write(*unit, 1), DeviceBusy);
    } else {
      EXPECT_THROW(meter.Read(*unit), DeviceBusy);
    }
    EXPECT_EQ(line->writes.size(), static_cast<std::size_t>(kMaxNotAcceptedReplies));
  }
}

TEST_F(TransportTest, OverlongRepliesAreRefusedAndClearedOffTheLine) {
  Bytes overlong{0x05, 0xF0, 0x02, 0x01, 0xF0, 0x14, 0x0A};
  overlong.resize(overlong.size() + 0xF0 - 2, 0xAA);
  line->Queue(WithChecksum(overlong));
  EXPECT_THROW(byte20.Read(*unit), ReplyTooLong);
  line->Queue(Reply(1, kObject20, {0x01, 0x02}));
  EXPECT_THROW(byte20.Read(*unit), ReplyTooLong);
  EXPECT_TRUE(line->input.empty());
  line->Queue(Reply(1, kObject20, {0x09}));
  EXPECT_EQ(byte20.Read(*unit), 0x09);
}

TEST_F(TransportTest, TimeOutOverrideCoversTheRequestAndItsFirstReplyOnly) {
  line->Queue(Reply(1, kObject20, {0x01}));
  byte20.Read(*unit, 500);
  EXPECT_EQ(line->readTimeoutsMs.front(), 1000);
  EXPECT_EQ(line->readTimeoutsMs.back(), 1000);
  EXPECT_EQ(port.GetReadTimeout(), CommPort::kDefaultReadTimeoutMs);

  ByteUCodeObject meter{22, 1, true};
  EXPECT_THROW(meter.Write(*unit, 1, 500), ReadTimeout);
  EXPECT_EQ(port.GetReadTimeout(), CommPort::kDefaultReadTimeoutMs);
  line->readTimeoutsMs.clear();
  line->Queue(Reply(0, {0x16}, {}, 9));
  line->Queue(Reply(1, {0x16}, {}, 9));
  meter.Write(*unit, 1, 500);
  const auto& waits = line->readTimeoutsMs;
  EXPECT_EQ(std::count(waits.begin(), waits.end(), 1000), 8);  // the first reply's 8 bytes
  EXPECT_EQ(waits.back(), 40);

  line->readTimeoutsMs.clear();
  line->Queue({0x01, 0x02});
  manager.GetEncoder().Flush(500);
  EXPECT_EQ(line->readTimeoutsMs, (std::vector<int>{1000, 1000, 1000}));
  EXPECT_EQ(port.GetReadTimeout(), CommPort::kDefaultReadTimeoutMs);
}

TEST_F(TransportTest, NetworkIsSelectedOnlyWhenItChanges) {
  bustest::RecordingMonitor monitor;
  manager.GetEncoder().SetMonitor(&monitor);
  IQDeviceInfo onSecond{6, 368, 2};
  std::unique_ptr<IQDevice> other{type.CreateDevice(&manager, &onSecond)};
  line->onWrite = [this](const Bytes&) {
    line->Queue(bustest::ReplyFrom(6, {0xF0, 0x02}, 1, kObject20, {}, 9));
  };
  byte20.Write(*other, 1);
  byte20.Write(*other, 2);
  ASSERT_EQ(line->writes.size(), 3u);
  EXPECT_EQ(line->writes[0], (Bytes{0xFD, 0xE1}));
  EXPECT_EQ(monitor.sentBytes, std::vector<Bytes>{line->writes[0]});
  EXPECT_EQ(monitor.sentPackets.size(), 2u);
  EXPECT_EQ(monitor.receivedPackets.size(), 2u);
  EXPECT_EQ(manager.GetEncoder().GetNetwork(), 2);
}

TEST_F(TransportTest, LateAnswersOnTheLineAreDroppedBeforeEachRequest) {
  bustest::RecordingMonitor monitor;
  manager.GetEncoder().SetMonitor(&monitor);
  // A unit that stalled answers two timed-out requests at once when it resumes.
  const Bytes late = Reply(1, kObject20, {0x11});
  line->pending.assign(late.begin(), late.end());
  line->pending.insert(line->pending.end(), late.begin(), late.end());
  line->Queue(Reply(1, kObject20, {0x22}));
  EXPECT_EQ(byte20.Read(*unit), 0x22);
  ASSERT_EQ(monitor.receivedBytes.size(), 1u) << "the dropped bytes are shown as received";
  Bytes both = late;
  both.insert(both.end(), late.begin(), late.end());
  EXPECT_EQ(monitor.receivedBytes[0], both);

  // An interface that echoes: the echo of the request is still read as the echo, and the late
  // answer before it is not.
  port.SetDuplexEcho(true);
  line->pending.assign(late.begin(), late.end());
  line->onWrite = [this](const Bytes& sent) {
    line->Queue(sent);
    line->Queue(Reply(1, kObject20, {}, 9));
  };
  byte20.Write(*unit, 0x33);
  EXPECT_TRUE(line->input.empty());
  EXPECT_TRUE(line->pending.empty());
}

TEST_F(TransportTest, RepliesToOtherRequestsAreDroppedCountedAndLogged) {
  bustest::RecordingMonitor monitor;
  manager.GetEncoder().SetMonitor(&monitor);
  const Bytes family{0xF0, 0x02};
  const Bytes errorObject{0xB0, 0x7F};
  const struct {
    const char* what;
    Bytes before;  // on the line ahead of the unit's own reply
    bool dropped;
  } rows[] = {
      {"another unit", bustest::ReplyFrom(6, family, 1, kObject20, {0x11}), true},
      {"another family", bustest::ReplyFrom(5, {0xF1, 0x02}, 1, kObject20, {0x11}), true},
      {"another object", Reply(1, {0x15}, {0x11}), true},
      {"another opcode", Reply(1, kObject20, {}, 9), true},
      {"another unit's refusal", bustest::ReplyFrom(6, family, 1, errorObject, {0x07}), true},
      {"a roll-call answer", WithChecksum({0xFC, 0xF8, 0xF8, 0x01, 0x02, 0x14, 0x0A}), true},
      {"the unit's refusal", Reply(1, errorObject, {0x07}), false},
  };
  ByteUCodeObject meter20{20, 1, true};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const int droppedBefore = manager.GetEncoder().DroppedReplies();
    monitor.receivedPackets.clear();
    line->Queue(row.before);
    line->Queue(Reply(1, kObject20, {0x22}));
    if (row.dropped) {
      EXPECT_EQ(meter20.Read(*unit), 0x22);
      EXPECT_EQ(monitor.receivedPackets.size(), 2u) << "the dropped reply is shown as received";
    } else {
      EXPECT_THROW(meter20.Read(*unit), ErrorObject);
      line->input.clear();
    }
    EXPECT_EQ(manager.GetEncoder().DroppedReplies() - droppedBefore, row.dropped ? 1 : 0);
  }
}

// A reply names its unit, object and opcode but not the element asked for: a late reply of band 3
// reads like band 4's own.
TEST_F(TransportTest, ALateReplyOfAnotherElementIsNeverTakenForTheElementAsked) {
  ByteUCodeObject band{21, 8, true};
  ByteUCodeObject meter{22, 1, true};
  AllocatingByteUCodeObject slot{23, 1, true};
  // Each step: the object and element read, the values the unit sends after the request (band n
  // holds 0x30 + n) and after the request is asked again, and what the read gives.
  const struct {
    const char* what;
    ByteUCodeObject* object;
    int element;
    Bytes replies;
    std::optional<int> read;
    Bytes repliesAskedAgain = {};
  } steps[] = {
      {"the unit stalls", &band, 3, {}, std::nullopt},
      {"and resumes: band 3 late, then band 4", &band, 4, {0x33, 0x34}, 0x34},
      {"band 3's request is lost", &band, 3, {}, std::nullopt},
      {"band 4's reply is taken for band 3's late one", &band, 4, {0x34}, std::nullopt},
      {"the same request again may take its late reply", &band, 4, {0x34}, 0x34},
      {"band 3's request is lost again", &band, 3, {}, std::nullopt},
      {"band 4's reply, taken for band 3's, is asked for again once the unit is quiet",
       &band,
       4,
       {0x34},
       0x34,
       {0x34}},
      {"band 3's request is lost once more", &band, 3, {}, std::nullopt},
      {"another object's reply settles what was owed", &meter, 0, {0x01}, 0x01},
      {"nothing is owed any more", &band, 5, {0x35}, 0x35},
      {"a slot read is lost", &slot, 0, {}, std::nullopt},
      {"the next slot read takes its own slot, never the late one", &slot, 0, {0x00, 0x01}, 0x01},
      {"a slot read is lost again", &slot, 0, {}, std::nullopt},
      {"a slot read whose reply may be the lost one's is never asked again",
       &slot,
       0,
       {0x02},
       std::nullopt,
       {0x03}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.object->SetElement(step.element);
    const Bytes id{static_cast<uint8_t>(step.object->GetId())};
    for (uint8_t value : step.replies) line->Queue(Reply(1, id, {value}));
    int writes = 0;
    line->onWrite = [&](const Bytes&) {
      if (++writes == 2) {
        for (uint8_t value : step.repliesAskedAgain) line->Queue(Reply(1, id, {value}));
      }
    };
    std::optional<int> read;
    try {
      read = step.object->Read(*unit);
    } catch (const ReadTimeout&) {
      line->input.clear();
    }
    EXPECT_EQ(read, step.read);
  }
  line->onWrite = nullptr;
}

TEST(OwedRepliesTest, OwedRequestsAreBoundedAndForgottenAfterTheirLifetime) {
  OwedReplies::Clock::time_point now{};
  OwedReplies owed([&] { return now; });
  const SentRequest band3{.address = 5, .family = 368, .objectId = 21, .opcode = 10, .bytes = {3}};
  const SentRequest band4{.address = 5, .family = 368, .objectId = 21, .opcode = 10, .bytes = {4}};
  const ReplyOrigin reply{.address = 5, .family = 368, .objectId = 21, .opcode = 10};
  for (std::size_t i = 0; i <= OwedReplies::kMaxOwed; ++i) owed.Add(band3);
  EXPECT_EQ(owed.Count(), OwedReplies::kMaxOwed);
  EXPECT_FALSE(owed.IsOwn(band4, reply));
  now += OwedReplies::kLifetime;
  EXPECT_FALSE(owed.IsOwn(band4, reply)) << "given up on, a request may still be answered";
  EXPECT_EQ(owed.Count(), 0u);
  owed.ForgetUnit(band4);
  EXPECT_TRUE(owed.IsOwn(band4, reply));
}

TEST_F(TransportTest, InterfaceDetection) {
  UCodeEncoder& encoder = manager.GetEncoder();
  line->onWrite = [this](const Bytes& sent) { line->Queue(sent); };
  encoder.DetectInterface();
  EXPECT_TRUE(port.GetDuplexEcho());
  EXPECT_EQ(port.GetRetries(), CommPort::kDefaultRetries);

  line->onWrite = [this](const Bytes& sent) {
    if (sent == Bytes{0xFD, 0xE9}) line->Queue({'R', '8'});
  };
  encoder.DetectInterface();
  EXPECT_FALSE(port.GetDuplexEcho());
  EXPECT_EQ(encoder.GetNetworkCount(), 8);

  // The echo test gives up after two silent reads; the id query waits with the port's own
  // retries, three reads.
  line->onWrite = nullptr;
  line->readTimeoutsMs.clear();
  EXPECT_THROW(encoder.DetectInterface(), InterfaceNotPresent);
  EXPECT_EQ(line->readTimeoutsMs.size(), 2u + (CommPort::kDefaultRetries + 1));
  EXPECT_EQ(encoder.GetInterfaceId(), "??");
  EXPECT_EQ(encoder.GetNetworkCount(), 1);
  EXPECT_EQ(port.GetRetries(), CommPort::kDefaultRetries);
}

}  // namespace
