#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

#include "family8100/filters/FilterGain.h"

namespace namespace8100 {
namespace {

struct GoldenGain {
  int32_t typeCode;
  int32_t frequencyHz;
  float levelDb;
  float q;
  int32_t order;
  int32_t shelfOrder;
  int32_t alignment;
  float atHz;
  double gainDb;
};

#include "tests/family8100_response/golden/GainGolden.inc"

constexpr double kToleranceDb = 0.001;

// Every class against the textbook gains, each slope class in every order and alignment (odd
// Linkwitz-Riley orders included) and shelves of several orders.
TEST(FilterGain, EveryClassMatchesTextbookGains) {
  std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> covered;
  for (const GoldenGain& row : kGoldenGains) {
    const FilterShape shape{.typeCode = row.typeCode,
                            .frequencyHz = row.frequencyHz,
                            .levelDb = row.levelDb,
                            .q = row.q,
                            .order = row.order,
                            .shelfOrder = row.shelfOrder,
                            .alignment = row.alignment};
    EXPECT_NEAR(20.0 * std::log10(Magnitude(shape, row.atHz)), row.gainDb, kToleranceDb)
        << "type " << row.typeCode << " f0 " << row.frequencyHz << " level " << row.levelDb << " Q "
        << row.q << " order " << row.order << " shelf order " << row.shelfOrder << " alignment "
        << row.alignment << " at " << row.atHz << " Hz";
    covered.insert({row.typeCode, row.order, row.shelfOrder, row.alignment});
  }
  EXPECT_EQ(covered.size(), 2u + 2u * 8u + 2u * 3u + 2u * 4u * 8u);
}

TEST(FilterGain, HighpassIsFlatAboveTenTimesItsCornerAndNeverBelowTheFloor) {
  for (int32_t order = 1; order <= 8; ++order) {
    const FilterShape highpass{.typeCode = kHighpassFilter, .frequencyHz = 1000, .order = order};
    EXPECT_EQ(Magnitude(highpass, 10001.0f), 1.0f) << order;
    EXPECT_GE(Magnitude(highpass, 0.0f), 1e-30f) << order;
  }
  // At ten times the corner the gain is still computed (and below 1 in a float for order 1).
  EXPECT_LT(Magnitude({.typeCode = kHighpassFilter, .frequencyHz = 1000, .order = 1}, 10000.0f),
            1.0f);
  // (1/1000)^16 is far below the floor, (1/1000)^8 not.
  EXPECT_EQ(Magnitude({.typeCode = kHighpassFilter, .frequencyHz = 1000, .order = 8}, 1.0f),
            1e-30f);
  EXPECT_NEAR(Magnitude({.typeCode = kHighpassFilter, .frequencyHz = 1000, .order = 4}, 1.0f),
              1e-12f, 1e-17f);
  // A low-pass has neither shortcut.
  EXPECT_LT(Magnitude({.typeCode = kLowpassFilter, .frequencyHz = 100, .order = 1}, 20000.0f),
            0.01f);
}

TEST(FilterGain, HighCrossoverIsFlatAboveAHundredTimesItsCorner) {
  for (int32_t alignment = kAlignmentNone; alignment <= kAlignmentLinkwitzRiley; ++alignment) {
    const FilterShape high{
        .typeCode = kHighCrossoverFilter, .frequencyHz = 100, .order = 1, .alignment = alignment};
    EXPECT_EQ(Magnitude(high, 10001.0f), 1.0f) << alignment;
    if (alignment != kAlignmentNone) {
      EXPECT_LT(Magnitude(high, 10000.0f), 1.0f) << alignment;
    }
  }
}

TEST(FilterGain, NeutralSettingsGiveExactlyOne) {
  for (float f : {0.0f, 20.0f, 999.0f, 1000.0f, 20000.0f}) {
    EXPECT_EQ(
        Magnitude({.typeCode = kLowCrossoverFilter, .order = 4, .alignment = kAlignmentNone}, f),
        1.0f);
    EXPECT_EQ(Magnitude({.typeCode = kLowShelfFilter, .levelDb = 0.0f, .shelfOrder = 2}, f), 1.0f);
    EXPECT_EQ(Magnitude({.typeCode = kHighShelfFilter, .levelDb = 0.0f, .shelfOrder = 2}, f), 1.0f);
    EXPECT_EQ(Magnitude({.typeCode = kParametricFilter, .levelDb = 0.0f, .q = 3.0f}, f), 1.0f);
  }
}

// Whatever a unit or a file holds, every gain is a finite number and nothing reads past a table.
TEST(FilterGain, UntrustedFieldsGiveFiniteGains) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  for (int32_t type = 0; type <= 12; ++type) {
    for (int32_t order : {INT_MIN, 0, 9, INT_MAX}) {
      for (float level : {kNaN, -1e30f, 1e30f}) {
        const FilterShape shape{.typeCode = type,
                                .frequencyHz = INT_MIN,
                                .levelDb = level,
                                .q = 0.0f,
                                .order = order,
                                .shelfOrder = order,
                                .alignment = order};
        for (float f : {kNaN, -1.0f, 1000.0f, std::numeric_limits<float>::infinity()}) {
          ASSERT_TRUE(std::isfinite(Magnitude(shape, f)))
              << "type " << type << " order " << order << " level " << level << " at " << f;
        }
      }
    }
  }
}

}  // namespace
}  // namespace namespace8100
