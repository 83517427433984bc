// The cumulative response of a busy channel: the magnitude and phase of 20 mixed filters at 1,000
// frequencies, as a graph redraw or a drag step needs them, held against bare std::complex
// arithmetic evaluating as many second-order sections at the same frequencies in the same run,
// with its share of a 60 Hz frame printed beside it.

#include <algorithm>
#include <cmath>
#include <complex>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/Repeated.h"
#include "familyov/filters/ResponseSums.h"

namespace {

using namespace namespaceOV;

constexpr double kLimitRatio = 3;
constexpr int kFrequencyCount = 1000;
constexpr float kLowestHz = 20.0f;
constexpr float kHighestHz = 24000.0f;
constexpr int kRuns = 301;

std::vector<FilterShape> BusyChannel() {
  std::vector<FilterShape> channel;
  for (int i = 0; i < 8; ++i) {
    channel.push_back({.typeCode = kFilterParametric,
                       .frequencyHz = 60 + 700 * i,
                       .levelDb = (i % 2 == 0 ? 4.5f : -9.0f),
                       .q = 0.7f + i});
  }
  channel.push_back({.typeCode = kFilterBoostCut, .frequencyHz = 250, .levelDb = 6.0f, .q = 4.3f});
  channel.push_back(
      {.typeCode = kFilterBoostCut, .frequencyHz = 4000, .levelDb = -3.0f, .q = 1.4f});
  channel.push_back({.typeCode = kFilterLowpass, .frequencyHz = 16000, .order = 8});
  channel.push_back({.typeCode = kFilterHighpass, .frequencyHz = 40, .order = 4});
  channel.push_back({.typeCode = kFilterLowShelf, .frequencyHz = 120, .levelDb = 3.0f});
  channel.push_back({.typeCode = kFilterHighShelf, .frequencyHz = 8000, .levelDb = -4.0f});
  channel.push_back({.typeCode = kFilterCDHorn, .frequencyHz = 5000, .order = 2});
  channel.push_back({.typeCode = kFilterAllpass,
                     .frequencyHz = 1500,
                     .order = 2,
                     .allpassCoefficient = ComputeAllpassCoefficients(1500).coefficient});
  channel.push_back({.typeCode = kFilterLowCrossover,
                     .frequencyHz = 2000,
                     .order = 8,
                     .crossoverType = kCrossoverBessel});
  channel.push_back({.typeCode = kFilterHighCrossover,
                     .frequencyHz = 90,
                     .order = 8,
                     .crossoverType = kCrossoverLinkwitzRiley});
  channel.push_back({.typeCode = kFilterLowCrossover,
                     .frequencyHz = 2000,
                     .order = 3,
                     .crossoverType = kCrossoverButterworth});
  channel.push_back({.typeCode = kFilterHighCrossover,
                     .frequencyHz = 90,
                     .order = 5,
                     .crossoverType = kCrossoverBessel});
  return channel;
}

std::vector<float> LogSpacedFrequencies() {
  std::vector<float> frequencies(kFrequencyCount);
  const double ratio = std::pow(kHighestHz / kLowestHz, 1.0 / kFrequencyCount);
  for (int i = 0; i < kFrequencyCount; ++i) {
    frequencies[i] = static_cast<float>(kLowestHz * std::pow(ratio, i));
  }
  return frequencies;
}

// Each filter as second-order sections: one for a first- or second-order filter, one per two
// orders above that.
int SectionsOf(const std::vector<FilterShape>& filters) {
  int sections = 0;
  for (const FilterShape& filter : filters) sections += std::max(1, (filter.order + 1) / 2);
  return sections;
}

// The least a cumulative response costs: `sections` generic second-order sections evaluated in
// std::complex at every frequency and multiplied, with the magnitude and phase of the product.
void BareSections(int sections, std::span<const float> frequencies, std::span<ResponsePoint> out) {
  for (std::size_t i = 0; i < frequencies.size(); ++i) {
    const double f = frequencies[i];
    std::complex<double> product{1.0, 0.0};
    for (int s = 0; s < sections; ++s) {
      const double f0 = 50.0 * (s + 1);
      const double real = f0 * f0 - f * f;
      product *=
          std::complex<double>(real, 0.5 * f * f0) / std::complex<double>(real, 2.0 * f * f0);
    }
    out[i] = {static_cast<float>(std::abs(product)), static_cast<float>(std::arg(product))};
  }
}

}  // namespace

int main() {
  const std::vector<FilterShape> channel = BusyChannel();
  const std::vector<float> frequencies = LogSpacedFrequencies();
  std::vector<ResponsePoint> curve(frequencies.size());

  std::vector<ResponsePoint> bare(frequencies.size());
  const int sections = SectionsOf(channel);
  const bool within = bench::Report(bench::TimedInTurns(
      {.measured = "familyov: response of " + std::to_string(channel.size()) + " filters at " +
                   std::to_string(frequencies.size()) + " points",
       .reference = "bare std::complex, " + std::to_string(sections) + " second-order sections",
       .unit = "ms",
       .limit = kLimitRatio},
      kRuns, [&] { ChannelCurve(channel, frequencies, curve); },
      [&] { BareSections(sections, frequencies, bare); }, bench::FrameShare::kPrinted));
  return within ? 0 : 1;
}
