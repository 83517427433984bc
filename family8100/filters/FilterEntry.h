#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace namespace8100 {

// How the filter dialogs read what the user types and steps. Plain functions, shared by every
// dialog and tested with plain numbers.

inline constexpr int32_t kMinFrequencyHz = 20;
inline constexpr int32_t kMaxFrequencyHz = 20000;
inline constexpr float kMinPeakLevelDb = -70.0F;
inline constexpr float kMaxLevelDb = 12.0F;
inline constexpr float kMinShelfLevelDb = -12.0F;
inline constexpr float kMinQ = 0.1F;
inline constexpr float kMaxQ = 100.0F;
inline constexpr int kMinBandwidthPosition = 1;
inline constexpr int kMaxBandwidthPosition = 277;

// "2500" or "2.5k" clamped to 20..20000 Hz; none when the field holds no number.
std::optional<int32_t> ParseFrequency(const std::string& text);
// A level or a Q clamped to low..high; none when the field holds no number.
std::optional<float> ParseClamped(const std::string& text, float low, float high);

float BandwidthFromQ(float q);
float QFromBandwidth(float octaves);
// The bandwidth slider's position for a Q: position p stands for 4/p octaves.
int BandwidthPosition(float q);
float QAtPosition(int position);

// One press of the four-zone frequency button: zones 0 and 3 take coarse steps that grow with
// the frequency (inclusive going down, exclusive going up), zones 1 and 2 steps of 1 Hz; `count`
// steps at once; kept to 20..20000 Hz.
int32_t SteppedFrequency(int32_t frequency, int zone, int count);
// The level button: -1, -0.1, +0.1, +1 dB by zone, then kept to minimum..+12 dB.
float SteppedLevel(float level, int zone, float minimum);

}  // namespace namespace8100
