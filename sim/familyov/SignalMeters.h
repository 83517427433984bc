#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim::familyov {

// The unit's level meters: a signal that rises and falls on each channel, so that a meter read
// again shows movement. It moves on by one step at each read, not with the clock, so that tests
// see the same readings every run.
class SignalMeters {
 public:
  static constexpr int kChannels = 20;
  // The unit reports levels this far above the program's 0 dB full scale.
  static constexpr double kFullScaleDb = 138.47;

  // The next reading of the channel's meter as the unit sends it: a linear gain as a float's bits.
  std::vector<uint8_t> Read(int channel);

 private:
  std::array<uint32_t, kChannels> reads_{};
};

}  // namespace sim::familyov
