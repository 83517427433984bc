#include "familyov/filters/FilterResponse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "familyov/filters/BesselPoles.h"

namespace namespaceOV {

using sections::Complex;

namespace {

// The family's curves have always been drawn with these single-precision values rather than the
// full-precision pi; keeping them keeps the curves (and the pole angles) as users know them.
constexpr float kPiSingle = 3.14159f;
constexpr float kHalfPiSingle = 1.570795f;
constexpr long double kAllpassFrequencyScale = 1.0L / 24000.0L;  // half the 48 kHz sample rate
constexpr long double kShelfOctavesPerDb = 1.0L / 6.0L;
// Well above its corner a high-pass is drawn as flat.
constexpr float kHighpassFlatRatio = 10.0f;

const Complex kNeutral{1.0, 0.0};

// Plain complex arithmetic: within the clamped parameters and frequencies no operand comes near
// overflow or underflow, so the library's scaling and NaN recovery are not needed on this path.
Complex Times(Complex x, Complex y) {
  return {x.real() * y.real() - x.imag() * y.imag(), x.real() * y.imag() + x.imag() * y.real()};
}

Complex Over(Complex x, Complex y) {
  const double scale = 1.0 / (y.real() * y.real() + y.imag() * y.imag());
  return {(x.real() * y.real() + x.imag() * y.imag()) * scale,
          (x.imag() * y.real() - x.real() * y.imag()) * scale};
}

// (j x)^n
Complex ImaginaryPower(double x, int n) {
  Complex result = kNeutral;
  for (int i = 0; i < n; ++i) result = Times(result, Complex(0.0, x));
  return result;
}

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
std::optional<FilterShape> Checked(const FilterShape& shape) {
  if (!std::isfinite(shape.levelDb) || !std::isfinite(shape.q) ||
      !std::isfinite(shape.allpassCoefficient)) {
    return std::nullopt;
  }
  FilterShape checked = shape;
  checked.frequencyHz = std::clamp(shape.frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  checked.levelDb = std::clamp(shape.levelDb, kLevelFloorDb, kLevelCeilingDb);
  checked.q = std::clamp(shape.q, kMinQ, kMaxQ);
  checked.order = std::clamp(shape.order, 0, kMaxFilterOrder);
  checked.allpassCoefficient = std::clamp(shape.allpassCoefficient, -1.0f, 1.0f);
  return checked;
}

sections::Peak MakePeak(const FilterShape& p) {
  const double f0 = p.frequencyHz;
  return {.f0Squared = f0 * f0, .widthTerm = f0 / p.q, .gainStep = DbToLinear(p.levelDb) - 1.0};
}

sections::BoostCut MakeBoostCut(const FilterShape& p) {
  const double rootGain = std::sqrt(double{DbToLinear(p.levelDb)});
  const double rootQ = std::sqrt(double{p.q});
  const double f0 = p.frequencyHz;
  // f0 <= 24000, so f0^2 is exact, as the unit's integer product.
  return {.f0Squared = static_cast<double>(p.frequencyHz * p.frequencyHz),
          .zeroWidth = f0 * rootGain / rootQ,
          .poleWidth = f0 / (rootGain * rootQ)};
}

// The shelves' second corner lies |level| / 6 octaves from f0; a boost puts the zero at f0, a cut
// the pole.
sections::Shelf MakeShelf(const FilterShape& p, bool high) {
  const double span =
      static_cast<double>(std::pow(2.0L, std::fabs(p.levelDb) * kShelfOctavesPerDb));
  const double f0 = p.frequencyHz;
  const double other = high ? f0 * span : f0 / span;
  const bool boost = p.levelDb >= 0.0f;
  return {.zero = boost ? f0 : other,
          .pole = boost ? other : f0,
          .gain = high ? double{DbToLinear(p.levelDb)} : 1.0};
}

sections::AnySection MakeButterworth(double f0, int order, bool highpass, bool squared) {
  if (order == 0) return sections::Neutral{};
  return sections::Butterworth{
      .poles = std::span(ButterworthPoleDirections()[order - 1]).first(order),
      .f0 = f0,
      .lowpassNumerator = std::pow(f0, order),
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

sections::AnySection MakeCrossover(const FilterShape& p, bool highpass) {
  const double f0 = p.frequencyHz;
  switch (p.crossoverType) {
    case kCrossoverButterworth:
      return MakeButterworth(f0, p.order, highpass, false);
    case kCrossoverLinkwitzRiley:
      return MakeButterworth(f0, p.order / 2, highpass, true);
    case kCrossoverBessel:
      return MakeBessel(f0, p.order, highpass);
    default:
      return sections::Neutral{};
  }
}

sections::AnySection MakeSections(const FilterShape& p) {
  switch (p.typeCode) {
    case kFilterParametric:
      return MakePeak(p);
    case kFilterBoostCut:
      return MakeBoostCut(p);
    case kFilterLowpass:
    case kFilterHighpass:
      return MakeButterworth(p.frequencyHz, p.order, p.typeCode == kFilterHighpass, false);
    case kFilterLowShelf:
    case kFilterHighShelf:
      return MakeShelf(p, p.typeCode == kFilterHighShelf);
    case kFilterLowCrossover:
    case kFilterHighCrossover:
      return MakeCrossover(p, p.typeCode == kFilterHighCrossover);
    case kFilterCDHorn:
      // A rise of 6 dB per octave above f0 for order 1, 12 dB for any other order.
      return sections::HornRise{.f0 = static_cast<double>(p.frequencyHz), .twice = p.order != 1};
    case kFilterAllpass:
      return sections::DigitalAllpass{.coefficient = p.allpassCoefficient, .order = p.order};
    default:
      break;
  }
  return sections::Neutral{};
}

}  // namespace

// --- The sections' responses -------------------------------------------------------------------

namespace sections {

Complex Neutral::At(double) const { return kNeutral; }

Complex Peak::At(double f) const {
  const Complex band(f0Squared - f * f, f * widthTerm);
  return 1.0 + gainStep * Over(Complex(0.0, band.imag()), band);
}

Complex BoostCut::At(double f) const {
  const double centre = f0Squared - f * f;
  return Over(Complex(centre, f * zeroWidth), Complex(centre, f * poleWidth));
}

Complex Shelf::At(double f) const { return gain * Over(Complex(zero, f), Complex(pole, f)); }

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

Complex HornRise::At(double f) const {
  const Complex rise(1.0, f / f0);
  return twice ? Times(rise, rise) : rise;
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

// --- FilterResponse ----------------------------------------------------------------------------

FilterResponse::FilterResponse(const FilterShape& shape) {
  const std::optional<FilterShape> p = Checked(shape);
  if (!p) return;
  sections_ = MakeSections(*p);
  frequencyHz_ = static_cast<float>(p->frequencyHz);
  flatAboveTenTimesCorner_ = p->typeCode == kFilterHighpass;
}

FilterEvaluation FilterResponse::At(float frequencyHz) const {
  const float f =
      std::isnan(frequencyHz) ? 0.0f : std::clamp(frequencyHz, 0.0f, kMaxQueryFrequencyHz);
  const Complex response = std::visit([f](const auto& s) { return s.At(f); }, sections_);
  double magnitude;
  if (flatAboveTenTimesCorner_ && f / frequencyHz_ > kHighpassFlatRatio) {
    magnitude = 1.0;
  } else if (const auto* horn = std::get_if<sections::HornRise>(&sections_)) {
    magnitude = horn->Magnitude(f);
  } else if (std::holds_alternative<sections::DigitalAllpass>(sections_)) {
    magnitude = 1.0;
  } else {
    magnitude = std::sqrt(std::norm(response));
  }
  return {static_cast<float>(magnitude), response};
}

AllpassCoefficients ComputeAllpassCoefficients(int32_t frequencyHz) {
  const int32_t f0 = std::clamp(frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  const float wc = static_cast<float>(kAllpassFrequencyScale * f0 * kPiSingle);
  const float t = static_cast<float>(std::tan((wc - kHalfPiSingle) / 2.0));
  const float a = static_cast<float>(t / (t * std::cos(wc) - std::sin(wc)));
  return {a, t, wc};
}

}  // namespace namespaceOV
