#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The arithmetic of the compressor, limiter, mixer, DSP capacity and pink-noise windows, apart
// from the windows: typed numbers, table texts, crosspoint elements, capacity shares and layout.
namespace namespaceOV {

// A range of dB the user may set.
struct DbRange {
  float low;
  float high;
  float Clamp(float dB) const;
};

inline constexpr DbRange kCompThresholdRange{-40.0f, 20.0f};
inline constexpr DbRange kCompPostGainRange{0.0f, 24.0f};
inline constexpr DbRange kLimiterThresholdRange{-40.0f, 22.0f};
inline constexpr DbRange kCrosspointGainRange{-100.0f, 0.0f};
inline constexpr DbRange kPinkNoiseLevelRange{-80.0f, 0.0f};

// How much of a typed text counts.
inline constexpr std::size_t kTypedCharacters = 19;

// The number a user typed, clamped to the range; none when the text does not start with a finite
// number ("nan", "inf", "-", ".") so that nothing is written. Only the first 19 characters count.
std::optional<float> ParseTypedDb(const std::string& text, DbRange range);
// The step of a spin button's zone (coarse down, fine down, fine up, coarse up): `fine` and
// `coarse` units; 0 for no zone.
float ZoneStep(int zone, float fine, float coarse);

// A compressor ratio's and speed's texts; "?" for an index the tables do not hold.
std::string CompRatioLabel(int index);
std::string CompSpeedLabel(int index);

// The runs of ganged inputs: gang[n] joins input n with input n + 1; a run ends at its first
// input whose flag is clear. Inputs outside every run are left out.
std::vector<std::vector<int>> CompressorGangRuns(const std::vector<bool>& gang);

// The element of the crosspoint from input `input` to output `output` in a table with
// `rowLength` inputs per output row.
int CrosspointElement(int output, int input, int rowLength);

// Where the limiter window's second row starts (the output index), or -1 for one row.
int LimiterSecondRow(int outputs);

// The share of the delay memory that the delays in use take, in percent
// (truncated); 0 for a unit without delay memory.
int DelayMemoryPercent(int64_t delaysInUse, int capacity);

// The unit's own usage counter runs from kDspUsageIdle (nothing running) to kDspUsageFull.
inline constexpr int kDspUsageIdle = 286;
inline constexpr int kDspUsageFull = 791;
// The counter as a percentage, truncated toward zero (a counter below idle gives a negative one).
int DspUsagePercent(int32_t counter);

// "%d%%"; "?" for a share the program could not work out.
std::string PercentText(std::optional<int> percent);
// "%d filters remain", with "?" for a number the program could not work out.
std::string FiltersRemainText(std::optional<int> filters);

// Samples a spin zone steps a delay by: one sample on the inner zones, one display unit on the
// outer ones.
int DelayZoneStep(int zone, int units);

}  // namespace namespaceOV
