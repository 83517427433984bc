// DSP capacity and delay memory, on virtual units whose values live in the store.

#include <gtest/gtest.h>

#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

template <typename T>
T& Add(IQDeviceOrdavinex& unit, int channel) {
  auto* filter = static_cast<T*>(unit.AddFilter(std::make_unique<T>()));
  filter->channel = channel;
  return *filter;
}

void EnableLimiter(IQDeviceOrdavinex& unit, int channel) {
  gLimiterEnableObject.SetElement(channel);
  gLimiterEnableObject.Write(unit, true);
}

void SetDelay(IQDeviceOrdavinex& unit, int channel, int samples, int group = 0) {
  gChannelDelayObject.SetElement(channel);
  gChannelDelayObject.Write(unit, static_cast<uint32_t>(samples));
  gChannelGroupObject.SetElement(channel);
  gChannelGroupObject.Write(unit, static_cast<uint8_t>(group));
}

int TotalDelay(IQDeviceOrdavinex& unit, int proposed, int members) {
  int sum = 0;
  for (int c = 0; c < unit.channels; ++c) {
    gChannelDelayObject.SetElement(c);
    sum += static_cast<int>(gChannelDelayObject.Read(unit));
  }
  return sum + members * proposed;
}

TEST(DspCapacityTest, AnEmpty8148UsesOnlyItsBase) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  EXPECT_EQ(unit->RecountDspUse(), 188);
  EXPECT_EQ(unit->filtersPercent + unit->crossoversPercent + unit->limitersPercent +
                unit->pinkNoisePercent + unit->totalPercent,
            0);
  EXPECT_EQ(unit->freeSections, 158);
}

TEST(DspCapacityTest, SectionsOfFiltersAndCrossoversAreCounted) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  Add<TLowpassFilter>(*unit, 1).order = 4;
  EXPECT_EQ(unit->RecountDspUse(), 198);
  EXPECT_EQ(unit->filtersPercent, 1);
  EXPECT_EQ(unit->freeSections, 155);
  EXPECT_EQ(unit->sectionsPerChannel[1], 2);

  Add<TParametricFilter>(*unit, 1);
  auto crossover = std::make_unique<THighCrossover>();
  crossover->order = 8;
  unit->SetHighCrossover(0, std::move(crossover));
  EXPECT_EQ(unit->RecountDspUse(), 188 + 10 + 4 + 20);
  EXPECT_EQ(unit->crossoversPercent, 3);  // 20 / 632
  EXPECT_EQ(unit->sectionsPerChannel[1], 3);
}

TEST(DspCapacityTest, ARequestThatExactlyReachesTheCapacityFits) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  EnableLimiter(*unit, unit->firstOutput);
  // 188 + 167 leaves 465 units: 93 sections of 5.
  EXPECT_TRUE(unit->CanAddSections(kOtherSections, 93));
  EXPECT_FALSE(unit->CanAddSections(kOtherSections, 94));
  EXPECT_TRUE(unit->CanAddSections(kOtherSections, 92, kParametricSections, 1));
  EXPECT_FALSE(unit->CanAddSections(kOtherSections, 92, kParametricSections, 2));

  auto twoInput = ovtest::NewVirtual<IQDevice8126>(6);
  EXPECT_TRUE(twoInput->CanAddSections(kParametricSections, 100));  // 346 + 400 = 746
  EXPECT_FALSE(twoInput->CanAddSections(kParametricSections, 101));
}

TEST(DspCapacityTest, FilterRecordsLimitTheSections) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  for (int i = 0; i < 99; ++i) Add<TParametricFilter>(*unit, 0);
  EXPECT_TRUE(unit->CanAddSections(kParametricSections, 1));
  EXPECT_FALSE(unit->CanAddSections(kOtherSections, 2));
  EXPECT_FALSE(unit->CanAddSections(kLimiter, 1, kOtherSections, 2));
}

TEST(DspCapacityTest, OnlyTheFirstLimiterCosts) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  EnableLimiter(*unit, 0);  // an input's limiter is no output limiter
  EXPECT_EQ(unit->RecountDspUse(), 188);
  EnableLimiter(*unit, unit->firstOutput + 2);
  EXPECT_EQ(unit->RecountDspUse(), 355);
  EXPECT_EQ(unit->limitersPercent, 26);  // 167 / 632
  EnableLimiter(*unit, unit->firstOutput + 5);
  EXPECT_EQ(unit->RecountDspUse(), 355);
  EXPECT_TRUE(unit->CanAddSections(kLimiter, 1, kParametricSections, 116));  // 355 + 464 = 819
}

TEST(DspCapacityTest, PinkNoiseCostsOnlyOnTheTwoInputModels) {
  auto small = ovtest::NewVirtual<IQDevice8126>(4);
  auto large = ovtest::NewVirtual<IQDevice8148>(8);
  gPinkNoiseEnableObject.Write(*small, true);
  gPinkNoiseEnableObject.Write(*large, true);
  EXPECT_EQ(small->RecountDspUse(), 346 + 47);
  EXPECT_EQ(small->pinkNoisePercent, 11);  // 47 / 400
  EXPECT_EQ(large->RecountDspUse(), 188);
  EXPECT_EQ(large->pinkNoisePercent, 0);
}

TEST(DspCapacityTest, AMacroFitsInPlaceOfTheOutputFilters) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  for (int i = 0; i < 60; ++i) Add<TParametricFilter>(*unit, 3);  // outputs: replaced
  for (int i = 0; i < 30; ++i) Add<TParametricFilter>(*unit, 0);  // inputs: kept
  TLowCrossover low;
  low.order = 8;
  THighCrossover high;
  high.order = 8;
  CrossoverMacroContents macro;
  for (int o = 0; o < 6; ++o) {
    macro.lowCrossover[o] = &low;
    macro.highCrossover[o] = &high;
  }
  EXPECT_TRUE(unit->CanAddSections2(macro));  // 346 + 30 x 4 + 48 x 5 = 706
  EnableLimiter(*unit, unit->firstOutput);
  EXPECT_FALSE(unit->CanAddSections2(macro));  // + 136
  for (int o = 2; o < 6; ++o) {
    macro.lowCrossover[o] = nullptr;
    macro.highCrossover[o] = nullptr;
  }
  EXPECT_TRUE(unit->CanAddSections2(macro));
  EXPECT_EQ(unit->freeSections, 100 - 30 - 16);
  TParametricFilter outputFilter;
  outputFilter.channel = 4;
  macro.outputFilters.assign(55, &outputFilter);
  EXPECT_FALSE(unit->CanAddSections2(macro));
}

TEST(DelayCapacityTest, AGroupSharesTheExcessRoundedUp) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  SetDelay(*unit, 0, 0, 4);
  SetDelay(*unit, 1, 0, 4);
  SetDelay(*unit, 2, 0, 4);
  SetDelay(*unit, 3, 1);
  EXPECT_EQ(unit->FitChannelDelay(72000, 0), 71999);  // 1 + 3 x 72000 is 1 over
  EXPECT_LE(TotalDelay(*unit, unit->FitChannelDelay(72001, 0), 3), 216000);
  EXPECT_EQ(unit->FitChannelDelay(100, 0), 100);
  EXPECT_EQ(unit->FitChannelDelay(216000, 3), 215999);
}

TEST(DelayCapacityTest, TheTwoOutputModelClipsAt37000Samples) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(2);
  SetDelay(*unit, 1, 30000, 3);
  EXPECT_EQ(unit->FitChannelDelay(10000, 0), 7000);
  // Channels outside the model count as ungrouped.
  EXPECT_EQ(unit->FitChannelDelay(10000, 40), 7000);
  EXPECT_EQ(unit->FitChannelDelay(10000, -1), 7000);
  // A full memory takes nothing more but gives back.
  SetDelay(*unit, 1, 37000);
  EXPECT_EQ(unit->FitChannelDelay(5000, 0), 0);
  EXPECT_EQ(unit->FitChannelDelay(-20, 1), -20);
}

TEST(DelayCapacityTest, StepsDownPassWholeAndStepsUpNeverTakeDelaysAway) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  SetDelay(*unit, 0, 300, 8);
  SetDelay(*unit, 1, 100, 8);
  EXPECT_EQ(unit->FitChannelDelay(-48, 0), -48);
  // Each member stops at zero on its own, so the step is not cut to the members' share.
  EXPECT_EQ(unit->FitChannelDelay(-1000, 1), -1000);
  gCrosspointDelayObject.SetElement(0);
  gCrosspointDelayObject.Write(*unit, 1000);
  EXPECT_EQ(unit->FitCrosspointDelay(-500), -500);
  EXPECT_EQ(unit->FitCrosspointDelay(-5000), -5000);
  // Crosspoint delays beyond the memory (a unit may hold them) leave no room for channel delays.
  gCrosspointDelayObject.Write(*unit, 300000);
  EXPECT_EQ(unit->FitChannelDelay(48, 0), 0);
  EXPECT_EQ(unit->FitChannelDelay(-48, 0), -48);
}

TEST(DelayCapacityTest, CrosspointDelaysShareTheMemoryOnThe8148) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  gCrosspointDelayObject.SetElement(7 * 4 + 3);
  gCrosspointDelayObject.Write(*unit, 200000);
  SetDelay(*unit, 5, 10000);
  EXPECT_EQ(unit->FitChannelDelay(8000, 0), 6000);
  EXPECT_EQ(unit->FitCrosspointDelay(8000), 6000);
  EXPECT_EQ(ovtest::NewVirtual<IQDevice8126>(6)->FitCrosspointDelay(8000), 0);
}

}  // namespace
}  // namespace namespaceOV
