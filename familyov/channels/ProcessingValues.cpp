#include "familyov/channels/ProcessingValues.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/LevelScale.h"
#include "controls/TQuadButton.h"
#include "familyov/unit/OVCodecs.h"

namespace namespaceOV {

namespace {

constexpr int kSamplesPerMsec = 48;
constexpr int kSamplesPerFoot = 42;
constexpr int kSamplesPerMeter = 140;

}  // namespace

float DbRange::Clamp(float dB) const { return std::clamp(dB, low, high); }

std::optional<float> ParseTypedDb(const std::string& text, DbRange range) {
  const std::string head = text.substr(0, kTypedCharacters);
  const char* begin = head.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return std::nullopt;
  return static_cast<float>(std::clamp(value, double{range.low}, double{range.high}));
}

float ZoneStep(int zone, float fine, float coarse) {
  switch (zone) {
    case TQuadButton::kLowerLeft:
      return -coarse;
    case TQuadButton::kLowerRight:
      return -fine;
    case TQuadButton::kUpperRight:
      return fine;
    case TQuadButton::kUpperLeft:
      return coarse;
    default:
      return 0.0f;
  }
}

std::string CompRatioLabel(int index) {
  const std::string text = CompRatioToText(index);
  return text.empty() ? "?" : text;
}

std::string CompSpeedLabel(int index) {
  const std::string text = CompSpeedToText(index);
  return text.empty() ? "?" : text;
}

std::vector<std::vector<int>> CompressorGangRuns(const std::vector<bool>& gang) {
  std::vector<std::vector<int>> runs;
  bool inRun = false;
  for (std::size_t n = 0; n < gang.size(); ++n) {
    if (gang[n] && !inRun) {
      runs.emplace_back();
      inRun = true;
    }
    if (inRun) runs.back().push_back(static_cast<int>(n));
    if (!gang[n]) inRun = false;
  }
  return runs;
}

int CrosspointElement(int output, int input, int rowLength) { return output * rowLength + input; }

int LimiterSecondRow(int outputs) { return outputs >= 3 ? outputs / 2 : -1; }

int DelayMemoryPercent(int64_t delaysInUse, int capacity) {
  if (capacity <= 0) return 0;
  return static_cast<int>(delaysInUse * 100 / capacity);
}

int DspUsagePercent(int32_t counter) {
  return static_cast<int>((int64_t{counter} - kDspUsageIdle) * 100 /
                          (kDspUsageFull - kDspUsageIdle));
}

std::string PercentText(std::optional<int> percent) {
  return percent ? std::to_string(*percent) + "%" : controls::kUnknownValue;
}

std::string FiltersRemainText(std::optional<int> filters) {
  return (filters ? std::to_string(*filters) : controls::kUnknownValue) + " filters remain";
}

int DelayZoneStep(int zone, int units) {
  const int unit = units == kDelayFeet     ? kSamplesPerFoot
                   : units == kDelayMeters ? kSamplesPerMeter
                                           : kSamplesPerMsec;
  return static_cast<int>(ZoneStep(zone, 1.0f, static_cast<float>(unit)));
}

}  // namespace namespaceOV
