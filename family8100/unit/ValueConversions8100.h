#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The numbers the family's value dialogs show and type, as plain functions.
namespace namespace8100 {

// A typed number, or none for an empty or non-numeric text (which then writes nothing).
std::optional<float> ParseTyped(const std::string& text);

// Delays are whole samples at 48 kHz, shown in milliseconds, feet or meters.
enum class DelayUnits { Milliseconds = 0, Feet = 1, Meters = 2 };
inline constexpr int kMaxDelaySamples = 16383;
float SamplesPerUnit(DelayUnits units);
std::string DelayText(uint32_t samples, DelayUnits units);
// A typed delay in samples: clamped, then rounded to the nearer sample, a tie to the lower one.
uint32_t TypedDelaySamples(float typed, DelayUnits units);
// A spin step from the unit's value: `samples` more or fewer, clamped.
uint32_t SteppedDelay(uint32_t current, float samples);

// Limiter thresholds: unit values of a 19-bit level, +22 dBu at full scale.
inline constexpr float kMinThresholdDbu = -40.0f;
inline constexpr float kMaxThresholdDbu = 22.0f;
float ThresholdDbu(uint32_t value);
// Clamps to the threshold range first.
uint32_t ThresholdValue(float dbu);
float ClampThreshold(float dbu);

enum class Release { Slow = 0, Medium = 1, Fast = 2 };
float ReleaseCoefficient(Release release);
Release ClassifyRelease(float coefficient);

}  // namespace namespace8100
