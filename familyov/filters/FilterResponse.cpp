#include "familyov/filters/FilterResponse.h"

#include <algorithm>
#include <cmath>

namespace namespaceOV {

using sections::Complex;

namespace {

// The family's curves have always been drawn with these single-precision values rather than the
// full-precision pi; keeping them keeps the curves as users know them.
constexpr float kPiSingle = 3.14159f;
constexpr float kHalfPiSingle = 1.570795f;
constexpr long double kAllpassFrequencyScale = 1.0L / 24000.0L;  // half the 48 kHz sample rate

// Phases are drawn; well above ten times its corner a high-pass filter is drawn flat.
constexpr familycommon::ResponseRules kRules{.magnitudeOnly = false,
                                             .highpassFlatAbove = 10.0f,
                                             .highCrossoverFlatAbove = 0.0f,
                                             .highpassFloor = 0.0};

familycommon::ResponseShape SharedShape(const FilterShape& p) {
  return {.typeCode = p.typeCode,
          .frequencyHz = p.frequencyHz,
          .levelDb = p.levelDb,
          .q = p.q,
          .order = p.order,
          .alignment = p.crossoverType};
}

}  // namespace

namespace sections {

Complex HornRise::At(double f) const {
  const Complex rise(1.0, f / f0);
  return twice ? familycommon::sections::Times(rise, rise) : rise;
}

double HornRise::Magnitude(double f) const {
  const double power = 1.0 + (f / f0) * (f / f0);
  return twice ? power : std::sqrt(power);
}

Complex DigitalAllpass::At(double f) const {
  const float w = static_cast<float>(f * kPiSingle * kAllpassFrequencyScale);
  const double section =
      -w - 2.0 * std::atan2(coefficient * std::sin(w), 1.0 - coefficient * std::cos(w));
  const double phase = order * section;
  return {std::cos(phase), std::sin(phase)};
}

}  // namespace sections

FilterResponse::FilterResponse(const FilterShape& shape) {
  // Non-finite fields make any filter neutral, the default.
  if (!std::isfinite(shape.levelDb) || !std::isfinite(shape.q) ||
      !std::isfinite(shape.allpassCoefficient)) {
    return;
  }
  const int32_t order = std::clamp(shape.order, 0, kMaxFilterOrder);
  switch (shape.typeCode) {
    case kFilterCDHorn:
      // A rise of 6 dB per octave above f0 for order 1, 12 dB for any other order.
      response_ =
          sections::HornRise{.f0 = static_cast<double>(std::clamp(
                                 shape.frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz)),
                             .twice = order != 1};
      break;
    case kFilterAllpass:
      response_ = sections::DigitalAllpass{
          .coefficient = std::clamp(shape.allpassCoefficient, -1.0f, 1.0f), .order = order};
      break;
    default:
      response_ = familycommon::FilterResponse(SharedShape(shape), kRules);
      break;
  }
}

FilterEvaluation FilterResponse::At(float frequencyHz) const {
  if (const auto* shared = std::get_if<familycommon::FilterResponse>(&response_)) {
    return shared->At(frequencyHz);
  }
  const float f = familycommon::ClampedQueryFrequency(frequencyHz);
  if (const auto* horn = std::get_if<sections::HornRise>(&response_)) {
    return {static_cast<float>(horn->Magnitude(f)), horn->At(f)};
  }
  return {1.0f, std::get<sections::DigitalAllpass>(response_).At(f)};
}

AllpassCoefficients ComputeAllpassCoefficients(int32_t frequencyHz) {
  const int32_t f0 = std::clamp(frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  const float wc = static_cast<float>(kAllpassFrequencyScale * f0 * kPiSingle);
  const float t = static_cast<float>(std::tan((wc - kHalfPiSingle) / 2.0));
  const float a = static_cast<float>(t / (t * std::cos(wc) - std::sin(wc)));
  return {a, t, wc};
}

}  // namespace namespaceOV
