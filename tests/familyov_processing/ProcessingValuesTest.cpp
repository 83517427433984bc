// The arithmetic of the compressor, limiter, mixer, DSP capacity and pink-noise windows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVCodecs.h"

namespace namespaceOV {
namespace {

using testing::ElementsAre;

TEST(ProcessingValuesTest, TypedNumbersAreFiniteAndClampedOrNothing) {
  EXPECT_EQ(ParseTypedDb("30", kCompThresholdRange), 20.0f);
  EXPECT_EQ(ParseTypedDb("-3.25", kCompPostGainRange), 0.0f);
  EXPECT_EQ(ParseTypedDb("1e30", kPinkNoiseLevelRange), 0.0f);
  EXPECT_EQ(ParseTypedDb("-1e30", kCrosspointGainRange), -100.0f);
  EXPECT_EQ(ParseTypedDb("-12.5 dB", kLimiterThresholdRange), -12.5f);
  for (const char* refused : {"nan", "inf", "-inf", "-", ".", "", "dB"}) {
    EXPECT_FALSE(ParseTypedDb(refused, kCrosspointGainRange)) << refused;
  }
  // Only the first 19 characters count.
  EXPECT_FALSE(ParseTypedDb(std::string(19, ' ') + "5", kCompPostGainRange));
}

TEST(ProcessingValuesTest, TableTextsNeverReadPastTheirTables) {
  EXPECT_EQ(CompSpeedLabel(8), "66msec");
  EXPECT_EQ(CompSpeedLabel(9), "?");
  EXPECT_EQ(CompSpeedLabel(255), "?");
  EXPECT_EQ(CompSpeedLabel(-1), "?");
  EXPECT_EQ(CompRatioLabel(7), "1:inf");
  EXPECT_EQ(CompRatioLabel(8), "?");
}

TEST(ProcessingValuesTest, GangedInputsFormRunsEndingAtTheirFirstClearFlag) {
  EXPECT_THAT(CompressorGangRuns({true, true, false, true, false, false}),
              ElementsAre(ElementsAre(0, 1, 2), ElementsAre(3, 4)));
  EXPECT_TRUE(CompressorGangRuns({false}).empty());
  // A flag on the last input has no next input to join: the run holds it alone.
  EXPECT_THAT(CompressorGangRuns({false, true}), ElementsAre(ElementsAre(1)));
}

TEST(ProcessingValuesTest, LayoutAndCapacityFigures) {
  EXPECT_EQ(CrosspointElement(6, 2, 4), 26);
  EXPECT_EQ(LimiterSecondRow(2), -1);
  EXPECT_EQ(LimiterSecondRow(3), 1);
  EXPECT_EQ(LimiterSecondRow(8), 4);
  EXPECT_EQ(DelayMemoryPercent(216000, 216000), 100);
  EXPECT_EQ(DelayMemoryPercent(21599, 216000), 9);
  EXPECT_EQ(DelayMemoryPercent(5, 0), 0);
  EXPECT_EQ(DspUsagePercent(286), 0);
  EXPECT_EQ(DspUsagePercent(791), 100);
  EXPECT_EQ(DspUsagePercent(285), 0);
  EXPECT_EQ(DspUsagePercent(280), -1);
  EXPECT_EQ(DelayZoneStep(0, kDelayFeet), -42);
  EXPECT_EQ(DelayZoneStep(2, kDelayMeters), 1);
  EXPECT_EQ(DelayZoneStep(3, kDelayMsec), 48);
}

}  // namespace
}  // namespace namespaceOV
