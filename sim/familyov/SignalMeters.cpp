#include "sim/familyov/SignalMeters.h"

#include <bit>
#include <cmath>
#include <numbers>

#include "sim/familyov/Access.h"

namespace sim::familyov {
namespace {

// A swell of about a second and a half at a few dozen reads a second, between -36 and -4 dB.
constexpr double kStepsPerSwell = 48.0;
constexpr double kMiddleDb = -20.0;
constexpr double kSwingDb = 16.0;

}  // namespace

std::vector<uint8_t> SignalMeters::Read(int channel) {
  if (channel < 0 || channel >= kChannels) channel = 0;
  const uint32_t step = reads_[static_cast<std::size_t>(channel)]++;
  // Each channel starts at its own place in the swell.
  const double phase = 2.0 * std::numbers::pi * (step + 7.0 * channel) / kStepsPerSwell;
  const double dB = kFullScaleDb + kMiddleDb + kSwingDb * std::sin(phase);
  const auto gain = static_cast<float>(std::pow(10.0, dB / 20.0));
  return WordBytes(std::bit_cast<uint32_t>(gain));
}

}  // namespace sim::familyov
