// Level and delay texts, the trackbar's positions and what the user may type.

#include <gtest/gtest.h>

#include "familyov/channels/ChannelTexts.h"

namespace namespaceOV {
namespace {

TEST(LevelTextTest, LevelsSnapToTheStepWithTiesAwayFromZero) {
  EXPECT_EQ(LevelText(SnapLevel(1.25f, 0.5f)), "1.5");
  EXPECT_EQ(LevelText(SnapLevel(-1.25f, 0.5f)), "-1.5");
  EXPECT_EQ(LevelText(SnapLevel(1.2f, 0.5f)), "1.0");
  EXPECT_EQ(LevelText(SnapLevel(2.9999998f, 0.5f)), "3.0");  // a gain read back from the unit
}

TEST(LevelTextTest, TrackbarPositionsRunDownFromTheMaximum) {
  EXPECT_EQ(kInputLevelRange.Positions(), 48);
  EXPECT_EQ(kOutputLevelRange.Positions(), 208);
  EXPECT_EQ(kInputLevelRange.PositionOf(1.5f), 45);
  EXPECT_EQ(kOutputLevelRange.PositionOf(-80.0f), 208);
  EXPECT_EQ(kOutputLevelRange.PositionOf(24.0f), 0);
  EXPECT_EQ(kOutputLevelRange.PositionOf(0.0f), 48);  // the tick
  EXPECT_FLOAT_EQ(kOutputLevelRange.LevelAt(48), 0.0f);
  EXPECT_FLOAT_EQ(kOutputLevelRange.LevelAt(500), -80.0f);
}

TEST(LevelTextTest, TypedLevelsAreFiniteAndInRange) {
  EXPECT_EQ(ParseLevel("30", kInputLevelRange), 24.0f);
  EXPECT_EQ(ParseLevel("-5", kInputLevelRange), 0.0f);
  EXPECT_EQ(ParseLevel("-90", kOutputLevelRange), -80.0f);
  EXPECT_EQ(ParseLevel("1e30", kOutputLevelRange), 24.0f);
  EXPECT_EQ(ParseLevel("-3.5 dB", kOutputLevelRange), -3.5f);
  for (const char* refused : {"nan", "inf", "-inf", "", "dB"}) {
    EXPECT_EQ(ParseLevel(refused, kOutputLevelRange), std::nullopt) << refused;
  }
}

TEST(DelayTextTest, DelaysShowInTheDisplayUnit) {
  EXPECT_EQ(DelayText(96, kDelayMsec), "2.000 ms");
  EXPECT_EQ(DelayText(1, kDelayMsec), "0.021 ms");
  EXPECT_EQ(DelayText(420, kDelayFeet), "10.000 ft");
  EXPECT_EQ(DelayText(420, kDelayMeters), "3.000 m");
  EXPECT_EQ(DelayText(420, 3), "");
}

TEST(DelayTextTest, ATypedUnitOverridesTheDisplayUnit) {
  constexpr int kCapacity = 216000;
  EXPECT_EQ(ParseDelay("12 ms", kDelayFeet, kCapacity), 576);
  EXPECT_EQ(ParseDelay("12", kDelayMsec, kCapacity), 576);
  EXPECT_EQ(ParseDelay("3 m", kDelayMsec, kCapacity), 420);
  EXPECT_EQ(ParseDelay("10 ft", kDelayMsec, kCapacity), 420);
  EXPECT_EQ(ParseDelay("1.5 meters", kDelayMsec, kCapacity), 210);
  EXPECT_EQ(ParseDelay("5", kDelayFeet, kCapacity), 210);
  EXPECT_EQ(ParseDelay("5s", kDelayFeet, kCapacity), 210);
  EXPECT_EQ(ParseDelay("0.03125", kDelayMsec, kCapacity), 2);  // 1.5 samples: a tie goes up
}

TEST(DelayTextTest, TypedDelaysAreClampedToTheMemoryOrRefused) {
  EXPECT_EQ(ParseDelay("999999999", kDelayMsec, 216000), 216000);
  EXPECT_EQ(ParseDelay("1e30", kDelayMeters, 37000), 37000);
  EXPECT_EQ(ParseDelay("5", kDelayMsec, 0), 0);
  for (const char* refused : {"", "ms", "nan", "inf", "1e999"}) {
    EXPECT_EQ(ParseDelay(refused, kDelayMsec, 216000), std::nullopt) << refused;
  }
}

}  // namespace
}  // namespace namespaceOV
