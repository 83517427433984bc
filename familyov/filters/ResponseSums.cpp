#include "familyov/filters/ResponseSums.h"

namespace namespaceOV {
namespace {

// The graphs fold with these single-precision values of pi and two pi.
constexpr float kFoldLimit = 3.14159f;
constexpr float kTurn = 6.28318f;
constexpr double kNetworkSumSeed = 1e-30;

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

ResponsePoint ChannelResponse(std::span<const FilterShape> filters, float frequencyHz) {
  ResponsePoint sum{1.0f, 0.0f};
  for (const FilterShape& filter : filters) {
    const FilterEvaluation e = Evaluate(filter, frequencyHz);
    sum.magnitude *= e.magnitude;
    sum.phase = AddWrappedPhase(sum.phase, static_cast<float>(std::arg(e.response)));
  }
  return sum;
}

std::complex<double> NetworkSum(std::span<const CrossoverOutput> outputs, float frequencyHz) {
  std::complex<double> sum{kNetworkSumSeed, 0.0};
  for (const CrossoverOutput& output : outputs) {
    if (output.low == nullptr && output.high == nullptr) continue;
    std::complex<double> response{1.0, 0.0};
    if (output.low != nullptr) response *= Response(*output.low, frequencyHz);
    if (output.high != nullptr) response *= Response(*output.high, frequencyHz);
    sum += output.polarity < 0.0f ? -response : response;
  }
  return sum;
}

}  // namespace namespaceOV
