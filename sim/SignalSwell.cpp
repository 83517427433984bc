#include "sim/SignalSwell.h"

#include <cmath>
#include <numbers>

namespace sim {
namespace {

// A swell of about a second and a half at a few dozen reads a second.
constexpr double kStepsPerSwell = 48.0;
// Each channel starts this many steps further into the swell than the one before.
constexpr double kChannelOffsetSteps = 7.0;

}  // namespace

SignalSwell::SignalSwell(int channels) : reads_(static_cast<std::size_t>(channels)) {}

double SignalSwell::NextDb(int channel) {
  if (channel < 0 || static_cast<std::size_t>(channel) >= reads_.size()) channel = 0;
  const uint32_t step = reads_[static_cast<std::size_t>(channel)]++;
  const double phase =
      2.0 * std::numbers::pi * (step + kChannelOffsetSteps * channel) / kStepsPerSwell;
  const double middle = (kLowestDb + kHighestDb) / 2.0;
  const double swing = (kHighestDb - kLowestDb) / 2.0;
  return middle + swing * std::sin(phase);
}

}  // namespace sim
