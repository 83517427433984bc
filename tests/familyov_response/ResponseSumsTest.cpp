#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "familyov/filters/ResponseSums.h"
#include "tests/familyov_response/GoldenTables.h"
#include "tests/familyov_response/ResponseTolerances.h"

namespace namespaceOV {
namespace {

FilterShape Crossover(FilterTypeCode side, int32_t type, int32_t order, int32_t f0 = 1000) {
  return {.typeCode = side, .frequencyHz = f0, .order = order, .crossoverType = type};
}

// Two outputs of one network: one with the low crossover, one with the high crossover.
std::complex<double> PairSum(int32_t type, int32_t order, float highPolarity, float f,
                             int32_t f0 = 1000) {
  const FilterShape low = Crossover(kFilterLowCrossover, type, order, f0);
  const FilterShape high = Crossover(kFilterHighCrossover, type, order, f0);
  const CrossoverOutput outputs[] = {{.low = &low}, {.high = &high, .polarity = highPolarity}};
  return NetworkSum(outputs, f);
}

std::vector<float> AudioBand() {
  std::vector<float> frequencies;
  for (float f = 20.0f; f < 20000.0f; f *= 1.07f) frequencies.push_back(f);
  return frequencies;
}

TEST(NetworkSum, LinkwitzRileyPairsSumFlat) {
  // Orders 4 and 8 sum flat in phase; order 2 needs the high side inverted, as in every textbook.
  for (auto [order, polarity] : {std::pair{4, 1.0f}, {8, 1.0f}, {2, -1.0f}}) {
    for (int32_t f0 : {80, 1000, 12000}) {
      for (float f : AudioBand()) {
        EXPECT_NEAR(ToDb(std::abs(PairSum(kCrossoverLinkwitzRiley, order, polarity, f, f0))), 0.0,
                    kMagnitudeToleranceDb)
            << "order " << order << " at " << f0 << " Hz, " << f << " Hz";
      }
    }
  }
}

// Odd-order Butterworth low and high halves sum flat with both outputs in phase; were the odd
// low-passes inverted, the two would cancel at the crossover frequency.
TEST(NetworkSum, OddButterworthPairsSumFlat) {
  for (int order : {1, 3}) {
    for (float f : AudioBand()) {
      EXPECT_NEAR(ToDb(std::abs(PairSum(kCrossoverButterworth, order, 1.0f, f))), 0.0,
                  kMagnitudeToleranceDb)
          << "order " << order << " at " << f << " Hz";
    }
  }
}

// Covers the Bessel pairs and every other type, order and polarity against the textbook sums.
TEST(NetworkSum, MatchesReferenceSumsOfEveryTypeOrderAndPolarity) {
  for (const GoldenNetworkSum& row : kGoldenNetworkSums) {
    const std::complex<double> sum =
        PairSum(row.crossoverType, row.order, row.highPolarity, row.atHz);
    EXPECT_NEAR(ToDb(std::abs(sum)), row.magnitudeDb, kMagnitudeToleranceDb)
        << "type " << row.crossoverType << " order " << row.order << " polarity "
        << row.highPolarity << " at " << row.atHz << " Hz";
    EXPECT_LT(PhaseDistance(std::arg(sum), row.phase), kPhaseToleranceRad);
  }
}

TEST(NetworkSum, OutputsWithoutCrossoversAddNothingAndEmptyOrCancellingSumsStayFinite) {
  const FilterShape low = Crossover(kFilterLowCrossover, kCrossoverBessel, 3);
  const CrossoverOutput outputs[] = {{}, {.low = &low, .polarity = std::nanf("")}, {}};
  EXPECT_NEAR(std::abs(NetworkSum(outputs, 700.0f) - Response(low, 700.0f)), 0.0, 1e-12);

  const CrossoverOutput cancelling[] = {{.low = &low}, {.low = &low, .polarity = -1.0f}};
  for (const std::span<const CrossoverOutput> network :
       {std::span<const CrossoverOutput>{}, std::span<const CrossoverOutput>(cancelling)}) {
    const double db = ToDb(std::abs(NetworkSum(network, 700.0f)));
    EXPECT_TRUE(std::isfinite(db));
    EXPECT_LT(db, -500.0);
  }
}

TEST(ChannelCurve, MultipliesGainsAndFoldsTheSummedPhase) {
  const std::vector<FilterShape> channel{
      {.typeCode = kFilterLowpass, .frequencyHz = 2000, .order = 8},
      {.typeCode = kFilterHighpass, .frequencyHz = 30, .order = 1},  // flat above 300 Hz
      {.typeCode = kFilterAllpass,
       .frequencyHz = 1000,
       .order = 2,
       .allpassCoefficient = ComputeAllpassCoefficients(1000).coefficient},
      {.typeCode = kFilterCDHorn, .frequencyHz = 3000, .order = 2},
      {.typeCode = kFilterParametric, .frequencyHz = 500, .levelDb = -9.0f, .q = 3.0f},
  };
  const std::vector<float> frequencies = AudioBand();
  std::vector<ResponsePoint> curve(frequencies.size());
  ChannelCurve(channel, frequencies, curve);
  for (std::size_t i = 0; i < frequencies.size(); ++i) {
    const float f = frequencies[i];
    float gain = 1.0f;
    float phase = 0.0f;
    for (const FilterShape& s : channel) {
      gain *= Magnitude(s, f);
      phase = AddWrappedPhase(phase, Phase(s, f));
    }
    EXPECT_FLOAT_EQ(curve[i].magnitude, gain) << f;
    EXPECT_LE(std::abs(curve[i].phase), std::numbers::pi_v<float>) << f;
    EXPECT_LT(PhaseDistance(curve[i].phase, phase), 1e-4) << f;
  }
}

TEST(ChannelCurve, StaysFiniteFarIntoStopAndRisingBandsAndWithoutFilters) {
  const float frequencies[] = {0.0f, 1.0e6f};
  ResponsePoint curve[2];

  const std::vector<FilterShape> steep(20,
                                       {.typeCode = kFilterLowpass, .frequencyHz = 1, .order = 8});
  ChannelCurve(steep, frequencies, curve);
  EXPECT_NEAR(curve[0].magnitude, 1.0f, 1e-5f);
  EXPECT_NEAR(curve[0].phase, 0.0f, 1e-3f);
  EXPECT_EQ(curve[1].magnitude, 0.0f);
  // 160 poles far above the corner: 160 quarter turns of lag, a whole number of turns.
  EXPECT_NEAR(std::cos(curve[1].phase), 1.0f, 1e-3f);

  const std::vector<FilterShape> rising(30,
                                        {.typeCode = kFilterCDHorn, .frequencyHz = 1, .order = 2});
  ChannelCurve(rising, frequencies, curve);
  EXPECT_EQ(curve[1].magnitude, FLT_MAX);
  // 60 zeros far below the frequency: 60 quarter turns of lead.
  EXPECT_NEAR(std::cos(curve[1].phase), 1.0f, 1e-3f);

  ChannelCurve({}, frequencies, curve);
  EXPECT_EQ(curve[1].magnitude, 1.0f);
  EXPECT_EQ(curve[1].phase, 0.0f);
}

TEST(AddWrappedPhase, FoldsByOneTurnOutsidePlusMinusPi) {
  EXPECT_FLOAT_EQ(AddWrappedPhase(1.0f, 1.5f), 2.5f);
  EXPECT_FLOAT_EQ(AddWrappedPhase(3.0f, 1.0f), 4.0f - 6.28318f);
  EXPECT_FLOAT_EQ(AddWrappedPhase(-3.0f, -1.0f), -4.0f + 6.28318f);
}

}  // namespace
}  // namespace namespaceOV
