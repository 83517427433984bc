// The older family's simulated meters and limiter gain, read as the program reads them.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <set>

#include "sim/family8100/Family8100Unit.h"

namespace {

using sim::family8100::Family8100Unit;
using sim::family8100::Model;

constexpr int kFirstMeterId = 31;
constexpr int kLeftThresholdId = 48;
constexpr int kRightThresholdId = 49;
constexpr int kLeftGainId = 52;
constexpr int kRightGainId = 53;
constexpr int kLimiterModeId = 54;
constexpr uint32_t kFullScale = 524287;

uint32_t Word(const std::vector<uint8_t>& bytes) {
  EXPECT_EQ(bytes.size(), 4u);
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

uint32_t Get(Family8100Unit& unit, int objectId) {
  const sim::UnitReply reply =
      unit.Answer({.address = 1, .family = 624, .objectId = objectId, .opcode = sim::kOpcodeGet});
  EXPECT_EQ(reply.status, 1);
  return Word(reply.data);
}

float GainRead(Family8100Unit& unit, int objectId) {
  return std::bit_cast<float>(Get(unit, objectId));
}

// Meters move at every read and stay where the signal-flow page's -40..0 dB scale shows them;
// limiter gain dips only while limiting is on and the threshold is below the signal.
TEST(SignalReadingsTest, MetersAndLimiterGainMoveWithinTheirRanges) {
  Family8100Unit unit({.model = Model::kX});
  for (int meter = 0; meter < 4; ++meter) {
    std::set<uint32_t> readings;
    uint32_t previous = 0;
    for (int read = 0; read < 48; ++read) {
      const uint32_t reading = Get(unit, kFirstMeterId + meter);
      EXPECT_NE(reading, previous);
      const double dB = 20.0 * std::log10(reading / double{kFullScale});
      EXPECT_GE(dB, -36.01);
      EXPECT_LE(dB, -3.99);
      readings.insert(reading);
      previous = reading;
    }
    EXPECT_GT(readings.size(), 20u) << meter;
  }

  const auto gains = [&unit](int objectId) {
    std::set<float> seen;
    for (int read = 0; read < 48; ++read) seen.insert(GainRead(unit, objectId));
    return seen;
  };
  EXPECT_EQ(gains(kLeftGainId), std::set<float>{100.0f});
  unit.StoreElement(kLimiterModeId, 0, std::vector<uint8_t>{0, 0, 0, 0xFF});
  // The factory threshold, 16 dBu, catches the loudest of the signal.
  const std::set<float> limited = gains(kLeftGainId);
  EXPECT_EQ(*limited.rbegin(), 100.0f);
  EXPECT_GT(*limited.begin(), 70.0f);
  EXPECT_LT(*limited.begin(), 90.0f);
  unit.StoreElement(kRightThresholdId, 0, std::vector<uint8_t>{0, 0x07, 0xFF, 0xFF});
  EXPECT_EQ(gains(kRightGainId), std::set<float>{100.0f});
  unit.StoreElement(kLeftThresholdId, 0, std::vector<uint8_t>{0, 0, 0, 0});
  EXPECT_LT(*gains(kLeftGainId).rbegin(), 1.0f);
}

}  // namespace
