#include <gtest/gtest.h>

#include "family8100/filters/FilterEntry.h"

using namespace namespace8100;

TEST(OlderFamilyFilterEntryTest, TypedValuesAreClampedAndFieldsWithoutANumberGiveNothing) {
  EXPECT_EQ(ParseFrequency("1.5k"), 1500);
  EXPECT_EQ(ParseFrequency("25k"), 20000);
  EXPECT_EQ(ParseFrequency("5"), 20);
  EXPECT_EQ(ParseFrequency("440.9"), 440);
  for (const char* unreadable : {"", ".", "-", "k", "abc"}) {
    EXPECT_FALSE(ParseFrequency(unreadable)) << unreadable;
    EXPECT_FALSE(ParseClamped(unreadable, kMinPeakLevelDb, kMaxLevelDb)) << unreadable;
  }
  EXPECT_EQ(ParseClamped("15", kMinPeakLevelDb, kMaxLevelDb), 12.0F);
  EXPECT_EQ(ParseClamped("-80", kMinShelfLevelDb, kMaxLevelDb), -12.0F);
  EXPECT_EQ(ParseClamped("0.05", kMinQ, kMaxQ), kMinQ);
}

TEST(OlderFamilyFilterEntryTest, StepButtonsTakeCoarseStepsByFrequencyAndClampLevelsPerType) {
  EXPECT_EQ(SteppedFrequency(1000, 0, 1), 990);
  EXPECT_EQ(SteppedFrequency(1000, 3, 1), 1100);
  EXPECT_EQ(SteppedFrequency(10000, 3, 1), 11000);
  EXPECT_EQ(SteppedFrequency(10000, 0, 1), 9900);
  EXPECT_EQ(SteppedFrequency(19500, 3, 1), 20000);
  EXPECT_EQ(SteppedFrequency(25, 1, 8), 20);
  EXPECT_FLOAT_EQ(SteppedLevel(-30.0F, 2, kMinShelfLevelDb), -12.0F);
  EXPECT_FLOAT_EQ(SteppedLevel(-30.0F, 2, kMinPeakLevelDb), -29.9F);
  EXPECT_FLOAT_EQ(SteppedLevel(11.5F, 3, kMinPeakLevelDb), 12.0F);
}

TEST(OlderFamilyFilterEntryTest, BandwidthSliderPositionsStandForFourOverPOctaves) {
  EXPECT_EQ(BandwidthPosition(1.41F), 4);
  EXPECT_NEAR(QAtPosition(12), 4.3F, 0.05F);
  EXPECT_NEAR(BandwidthFromQ(QFromBandwidth(1.0F / 3.0F)), 1.0F / 3.0F, 1e-4F);
  EXPECT_EQ(BandwidthPosition(kMinQ), kMinBandwidthPosition);
  EXPECT_EQ(BandwidthPosition(kMaxQ), kMaxBandwidthPosition);
}
