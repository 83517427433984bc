#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// A signal that rises and falls on each of a unit's channels, so that a meter read again shows
// movement. It moves on by one step at each read, not with the clock, so that tests see the same
// readings every run. Each family's unit model turns the level into its own reading.
class SignalSwell {
 public:
  static constexpr double kLowestDb = -36.0;
  static constexpr double kHighestDb = -4.0;

  explicit SignalSwell(int channels);

  // The channel's next level in dB against full scale; a channel the unit lacks reads as the first.
  double NextDb(int channel);

 private:
  std::vector<uint32_t> reads_;
};

}  // namespace sim
