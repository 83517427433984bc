// The unit's clock runs on between reads, and a unit leaves the factory with its inputs routed.

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cstring>

#include "FamilyOvTestSupport.h"
#include "sim/familyov/ObjectTable.h"
#include "sim/familyov/UnitClock.h"

namespace {

using namespace std::chrono_literals;
using sim::familyov::Model;
using sim::familyov::UnitClock;
using Record = UnitClock::Record;

TEST(UnitClockTest, TimeRunsOnAndEachMidnightTurnsTheWeekdayAndTheDate) {
  const UnitClock::Clock::time_point start{};
  UnitClock clock(start);
  EXPECT_EQ(clock.Time(start), (Record{1, 12, 0, 0}));  // Sunday noon
  EXPECT_EQ(clock.Date(start), (Record{1, 1, 26, 20}));
  EXPECT_EQ(clock.Time(start + 61s), (Record{1, 12, 1, 1}));
  EXPECT_EQ(clock.Time(start + 12h), (Record{2, 0, 0, 0}));
  EXPECT_EQ(clock.Date(start + 12h), (Record{2, 1, 26, 20}));
  // Saturday night runs into Sunday.
  EXPECT_EQ(clock.Time(start + 6 * 24h + 12h), (Record{1, 0, 0, 0}));

  // "Set to PC" on a Saturday, 23:59:30 on 31 December 2026: half a minute on it is new year.
  clock.SetTime({7, 23, 59, 30}, start);
  clock.SetDate({31, 12, 26, 20}, start);
  EXPECT_EQ(clock.Time(start + 30s), (Record{1, 0, 0, 0}));
  EXPECT_EQ(clock.Date(start + 30s), (Record{1, 1, 27, 20}));
  // Setting the time keeps the date it has reached, and the other way round.
  clock.SetTime({3, 8, 0, 0}, start + 30s);
  EXPECT_EQ(clock.Date(start + 31s), (Record{1, 1, 27, 20}));
  clock.SetDate({28, 2, 27, 20}, start + 1min);
  EXPECT_EQ(clock.Time(start + 1min), (Record{3, 8, 0, 30}));
  EXPECT_EQ(clock.Date(start + 1min + 16h), (Record{1, 3, 27, 20}));
}

class FactoryRoutingTest : public familyovtest::FamilyOvBusTest {
 protected:
  // Whether the factory left the crosspoint open (0 dB) rather than closed (-100 dB).
  bool Open(int unitIndex, int element) {
    bool open = false;
    WithFamilyUnit(unitIndex, [&](sim::familyov::FamilyOvUnit& unit) {
      const std::vector<uint8_t> bytes =
          unit.Element(sim::familyov::object::kCrosspointLevel, element);
      const uint32_t word = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) |
                            (uint32_t{bytes[2]} << 8) | bytes[3];
      open = std::bit_cast<float>(word) > 0.5f;
    });
    return open;
  }
};

TEST_F(FactoryRoutingTest, EachModelLeavesTheFactoryWithItsOutputsFedFromItsInputs) {
  const int fourByEight = AddModel({.model = Model::k8148, .address = 1});
  const int threeBySeven = AddModel({.model = Model::k8137, .address = 2});
  const int twoBySix = AddModel({.model = Model::k8126, .address = 3});
  // Element output x matrix inputs + input.
  EXPECT_TRUE(Open(fourByEight, 0 * 4 + 0));
  EXPECT_TRUE(Open(fourByEight, 7 * 4 + 3));
  EXPECT_FALSE(Open(fourByEight, 7 * 4 + 2));
  for (int input = 0; input < 3; ++input) EXPECT_TRUE(Open(threeBySeven, 6 * 4 + input));
  EXPECT_FALSE(Open(threeBySeven, 5 * 4 + 0));
  EXPECT_TRUE(Open(twoBySix, 2 * 2 + 0));
  EXPECT_TRUE(Open(twoBySix, 3 * 2 + 1));
  EXPECT_FALSE(Open(twoBySix, 3 * 2 + 0));
}

}  // namespace
