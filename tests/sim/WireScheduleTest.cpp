// When the units' bytes reach the program: pacing, turnaround and timing faults, on a clock the
// test sets.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/WireSchedule.h"

namespace {

using sim::WireSchedule;
using simtest::Hex;
using simtest::ToHex;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

const sim::WireClock::time_point kT0{std::chrono::seconds(1000)};
constexpr nanoseconds kByte = sim::kByteWireTime;

TEST(WireScheduleTest, UnpacedAnswerIsDueAtOnceAndWhole) {
  WireSchedule schedule;
  EXPECT_EQ(schedule.Arrival(kT0), kT0);
  schedule.Transmit({.bytes = Hex("01 02 03")}, kT0);
  EXPECT_EQ(schedule.NextDue(), kT0);
  EXPECT_EQ(ToHex(schedule.DueBytes(kT0)), ToHex(Hex("01 02 03")));
  schedule.Written(2, kT0);
  EXPECT_EQ(ToHex(schedule.DueBytes(kT0)), ToHex(Hex("03")));
}

TEST(WireScheduleTest, PacedBytesArriveOneWireTimeApartAfterTheTurnaround) {
  WireSchedule schedule;
  schedule.SetPacing({.enabled = true, .turnaroundUs = 1000});
  // Three bytes the program wrote in one burst arrive one after the other.
  EXPECT_EQ(schedule.Arrival(kT0), kT0 + kByte);
  EXPECT_EQ(schedule.Arrival(kT0), kT0 + 2 * kByte);
  const auto frameEnd = schedule.Arrival(kT0);
  EXPECT_EQ(frameEnd, kT0 + 3 * kByte);

  schedule.Transmit({.bytes = Hex("0A 0B")}, frameEnd);
  const auto first = frameEnd + microseconds(1000) + kByte;
  EXPECT_EQ(schedule.NextDue(), first);
  EXPECT_TRUE(schedule.DueBytes(first - nanoseconds(1)).empty());
  EXPECT_EQ(ToHex(schedule.DueBytes(first)), ToHex(Hex("0A")));
  EXPECT_EQ(ToHex(schedule.DueBytes(first + kByte)), ToHex(Hex("0A 0B")));

  // A second answer scheduled to start earlier waits for the transmitter.
  schedule.Written(2, first + kByte);
  schedule.Transmit({.bytes = Hex("0C")}, frameEnd);
  EXPECT_EQ(schedule.NextDue(), first + 2 * kByte);
}

TEST(WireScheduleTest, LateFirstByteAndGapsAddToTheWireTime) {
  WireSchedule unpaced;
  unpaced.Transmit({.bytes = Hex("01 02 03"), .firstByteDelayMs = 100, .gapMs = 10}, kT0);
  EXPECT_TRUE(unpaced.DueBytes(kT0 + milliseconds(99)).empty());
  // Bytes separated by gaps go out one by one, even when the writer is late for all of them.
  EXPECT_EQ(ToHex(unpaced.DueBytes(kT0 + milliseconds(150))), ToHex(Hex("01")));
  unpaced.Written(1, kT0 + milliseconds(150));
  EXPECT_EQ(unpaced.NextDue(), kT0 + milliseconds(160));
  EXPECT_TRUE(unpaced.DueBytes(kT0 + milliseconds(159)).empty());
  EXPECT_EQ(ToHex(unpaced.DueBytes(kT0 + milliseconds(160))), ToHex(Hex("02")));

  WireSchedule paced;
  paced.SetPacing({.enabled = true, .turnaroundUs = 0});
  paced.Transmit({.bytes = Hex("01 02"), .gapMs = 10}, kT0);
  paced.Written(1, kT0 + kByte);
  EXPECT_EQ(paced.NextDue(), kT0 + kByte + milliseconds(10) + kByte);
}

TEST(WireScheduleTest, ActionsFollowTheBytesTheyCameWith) {
  WireSchedule schedule;
  schedule.Transmit({.bytes = Hex("01"), .gapMs = 5, .hangUp = true}, kT0);
  // The bytes first; the hang-up only when they are out and its time has come.
  EXPECT_FALSE(schedule.TakeDueAction(kT0 + milliseconds(10)).has_value());
  schedule.Written(1, kT0);
  EXPECT_FALSE(schedule.TakeDueAction(kT0).has_value());
  EXPECT_EQ(schedule.TakeDueAction(kT0 + milliseconds(5)), WireSchedule::Action::kHangUp);
  EXPECT_TRUE(schedule.Empty());
}

TEST(WireScheduleTest, EchoComesAsTheByteArrivesAheadOfTheReply) {
  WireSchedule schedule;
  schedule.SetPacing({.enabled = true, .turnaroundUs = 1000});
  const auto arrival = schedule.Arrival(kT0);
  schedule.Echo(0x41, arrival);
  schedule.Transmit({.bytes = Hex("42")}, arrival);
  EXPECT_EQ(schedule.NextDue(), kT0 + kByte);
  EXPECT_EQ(ToHex(schedule.DueBytes(kT0 + milliseconds(5))), ToHex(Hex("41 42")));
}

}  // namespace
