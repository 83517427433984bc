#pragma once

#include <cstdint>
#include <vector>

#include "sim/SignalSwell.h"

namespace sim::familyov {

// The unit's level meters: each channel's swell as the unit reports it.
class SignalMeters {
 public:
  static constexpr int kChannels = 20;
  // The unit reports levels this far above the program's 0 dB full scale.
  static constexpr double kFullScaleDb = 138.47;

  // The next reading of the channel's meter as the unit sends it: a linear gain as a float's bits.
  std::vector<uint8_t> Read(int channel);

 private:
  SignalSwell swell_{kChannels};
};

}  // namespace sim::familyov
