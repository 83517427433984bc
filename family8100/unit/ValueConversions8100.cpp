#include "family8100/unit/ValueConversions8100.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace namespace8100 {
namespace {

constexpr float kFullScale = 524287.0f;
constexpr float kFullScaleDbu = 22.0f;
// The display factors are the units' rounded constants, not exact quotients: 16383 samples show
// as 341.312 msec.
constexpr double kDisplayFactors[] = {0.0208333333, 0.02380952, 0.00714285714};
constexpr float kSamplesPerUnit[] = {48.0f, 42.0f, 140.0f};
constexpr float kReleaseCoefficients[] = {2.1e-5f, 4.2e-5f, 8.3e-5f};

std::size_t Index(DelayUnits units) { return static_cast<std::size_t>(units); }

}  // namespace

std::optional<float> ParseTyped(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const float value = std::strtof(begin, &end);
  if (end == begin || !std::isfinite(value)) return std::nullopt;
  return value;
}

float SamplesPerUnit(DelayUnits units) { return kSamplesPerUnit[Index(units)]; }

std::string DelayText(uint32_t samples, DelayUnits units) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", samples * kDisplayFactors[Index(units)]);
  return text;
}

uint32_t TypedDelaySamples(float typed, DelayUnits units) {
  const float samples =
      std::clamp(typed * SamplesPerUnit(units), 0.0f, static_cast<float>(kMaxDelaySamples));
  const float whole = std::floor(samples);
  return static_cast<uint32_t>(samples - whole > 0.5f ? whole + 1.0f : whole);
}

uint32_t SteppedDelay(uint32_t current, float samples) {
  const float stepped =
      std::clamp(static_cast<float>(current) + samples, 0.0f, static_cast<float>(kMaxDelaySamples));
  return static_cast<uint32_t>(stepped);
}

float ThresholdDbu(uint32_t value) {
  return 20.0f * std::log10(static_cast<float>(value) * (1.0f / kFullScale)) + kFullScaleDbu;
}

float ClampThreshold(float dbu) { return std::clamp(dbu, kMinThresholdDbu, kMaxThresholdDbu); }

uint32_t ThresholdValue(float dbu) {
  const float level = std::pow(10.0f, (ClampThreshold(dbu) - kFullScaleDbu) * 0.05f);
  return static_cast<uint32_t>(level * kFullScale);
}

float ReleaseCoefficient(Release release) {
  return kReleaseCoefficients[static_cast<std::size_t>(release)];
}

Release ClassifyRelease(float coefficient) {
  if (coefficient <= 2.1e-5) return Release::Slow;
  if (coefficient <= 4.2e-5) return Release::Medium;
  return Release::Fast;
}

}  // namespace namespace8100
