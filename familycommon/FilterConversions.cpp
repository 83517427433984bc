#include "familycommon/FilterConversions.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace familycommon {
namespace {

constexpr long double kDbFactor = 0.05L;

// NaN fails both comparisons of std::clamp and would pass through; it becomes the lower bound.
template <typename T>
T ClampOrLow(T value, T low, T high) {
  return std::isnan(value) ? low : std::clamp(value, low, high);
}

}  // namespace

float DbToLinear(double levelDb) {
  const double dB = ClampOrLow(levelDb, double{kLevelFloorDb}, double{kLevelCeilingDb});
  return static_cast<float>(std::pow(10.0L, kDbFactor * dB));
}

float LinearToDb(double linear) {
  const double floorGain = std::pow(10.0, kLevelFloorDb / 20.0);
  if (!(linear > floorGain)) return kLevelFloorDb;
  return static_cast<float>(20.0 * std::log10(std::min(linear, double{FLT_MAX})));
}

float QToBandwidth(float q) {
  const double x = ClampOrLow(q, kMinQ, kMaxQ);
  const float logOfSum =
      static_cast<float>(std::log10(std::sqrt(1.0 / (4.0 * x * x) + 1.0) + 1.0 / (2.0 * x)));
  return static_cast<float>(2.0 * logOfSum / std::log10(2.0));
}

float BandwidthToQ(float octaves) {
  const double n = ClampOrLow(octaves, kMinBandwidthOctaves, kMaxBandwidthOctaves);
  const float rootOfSpan = static_cast<float>(std::pow(2.0, n / 2.0));
  return static_cast<float>(rootOfSpan / (std::pow(2.0, n) - 1.0));
}

int RoundToInt(double x) {
  if (std::isnan(x)) return 0;
  const double clamped = std::clamp(x, double{INT_MIN}, double{INT_MAX});
  const double below = std::floor(clamped);
  const double above = std::ceil(clamped);
  return static_cast<int>(std::fabs(clamped - below) < std::fabs(clamped - above) ? below : above);
}

}  // namespace familycommon
