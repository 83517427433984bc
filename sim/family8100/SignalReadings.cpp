#include "sim/family8100/SignalReadings.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace sim::family8100 {
namespace {

std::vector<uint8_t> WordBytes(uint32_t word) {
  return {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
          static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)};
}

double Ratio(double dB) { return std::pow(10.0, dB / 20.0); }

}  // namespace

std::vector<uint8_t> SignalReadings::Meter(int meter) {
  const double peak = std::round(kFullScale * Ratio(meters_.NextDb(meter)));
  return WordBytes(static_cast<uint32_t>(peak));
}

std::vector<uint8_t> SignalReadings::LimiterGain(int limiter, uint32_t threshold, bool limiting) {
  const double levelDb = outputs_.NextDb(limiter);
  float gain = kUnlimitedGain;
  if (limiting) {
    // A zero threshold counts as the lowest step: the limiter then holds the signal right down.
    const double thresholdDb =
        20.0 * std::log10(std::max<uint32_t>(threshold, 1) / static_cast<double>(kFullScale));
    const double overDb = std::max(levelDb - thresholdDb, 0.0);
    gain = static_cast<float>(kUnlimitedGain * Ratio(-overDb));
  }
  return WordBytes(std::bit_cast<uint32_t>(gain));
}

}  // namespace sim::family8100
