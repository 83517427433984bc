#include "sim/familyov/SignalMeters.h"

#include <bit>
#include <cmath>

#include "sim/familyov/Access.h"

namespace sim::familyov {

std::vector<uint8_t> SignalMeters::Read(int channel) {
  const double dB = kFullScaleDb + swell_.NextDb(channel);
  const auto gain = static_cast<float>(std::pow(10.0, dB / 20.0));
  return WordBytes(std::bit_cast<uint32_t>(gain));
}

}  // namespace sim::familyov
