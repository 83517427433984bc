#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "familycommon/FilterConversions.h"
#include "tests/familyov_response/GoldenTables.h"

namespace familycommon {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(RoundToInt, GoesToTheNearestIntegerWithTiesUpwards) {
  EXPECT_EQ(RoundToInt(86.99999), 87);
  EXPECT_EQ(RoundToInt(10.0 * 8.7f), 87);  // the Q the settings image carries
  EXPECT_EQ(RoundToInt(2.5), 3);
  EXPECT_EQ(RoundToInt(-2.5), -2);
  EXPECT_EQ(RoundToInt(-2.6), -3);
  EXPECT_EQ(RoundToInt(0.49), 0);
}

TEST(RoundToInt, ClampsWhatNoIntCanHold) {
  EXPECT_EQ(RoundToInt(1e300), INT_MAX);
  EXPECT_EQ(RoundToInt(-kInf), INT_MIN);
  EXPECT_EQ(RoundToInt(kNaN), 0);
}

TEST(QAndBandwidth, MatchReferenceBothWays) {
  for (const GoldenQBandwidth& row : kGoldenQBandwidths) {
    EXPECT_NEAR(QToBandwidth(row.q), row.octaves, 1e-5 * row.octaves) << "Q " << row.q;
    EXPECT_NEAR(BandwidthToQ(static_cast<float>(row.octaves)), row.q, 1e-5 * row.q)
        << row.octaves << " octaves";
  }
  EXPECT_NEAR(QToBandwidth(1.414f), 1.0f, 1e-3f);  // 1.414 is a rounded square root of 2
  EXPECT_NEAR(BandwidthToQ(1.0f), 1.41421f, 1e-5f);
  EXPECT_NEAR(BandwidthToQ(2.0f), 0.6667f, 1e-4f);
}

TEST(QAndBandwidth, HostileValuesGiveFiniteResults) {
  for (float x : {-1.0f, 0.0f, kNaN, kInf, -kInf, 1e30f}) {
    const float bandwidth = QToBandwidth(x);
    const float q = BandwidthToQ(x);
    EXPECT_TRUE(std::isfinite(bandwidth) && bandwidth > 0.0f) << x;
    EXPECT_TRUE(std::isfinite(q) && q > 0.0f) << x;
  }
  EXPECT_EQ(QToBandwidth(0.0f), QToBandwidth(kMinQ));
  EXPECT_EQ(BandwidthToQ(-3.0f), BandwidthToQ(kMinBandwidthOctaves));
}

TEST(Levels, ConvertBothWays) {
  EXPECT_NEAR(DbToLinear(6.0206), 2.0f, 1e-5f);
  EXPECT_NEAR(DbToLinear(-20.0), 0.1f, 1e-7f);
  EXPECT_EQ(DbToLinear(0.0), 1.0f);
  EXPECT_NEAR(LinearToDb(2.0), 6.0206f, 1e-4f);
  EXPECT_NEAR(LinearToDb(DbToLinear(-69.9)), -69.9f, 1e-4f);
}

TEST(Levels, StayFiniteAndRespectTheFloor) {
  EXPECT_EQ(LinearToDb(0.0), kLevelFloorDb);
  EXPECT_EQ(LinearToDb(-1.0), kLevelFloorDb);
  EXPECT_EQ(LinearToDb(kNaN), kLevelFloorDb);
  EXPECT_EQ(LinearToDb(1e-9), kLevelFloorDb);
  EXPECT_TRUE(std::isfinite(LinearToDb(kInf)));
  EXPECT_EQ(DbToLinear(kNaN), DbToLinear(kLevelFloorDb));
  EXPECT_EQ(DbToLinear(1e9), DbToLinear(kLevelCeilingDb));
  EXPECT_TRUE(std::isfinite(DbToLinear(kLevelCeilingDb)));
}

}  // namespace
}  // namespace familycommon
