// The cumulative response of a busy channel held against a 60 Hz frame: the magnitude and phase of
// 20 mixed filters at 1,000 frequencies, as a graph redraw or a drag step needs them, may take a
// small share of the frame.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "familyov/filters/ResponseSums.h"

namespace {

using namespace namespaceOV;

constexpr double kFrameMs = 1000.0 / 60.0;
constexpr double kLimitRatio = 0.05;
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

}  // namespace

int main() {
  const std::vector<FilterShape> channel = BusyChannel();
  const std::vector<float> frequencies = LogSpacedFrequencies();
  std::vector<ResponsePoint> curve(frequencies.size());

  std::vector<double> runMs;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    ChannelCurve(channel, frequencies, curve);
    const auto end = std::chrono::steady_clock::now();
    runMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::nth_element(runMs.begin(), runMs.begin() + kRuns / 2, runMs.end());
  const double medianMs = runMs[kRuns / 2];

  const bool within =
      bench::Report({.measured = "familyov: response of " + std::to_string(channel.size()) +
                                 " filters at " + std::to_string(frequencies.size()) + " points",
                     .reference = "60 Hz frame",
                     .unit = "ms",
                     .referenceFigure = kFrameMs,
                     .measuredFigure = medianMs,
                     .limit = kLimitRatio});
  return within ? 0 : 1;
}
