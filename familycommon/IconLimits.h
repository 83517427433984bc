#pragma once

#include <optional>

#include "familycommon/GraphContexts.h"

namespace familycommon {

// Where a filter's marker may be dragged on a response graph.
struct IconLimits {
  float minDb;  // the levels a drag may reach
  float maxDb;
  bool frequencyFixed;  // a drag changes only the level
};

// The linear gain of a level in dB.
float GainOfDb(float dB);

// `value` brought within `limits` for a marker whose filter sits at `frequency`: the frequency
// within 20 Hz to 20 kHz (or kept, when fixed), the gain on `fixedGain` for a marker that stands on
// a line of fixed gain, else within the levels.
void KeepWithin(GraphValue& value, const IconLimits& limits, int frequency,
                std::optional<float> fixedGain);

// A kept point into a filter: whole Hz (truncated), and the level in dB where it has one.
void ApplyToFilter(GraphValue value, int& frequency, float* level);

}  // namespace familycommon
