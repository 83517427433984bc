// The family's parameter encodings, through a virtual unit's value store: what a write leaves as
// wire bytes and what a read makes of given bytes.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <tuple>

#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

struct CodecTest : testing::Test {
  std::unique_ptr<ovtest::Recording<IQDevice8126>> unit = ovtest::NewVirtual<IQDevice8126>(6);

  float StoredGain(FloatUCodeObject& object, int element) {
    object.SetElement(element);
    return object.Read(*unit);
  }
  void StoreGain(FloatUCodeObject& object, int element, float gain) {
    object.SetElement(element);
    object.Write(*unit, gain);
  }
};

TEST_F(CodecTest, LevelsTravelAsLinearGainsWithAFloor) {
  gChannelLevelObject.SetElement(1);
  gChannelLevelObject.Write(*unit, -100.0f);
  EXPECT_EQ(StoredGain(gChannelLevelObject, 1), 0.0f);
  gChannelLevelObject.Write(*unit, -99.9f);
  EXPECT_NEAR(StoredGain(gChannelLevelObject, 1), 1.0116e-5f, 1e-9f);
  gChannelLevelObject.Write(*unit, 6.0f);
  EXPECT_NEAR(gChannelLevelObject.Read(*unit), 6.0f, 1e-5f);

  for (float gain : {1.0e-5f, -0.5f, std::nanf(""), 0.0f}) {
    StoreGain(gChannelLevelObject, 1, gain);
    EXPECT_EQ(gChannelLevelObject.Read(*unit), -100.0f) << gain;
  }
}

TEST_F(CodecTest, LimiterThresholdsAreOffsetBy22Db) {
  gLimiterThresholdObject.SetElement(3);
  gLimiterThresholdObject.Write(*unit, -90.0f);
  EXPECT_NEAR(StoredGain(gLimiterThresholdObject, 3), std::pow(10.0f, -5.6f), 1e-10f);
  EXPECT_EQ(gLimiterThresholdObject.Read(*unit), -100.0f);
  gLimiterThresholdObject.Write(*unit, 0.0f);
  EXPECT_NEAR(StoredGain(gLimiterThresholdObject, 3), std::pow(10.0f, -1.1f), 1e-7f);
  EXPECT_NEAR(gLimiterThresholdObject.Read(*unit), 0.0f, 1e-5f);
}

TEST_F(CodecTest, CompressorRatiosAreCodesAndUnknownCodesReadAsOneToOne) {
  gCompRatioObject.SetElement(0);
  gCompRatioObject.WriteCompRatio(*unit, 7);
  EXPECT_EQ(unit->TakeTrace(), std::vector<std::string>{"W47.0 7F"});
  EXPECT_EQ(gCompRatioObject.ReadCompRatio(*unit), 7);
  gCompRatioObject.Write(*unit, 45);
  EXPECT_EQ(gCompRatioObject.ReadCompRatio(*unit), 0);
  EXPECT_EQ(CompRatioCodeToText(45), "1:1");
  EXPECT_EQ(CompRatioCodeToText(127), "1:inf");
  EXPECT_EQ(CompRatioToText(1), "2:3");
}

TEST_F(CodecTest, TableIndexesOutsideTheTablesAreRefused) {
  // The family's handlers catch IQException alone.
  EXPECT_THROW(gCompRatioObject.WriteCompRatio(*unit, 8), IQException);
  EXPECT_THROW(gCompRatioObject.WriteCompRatio(*unit, -1), IQException);
  EXPECT_EQ(CompRatioToText(8), "");
  EXPECT_EQ(CompRatioToText(-1), "");
  EXPECT_EQ(CompSpeedToText(6), "1msec");
  EXPECT_EQ(CompSpeedToText(7), "33msec");
  EXPECT_EQ(CompSpeedToText(9), "");
  EXPECT_EQ(CompSpeedToText(-1), "");
}

TEST(DelayTextTest, SamplesAndTextsInEachUnit) {
  EXPECT_EQ(DelayUnitsObject::TextToDelay("1.0", kDelayMsec), 48);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("2.5", kDelayFeet), 105);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("0.5", kDelayMeters), 70);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("0.03125", kDelayMsec), 2);  // 1.5 samples: up
  for (auto [samples, units] : {std::pair{48, 0}, {42, 1}, {140, 2}}) {
    std::string text;
    DelayUnitsObject::DelayToText(samples, text, units);
    EXPECT_EQ(text, "1.000");
  }
  // The texts come from the rounded factors, so a delay on an exact half of the last digit rounds
  // down where the quotient would round up.
  for (auto [samples, units, shown] :
       {std::tuple{9, 0, "0.187"}, {21, 1, "0.500"}, {-9, 0, "-0.187"}}) {
    std::string text;
    DelayUnitsObject::DelayToText(samples, text, units);
    EXPECT_EQ(text, shown) << samples;
  }
  std::string untouched = "kept";
  DelayUnitsObject::DelayToText(48, untouched, 3);
  EXPECT_EQ(untouched, "kept");
}

TEST(DelayTextTest, TextsThatAreNoDelayGiveNone) {
  EXPECT_EQ(DelayUnitsObject::TextToDelay("abc", kDelayMsec), std::nullopt);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("1.0", 3), std::nullopt);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("nan", kDelayMsec), std::nullopt);
  EXPECT_EQ(DelayUnitsObject::TextToDelay("1e30", kDelayMsec), std::nullopt);
}

TEST_F(CodecTest, ClockRecordsAreFourLowBytes) {
  gDateObject.WriteDate(*unit, DateRecord{31, 12, 9, 20});
  gTimeObject.WriteTime(*unit, TimeRecord{3, 23, 59, 58});
  EXPECT_EQ(unit->TakeTrace(), (std::vector<std::string>{"W42 1F0C0914", "W3C 03173B3A"}));
  DateRecord date;
  gDateObject.ReadDate(*unit, date);
  unit->trace.clear();
  EXPECT_EQ(date.day, 31);
  EXPECT_EQ(date.century, 20);

  gTimerEventObject.SetElement(5);
  gTimerEventObject.WriteTimerEvent(*unit, TTimerStruct{2, 7, 30, 45, 9, 5});
  EXPECT_EQ(unit->TakeTrace(), std::vector<std::string>{"W3D.5 02071E09"});
  TTimerStruct event{0, 0, 0, 17, 0, 44};
  gTimerEventObject.ReadTimerEvent(*unit, event);
  EXPECT_EQ(event.day, 2);
  EXPECT_EQ(event.logic, 9);
  EXPECT_EQ(event.second, 0);
  EXPECT_EQ(event.slot, 44);
}

TEST_F(CodecTest, SettingsChangedFollowsSettingsWritesAndMemories) {
  unit->settingsChanged = false;
  gUnitNameObject.Write(*unit, "Hall");
  EXPECT_FALSE(unit->settingsChanged);
  gChannelLevelObject.Write(*unit, -3.0f);
  EXPECT_TRUE(unit->settingsChanged);
  gSaveMemoryObject.Write(*unit, 1);
  EXPECT_FALSE(unit->settingsChanged);
  gNewFilterObject.Read(*unit);
  EXPECT_TRUE(unit->settingsChanged);
  gRecallMemoryObject.Read(*unit);
  EXPECT_FALSE(unit->settingsChanged);
}

}  // namespace
}  // namespace namespaceOV
