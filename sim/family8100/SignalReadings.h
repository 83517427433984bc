#pragma once

#include <cstdint>
#include <vector>

#include "sim/SignalSwell.h"

namespace sim::family8100 {

// The unit's live read-outs: its four level meters and its two limiters' gain, each a swell that
// moves on at every read.
class SignalReadings {
 public:
  static constexpr int kMeters = 4;
  static constexpr int kLimiters = 2;
  // Meters and limiter thresholds share this linear full scale.
  static constexpr uint32_t kFullScale = 524287;
  // What the gain read-out shows while the limiter leaves the signal alone.
  static constexpr float kUnlimitedGain = 100.0f;

  // The next reading of meter 0 to 3: a linear peak, four bytes most significant first.
  std::vector<uint8_t> Meter(int meter);
  // The next gain read-out of limiter 0 (left) or 1 (right), a float's bits most significant first:
  // the percentage of the signal the limiter lets through, below 100 while the signal rises above
  // `threshold` (on the meters' scale) and limiting is on.
  std::vector<uint8_t> LimiterGain(int limiter, uint32_t threshold, bool limiting);

 private:
  SignalSwell meters_{kMeters};
  SignalSwell outputs_{kLimiters};
};

}  // namespace sim::family8100
