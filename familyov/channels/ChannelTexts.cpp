#include "familyov/channels/ChannelTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace namespaceOV {
namespace {

// Positions run over whole steps of the range; the truncation matches the trackbar's ticks.
int TruncatedSteps(double span, double step) { return static_cast<int>(std::trunc(span / step)); }

// The number at the start of the text, if it is finite.
std::optional<double> LeadingNumber(const std::string& text) {
  double value = 0.0;
  if (std::sscanf(text.c_str(), "%lf", &value) != 1 || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

int LevelRange::Positions() const { return TruncatedSteps(maximum - minimum, step); }

int LevelRange::PositionOf(float dB) const {
  if (!std::isfinite(dB)) return Positions();
  return std::clamp(TruncatedSteps(double{maximum} - dB, step), 0, Positions());
}

float LevelRange::LevelAt(int position) const {
  return maximum - static_cast<float>(std::clamp(position, 0, Positions())) * step;
}

float LevelRange::Clamp(float dB) const {
  if (std::isnan(dB)) return minimum;
  return std::clamp(dB, minimum, maximum);
}

float SnapLevel(float dB, float step) {
  if (!std::isfinite(dB) || !(step > 0.0f)) return dB;
  const double steps = double{dB} / step;
  const double lower = std::trunc(steps) * step;
  const double upper = std::trunc(steps + (dB >= 0.0f ? 1.0 : -1.0)) * step;
  return static_cast<float>(std::abs(upper - dB) <= std::abs(dB - lower) ? upper : lower);
}

std::string LevelText(float dB) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", double{dB});
  return text;
}

std::optional<float> ParseLevel(const std::string& text, const LevelRange& range) {
  const auto value = LeadingNumber(text);
  if (!value) return std::nullopt;
  return static_cast<float>(std::clamp(*value, double{range.minimum}, double{range.maximum}));
}

std::string DelayUnitSymbol(int units) {
  switch (units) {
    case kDelayMsec:
      return "ms";
    case kDelayFeet:
      return "ft";
    case kDelayMeters:
      return "m";
    default:
      return {};
  }
}

std::string DelayText(int samples, int units) {
  const std::string name = DelayUnitSymbol(units);
  if (name.empty()) return {};
  std::string number;
  DelayUnitsObject::DelayToText(samples, number, units);
  return number + " " + name;
}

std::optional<int> ParseDelay(const std::string& text, int displayUnits, int capacity) {
  int units = displayUnits;
  std::string number = text;
  if (const auto m = text.find('m'); m != std::string::npos) {
    units = m + 1 < text.size() && text[m + 1] == 's' ? kDelayMsec : kDelayMeters;
    number = text.substr(0, m);
  } else if (const auto f = text.find('f'); f != std::string::npos) {
    units = kDelayFeet;
    number = text.substr(0, f);
  }
  const auto perUnit = SamplesPerUnit(units);
  const auto value = LeadingNumber(number);
  if (!value || !perUnit) return std::nullopt;
  // In doubles, so that a nine-digit entry clamps instead of overflowing.
  const double samples = std::floor(*value * *perUnit + 0.5);
  return static_cast<int>(std::clamp(samples, 0.0, static_cast<double>(std::max(capacity, 0))));
}

}  // namespace namespaceOV
