#include "familycommon/FilterResponse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "familycommon/BesselPoles.h"

namespace familycommon {

using sections::Complex;

namespace {

// The curves have always been drawn with these single-precision values rather than the
// full-precision pi; keeping them keeps the curves (and the pole angles) as users know them.
constexpr float kPiSingle = 3.14159f;
constexpr float kHalfPiSingle = 1.570795f;
constexpr long double kShelfOctavesPerDb = 1.0L / 6.0L;

const Complex kNeutral{1.0, 0.0};

// Pole k of order n lies at f0 x (cos t, sin t) with t = (k - 0.5) x pi / n + pi / 2, the angle
// formed in single precision with the constants above.
using PoleDirectionTable =
    std::array<std::array<sections::PoleDirection, kMaxFilterOrder>, kMaxFilterOrder>;

const PoleDirectionTable& ButterworthPoleDirections() {
  static const PoleDirectionTable table = [] {
    PoleDirectionTable directions{};
    for (int n = 1; n <= kMaxFilterOrder; ++n) {
      for (int k = 1; k <= n; ++k) {
        const float angle =
            ((static_cast<float>(k) - 0.5f) * kPiSingle) / static_cast<float>(n) + kHalfPiSingle;
        directions[n - 1][k - 1] = {std::cos(double{angle}), std::sin(double{angle})};
      }
    }
    return directions;
  }();
  return table;
}

// --- Preparing the sections --------------------------------------------------------------------

// Non-finite values make the filter neutral; finite ones are clamped into the domain the
// formulas handle (see the header).
std::optional<ResponseShape> Checked(const ResponseShape& shape) {
  if (!std::isfinite(shape.levelDb) || !std::isfinite(shape.q)) return std::nullopt;
  ResponseShape checked = shape;
  checked.frequencyHz = std::clamp(shape.frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  checked.levelDb = std::clamp(shape.levelDb, kLevelFloorDb, kLevelCeilingDb);
  checked.q = std::clamp(shape.q, kMinQ, kMaxQ);
  checked.order = std::clamp(shape.order, 0, kMaxFilterOrder);
  checked.shelfOrder = std::clamp(shape.shelfOrder, 1, kMaxFilterOrder);
  return checked;
}

sections::Peak MakePeak(const ResponseShape& p) {
  const double f0 = p.frequencyHz;
  return {.f0Squared = f0 * f0, .widthTerm = f0 / p.q, .gainStep = DbToLinear(p.levelDb) - 1.0};
}

sections::BoostCut MakeBoostCut(const ResponseShape& p) {
  const double rootGain = std::sqrt(double{DbToLinear(p.levelDb)});
  const double rootQ = std::sqrt(double{p.q});
  const double f0 = p.frequencyHz;
  // f0 <= 24000, so f0^2 is exact, as the unit's integer product.
  return {.f0Squared = static_cast<double>(p.frequencyHz * p.frequencyHz),
          .zeroWidth = f0 * rootGain / rootQ,
          .poleWidth = f0 / (rootGain * rootQ)};
}

// Each section of a shelf has its second corner |level| / (6 x order) octaves from f0; a boost
// puts the zero at f0, a cut the pole.
sections::Shelf MakeShelf(const ResponseShape& p, bool high) {
  const double span =
      static_cast<double>(std::pow(2.0L, std::fabs(p.levelDb) * kShelfOctavesPerDb / p.shelfOrder));
  const double f0 = p.frequencyHz;
  const double other = high ? f0 * span : f0 / span;
  const bool boost = p.levelDb >= 0.0f;
  return {.zero = boost ? f0 : other,
          .pole = boost ? other : f0,
          .gain = high ? double{DbToLinear(p.levelDb)} : 1.0,
          .order = p.shelfOrder};
}

// A Butterworth edge of `order`, squared for a Linkwitz-Riley one. With gains alone the squared
// edge keeps the full order as its slope exponent, so an odd Linkwitz-Riley order keeps its slope.
sections::AnySection MakeButterworth(double f0, int order, bool highpass, bool squared,
                                     const ResponseRules& rules, double powerFloor = 0.0) {
  if (order == 0) return sections::Neutral{};
  if (rules.magnitudeOnly) {
    return sections::ButterworthGain{.f0 = f0,
                                     .exponent = squared ? order : 2.0 * order,
                                     .highpass = highpass,
                                     .squared = squared,
                                     .powerFloor = powerFloor};
  }
  const int poleCount = squared ? order / 2 : order;
  if (poleCount == 0) return sections::Neutral{};
  return sections::Butterworth{
      .poles = std::span(ButterworthPoleDirections()[poleCount - 1]).first(poleCount),
      .f0 = f0,
      .lowpassNumerator = std::pow(f0, poleCount),
      .highpass = highpass,
      .squared = squared};
}

// Each pole p of the low-pass maps to f0^2 / p in the high-pass.
sections::AnySection MakeBessel(double f0, int order, bool highpass) {
  if (order == 0) return sections::Neutral{};
  sections::Bessel bessel{
      .factorCount = 0, .order = order, .lowpassNumerator = 1.0, .highpass = highpass};
  for (const BesselPole& pole : BesselPolesOfOrder(order)) {
    sections::BesselFactor factor{};
    if (pole.b == 0.0) {
      factor = {.constant = highpass ? f0 / pole.a : pole.a * f0, .linear = 1.0, .pair = false};
      bessel.lowpassNumerator *= pole.a * f0;
    } else if (highpass) {
      const Complex q = f0 / Complex(pole.a, pole.b);
      factor = {.constant = std::norm(q), .linear = 2.0 * q.real(), .pair = true};
    } else {
      const double m = pole.a * pole.a + pole.b * pole.b;
      factor = {.constant = f0 * f0 * m, .linear = 2.0 * pole.a * f0, .pair = true};
      bessel.lowpassNumerator *= f0 * f0 * m;
    }
    bessel.factors[bessel.factorCount++] = factor;
  }
  return bessel;
}

sections::AnySection MakeCrossover(const ResponseShape& p, bool highpass,
                                   const ResponseRules& rules) {
  const double f0 = p.frequencyHz;
  switch (p.alignment) {
    case kAlignmentButterworth:
      return MakeButterworth(f0, p.order, highpass, false, rules);
    case kAlignmentLinkwitzRiley:
      return MakeButterworth(f0, p.order, highpass, true, rules);
    case kAlignmentBessel:
      return MakeBessel(f0, p.order, highpass);
    default:
      return sections::Neutral{};
  }
}

sections::AnySection MakeSections(const ResponseShape& p, const ResponseRules& rules) {
  switch (p.typeCode) {
    case kParametricType:
      return MakePeak(p);
    case kBoostCutType:
      return MakeBoostCut(p);
    case kLowpassType:
      return MakeButterworth(p.frequencyHz, p.order, false, false, rules);
    case kHighpassType:
      return MakeButterworth(p.frequencyHz, p.order, true, false, rules, rules.highpassFloor);
    case kLowShelfType:
    case kHighShelfType:
      return MakeShelf(p, p.typeCode == kHighShelfType);
    case kLowCrossoverType:
    case kHighCrossoverType:
      return MakeCrossover(p, p.typeCode == kHighCrossoverType, rules);
    default:
      break;
  }
  return sections::Neutral{};
}

float FlatAboveRatio(int32_t typeCode, const ResponseRules& rules) {
  switch (typeCode) {
    case kHighpassType:
      return rules.highpassFlatAbove;
    case kHighCrossoverType:
      return rules.highCrossoverFlatAbove;
    default:
      return 0.0f;
  }
}

}  // namespace

// --- The sections' responses -------------------------------------------------------------------

namespace sections {

Complex Times(Complex x, Complex y) {
  return {x.real() * y.real() - x.imag() * y.imag(), x.real() * y.imag() + x.imag() * y.real()};
}

Complex Over(Complex x, Complex y) {
  const double scale = 1.0 / (y.real() * y.real() + y.imag() * y.imag());
  return {(x.real() * y.real() + x.imag() * y.imag()) * scale,
          (x.imag() * y.real() - x.real() * y.imag()) * scale};
}

Complex ImaginaryPower(double x, int n) {
  Complex result = kNeutral;
  for (int i = 0; i < n; ++i) result = Times(result, Complex(0.0, x));
  return result;
}

Complex Neutral::At(double) const { return kNeutral; }

Complex Peak::At(double f) const {
  const Complex band(f0Squared - f * f, f * widthTerm);
  return 1.0 + gainStep * Over(Complex(0.0, band.imag()), band);
}

Complex BoostCut::At(double f) const {
  const double centre = f0Squared - f * f;
  return Over(Complex(centre, f * zeroWidth), Complex(centre, f * poleWidth));
}

Complex Shelf::At(double f) const {
  const Complex section = Over(Complex(zero, f), Complex(pole, f));
  Complex response = section;
  for (int i = 1; i < order; ++i) response = Times(response, section);
  return gain * response;
}

// The denominator is the product over the poles p of (j f - p); the poles come in conjugate pairs
// (to within the single-precision angles), so taking each with its imaginary part mirrored gives
// the same product.
Complex Butterworth::At(double f) const {
  Complex denominator = kNeutral;
  for (const PoleDirection& pole : poles) {
    denominator = Times(denominator, Complex(-f0 * pole.cosine, f + f0 * pole.sine));
  }
  const Complex numerator =
      highpass ? ImaginaryPower(f, static_cast<int>(poles.size())) : Complex(lowpassNumerator);
  const Complex response = Over(numerator, denominator);
  return squared ? Times(response, response) : response;
}

Complex ButterworthGain::At(double f) const {
  const double power = std::pow(f / f0, exponent);
  if (highpass && power < powerFloor) return powerFloor;
  const double gain = highpass ? std::sqrt(power / (1.0 + power)) : 1.0 / std::sqrt(1.0 + power);
  return squared ? gain * gain : gain;
}

Complex Bessel::At(double f) const {
  Complex denominator = kNeutral;
  for (int i = 0; i < factorCount; ++i) {
    const BesselFactor& factor = factors[i];
    const double real = factor.pair ? factor.constant - f * f : factor.constant;
    denominator = Times(denominator, Complex(real, factor.linear * f));
  }
  const Complex numerator = highpass ? ImaginaryPower(f, order) : Complex(lowpassNumerator);
  return Over(numerator, denominator);
}

}  // namespace sections

// --- FilterResponse ----------------------------------------------------------------------------

float ClampedQueryFrequency(float frequencyHz) {
  return std::isnan(frequencyHz) ? 0.0f : std::clamp(frequencyHz, 0.0f, kMaxQueryFrequencyHz);
}

FilterResponse::FilterResponse(const ResponseShape& shape, const ResponseRules& rules)
    : magnitudeOnly_(rules.magnitudeOnly) {
  const std::optional<ResponseShape> p = Checked(shape);
  if (!p) return;
  sections_ = MakeSections(*p, rules);
  frequencyHz_ = static_cast<float>(p->frequencyHz);
  flatAbove_ = FlatAboveRatio(p->typeCode, rules);
}

FilterEvaluation FilterResponse::At(float frequencyHz) const {
  const float f = ClampedQueryFrequency(frequencyHz);
  const bool flat = flatAbove_ > 0.0f && f / frequencyHz_ > flatAbove_;
  const Complex response = std::visit([f](const auto& s) { return s.At(f); }, sections_);
  const double magnitude = flat ? 1.0 : std::sqrt(std::norm(response));
  if (magnitudeOnly_) return {static_cast<float>(magnitude), {magnitude, 0.0}};
  return {static_cast<float>(magnitude), response};
}

}  // namespace familycommon
