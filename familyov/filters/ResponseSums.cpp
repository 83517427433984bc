#include "familyov/filters/ResponseSums.h"

#include <algorithm>
#include <cfloat>
#include <vector>

namespace namespaceOV {
namespace {

// The graphs fold with these single-precision values of pi and two pi.
constexpr float kFoldLimit = 3.14159f;
constexpr float kTurn = 6.28318f;
// The least size a network sum is given, far below anything drawn (-600 dB) but not zero.
constexpr double kNetworkSumFloor = 1e-30;
constexpr double kRescaleBelow = 1e-200;
constexpr double kRescaleAbove = 1e200;

}  // namespace

float AddWrappedPhase(float sum, float phase) {
  float result = sum + phase;
  if (result < -kFoldLimit) {
    result += kTurn;
  } else if (result > kFoldLimit) {
    result -= kTurn;
  }
  return result;
}

void ChannelCurve(std::span<const FilterShape> filters, std::span<const float> frequenciesHz,
                  std::span<ResponsePoint> out) {
  std::vector<FilterResponse> responses(filters.begin(), filters.end());
  const std::size_t count = std::min(frequenciesHz.size(), out.size());
  for (std::size_t i = 0; i < count; ++i) {
    float gain = 1.0f;
    std::complex<double> product{1.0, 0.0};
    for (const FilterResponse& response : responses) {
      const FilterEvaluation e = response.At(frequenciesHz[i]);
      // Many steep filters far into their stop or rising bands could take the products beyond
      // what a float or a double holds: the gain saturates, and only the direction of the
      // product matters.
      gain = std::min(gain * e.magnitude, FLT_MAX);
      product *= e.response;
      const double size = std::norm(product);
      if (size > 0.0 && (size < kRescaleBelow || size > kRescaleAbove)) product /= std::sqrt(size);
    }
    out[i] = {gain, static_cast<float>(std::arg(product))};
  }
}

double PolaritySign(float polarity) { return polarity < 0.0f ? -1.0 : 1.0; }

std::complex<double> NetworkSum(std::span<const CrossoverOutput> outputs, float frequencyHz) {
  std::complex<double> sum{0.0, 0.0};
  for (const CrossoverOutput& output : outputs) {
    if (output.low == nullptr && output.high == nullptr) continue;
    std::complex<double> response{1.0, 0.0};
    if (output.low != nullptr) response *= Response(*output.low, frequencyHz);
    if (output.high != nullptr) response *= Response(*output.high, frequencyHz);
    sum += PolaritySign(output.polarity) * response;
  }
  // A floor added before the outputs would vanish in the rounding of their much larger sum.
  return std::abs(sum) < kNetworkSumFloor ? std::complex<double>{kNetworkSumFloor, 0.0} : sum;
}

}  // namespace namespaceOV
