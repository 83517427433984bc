#include "familycommon/IconLimits.h"

#include <algorithm>
#include <cmath>

namespace familycommon {

namespace {

constexpr float kMinDragHz = 20.0f;
constexpr float kMaxDragHz = 20000.0f;

}  // namespace

float GainOfDb(float dB) { return static_cast<float>(std::pow(10.0, 0.05 * dB)); }

void KeepWithin(GraphValue& value, const IconLimits& limits, int frequency,
                std::optional<float> fixedGain) {
  value.frequency = limits.frequencyFixed ? static_cast<float>(frequency)
                                          : std::clamp(value.frequency, kMinDragHz, kMaxDragHz);
  value.gain = fixedGain ? *fixedGain
                         : std::clamp(value.gain, GainOfDb(limits.minDb), GainOfDb(limits.maxDb));
}

void ApplyToFilter(GraphValue value, int& frequency, float* level) {
  frequency = static_cast<int>(value.frequency);
  if (level) *level = static_cast<float>(20.0 * std::log10(value.gain));
}

}  // namespace familycommon
