#include "family8100/filters/FilterEntry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "controls/SteppedValue.h"
#include "familycommon/TypedNumbers.h"

namespace namespace8100 {

namespace {

// The dialogs read a field as its first 18 characters.
constexpr std::size_t kEntryChars = 18;
constexpr float kSliderOctaves = 4.0F;

int32_t CoarseStep(int32_t frequency, bool down) {
  if (down ? frequency <= 1000 : frequency < 1000) return 10;
  if (down ? frequency <= 10000 : frequency < 10000) return 100;
  return 1000;
}

}  // namespace

std::optional<int32_t> ParseFrequency(const std::string& text) {
  return familycommon::ParseTypedFrequency(text, kMinFrequencyHz, kMaxFrequencyHz, kEntryChars);
}

std::optional<float> ParseClamped(const std::string& text, float low, float high) {
  const std::optional<double> value = familycommon::ScanNumber(text, kEntryChars);
  if (!value) return std::nullopt;
  return static_cast<float>(std::clamp(*value, double(low), double(high)));
}

float BandwidthFromQ(float q) {
  const float half = 1.0F / (2.0F * q);
  return 2.0F * std::log2(std::sqrt(1.0F + half * half) + half);
}

float QFromBandwidth(float octaves) {
  return std::exp2(octaves / 2.0F) / (std::exp2(octaves) - 1.0F);
}

int BandwidthPosition(float q) {
  const int position = static_cast<int>(std::floor(kSliderOctaves / BandwidthFromQ(q) + 0.5F));
  return std::clamp(position, kMinBandwidthPosition, kMaxBandwidthPosition);
}

float QAtPosition(int position) {
  return QFromBandwidth(kSliderOctaves / static_cast<float>(position));
}

int32_t SteppedFrequency(int32_t frequency, int zone, int count) {
  int32_t step = 0;
  switch (zone) {
    case 0:
      step = -CoarseStep(frequency, true);
      break;
    case 1:
      step = -1;
      break;
    case 2:
      step = 1;
      break;
    default:
      step = CoarseStep(frequency, false);
      break;
  }
  return controls::SteppedWithin(frequency, step, count, kMinFrequencyHz, kMaxFrequencyHz);
}

float SteppedLevel(float level, int zone, float minimum) {
  static constexpr std::array<float, 4> kSteps = {-1.0F, -0.1F, 0.1F, 1.0F};
  return std::clamp(level + kSteps[std::clamp(zone, 0, 3)], minimum, kMaxLevelDb);
}

}  // namespace namespace8100
