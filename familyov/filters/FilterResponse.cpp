#include "familyov/filters/FilterResponse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "familyov/filters/BesselPoles.h"

namespace namespaceOV {
namespace {

using Complex = std::complex<double>;

// The unit's firmware works with these single-precision values, not the full-precision pi.
constexpr float kPiSingle = 3.14159f;
constexpr float kHalfPiSingle = 1.570795f;
constexpr long double kAllpassFrequencyScale = 1.0L / 24000.0L;  // half the 48 kHz sample rate
constexpr long double kShelfOctavesPerDb = 1.0L / 6.0L;
// Well above its corner a high-pass is drawn as flat; the unit's own graphs do the same.
constexpr float kHighpassFlatRatio = 10.0f;

const Complex kNeutral{1.0, 0.0};

// Plain products: the operands stay far from overflow in the clamped domain, so the library's
// NaN recovery for complex products is not needed on this hot path.
Complex Times(Complex x, Complex y) {
  return {x.real() * y.real() - x.imag() * y.imag(), x.real() * y.imag() + x.imag() * y.real()};
}

double AbsoluteValue(Complex x) { return std::sqrt(x.real() * x.real() + x.imag() * x.imag()); }

// (j x)^n
Complex ImaginaryPower(double x, int n) {
  Complex result = kNeutral;
  for (int i = 0; i < n; ++i) result = Times(result, Complex(0.0, x));
  return result;
}

// --- Butterworth -------------------------------------------------------------------------------

// Pole k of order n lies at f0 x (cos t, sin t) with t = (k - 0.5) x pi / n + pi / 2, the angle
// formed in single precision as the unit does.
struct PoleDirection {
  double cosine;
  double sine;
};
using PoleDirectionTable = std::array<std::array<PoleDirection, kMaxFilterOrder>, kMaxFilterOrder>;

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

// Product over the poles p of (j f - p). The poles come in conjugate pairs, so taking them with
// the imaginary part mirrored gives the same product.
Complex ButterworthDenominator(double f, double f0, int order) {
  const auto& directions = ButterworthPoleDirections()[order - 1];
  Complex product = kNeutral;
  for (int k = 0; k < order; ++k) {
    product = Times(product, Complex(-f0 * directions[k].cosine, f + f0 * directions[k].sine));
  }
  return product;
}

Complex ButterworthLowpass(double f, double f0, int order) {
  if (order <= 0) return kNeutral;
  return std::pow(f0, order) / ButterworthDenominator(f, f0, order);
}

Complex ButterworthHighpass(double f, double f0, int order) {
  if (order <= 0) return kNeutral;
  return ImaginaryPower(f, order) / ButterworthDenominator(f, f0, order);
}

// --- Bessel ------------------------------------------------------------------------------------

Complex BesselLowpass(double f, double f0, int order) {
  Complex numerator = kNeutral;
  Complex denominator = kNeutral;
  for (const BesselPole& pole : BesselPolesOfOrder(order)) {
    if (pole.b == 0.0) {
      numerator *= pole.a * f0;
      denominator = Times(denominator, Complex(pole.a * f0, f));
    } else {
      const double m = pole.a * pole.a + pole.b * pole.b;
      numerator *= f0 * f0 * m;
      denominator = Times(denominator, Complex(f0 * f0 * m - f * f, 2.0 * pole.a * f0 * f));
    }
  }
  return numerator / denominator;
}

// The low-pass mirrored about f0: each pole p becomes f0^2 / p.
Complex BesselHighpass(double f, double f0, int order) {
  Complex numerator = kNeutral;
  Complex denominator = kNeutral;
  for (const BesselPole& pole : BesselPolesOfOrder(order)) {
    if (pole.b == 0.0) {
      numerator = Times(numerator, Complex(0.0, f));
      denominator = Times(denominator, Complex(f0 / pole.a, f));
    } else {
      const Complex q = f0 / Complex(pole.a, pole.b);
      numerator *= -f * f;
      denominator = Times(denominator, Complex(std::norm(q) - f * f, 2.0 * f * q.real()));
    }
  }
  return numerator / denominator;
}

// --- Crossovers --------------------------------------------------------------------------------

Complex Squared(Complex x) { return Times(x, x); }

Complex LowCrossover(double f, double f0, int crossoverType, int order) {
  switch (crossoverType) {
    case kCrossoverButterworth:
      return ButterworthLowpass(f, f0, order);
    case kCrossoverLinkwitzRiley:
      return Squared(ButterworthLowpass(f, f0, order / 2));
    case kCrossoverBessel:
      return BesselLowpass(f, f0, order);
    default:
      return kNeutral;
  }
}

Complex HighCrossover(double f, double f0, int crossoverType, int order) {
  switch (crossoverType) {
    case kCrossoverButterworth:
      return ButterworthHighpass(f, f0, order);
    case kCrossoverLinkwitzRiley:
      return Squared(ButterworthHighpass(f, f0, order / 2));
    case kCrossoverBessel:
      return BesselHighpass(f, f0, order);
    default:
      return kNeutral;
  }
}

// --- Peaks and shelves -------------------------------------------------------------------------

Complex Parametric(double f, double f0, float levelDb, float q) {
  const double gain = DbToLinear(levelDb);
  const Complex band(f0 * f0 - f * f, f * f0 / q);
  return 1.0 + (gain - 1.0) * (Complex(0.0, band.imag()) / band);
}

Complex BoostCut(double f, int32_t f0, float levelDb, float q) {
  const double rootGain = std::sqrt(double{DbToLinear(levelDb)});
  const double rootQ = std::sqrt(double{q});
  const double centre = static_cast<double>(f0 * f0) - f * f;  // f0 <= 24000: no overflow
  return Complex(centre, f * f0 * rootGain / rootQ) / Complex(centre, f * f0 / (rootGain * rootQ));
}

// The shelves' second corner lies |level| / 6 octaves from f0.
double ShelfSpan(float levelDb) {
  return static_cast<double>(std::pow(2.0L, std::fabs(levelDb) * kShelfOctavesPerDb));
}

Complex LowShelf(double f, double f0, float levelDb) {
  const double lower = f0 / ShelfSpan(levelDb);
  const double zero = levelDb >= 0.0f ? f0 : lower;
  const double pole = levelDb >= 0.0f ? lower : f0;
  return Complex(zero, f) / Complex(pole, f);
}

Complex HighShelf(double f, double f0, float levelDb) {
  const double upper = f0 * ShelfSpan(levelDb);
  const double zero = levelDb >= 0.0f ? f0 : upper;
  const double pole = levelDb >= 0.0f ? upper : f0;
  return double{DbToLinear(levelDb)} * Complex(zero, f) / Complex(pole, f);
}

// A rise of 6 dB per octave above f0 for order 1, 12 dB for any other order.
int CDHornZeros(int order) { return order == 1 ? 1 : 2; }

Complex CDHorn(double f, double f0, int order) {
  const Complex zero(1.0, f / f0);
  return CDHornZeros(order) == 1 ? zero : Times(zero, zero);
}

double CDHornMagnitude(double f, double f0, int order) {
  const double rise = 1.0 + (f / f0) * (f / f0);
  return CDHornZeros(order) == 1 ? std::sqrt(rise) : rise;
}

// `order` first-order digital sections at 48 kHz.
Complex Allpass(double f, float coefficient, int order) {
  const float w = static_cast<float>(f * kPiSingle * kAllpassFrequencyScale);
  const double section =
      -w - 2.0 * std::atan2(coefficient * std::sin(w), 1.0 - coefficient * std::cos(w));
  const double phase = order * section;
  return {std::cos(phase), std::sin(phase)};
}

// --- Untrusted input ---------------------------------------------------------------------------

std::optional<FilterShape> Sanitised(const FilterShape& shape) {
  if (!std::isfinite(shape.levelDb) || !std::isfinite(shape.q) ||
      !std::isfinite(shape.allpassCoefficient)) {
    return std::nullopt;
  }
  FilterShape s = shape;
  s.frequencyHz = std::clamp(s.frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  s.levelDb = std::clamp(s.levelDb, kLevelFloorDb, kLevelCeilingDb);
  s.q = std::clamp(s.q, kMinQ, kMaxQ);
  s.order = std::clamp(s.order, 0, kMaxFilterOrder);
  s.allpassCoefficient = std::clamp(s.allpassCoefficient, -1.0f, 1.0f);
  return s;
}

float QueryFrequency(float frequencyHz) {
  return std::isnan(frequencyHz) ? 0.0f : std::clamp(frequencyHz, 0.0f, kMaxQueryFrequencyHz);
}

Complex ResponseOf(const FilterShape& s, double f) {
  const double f0 = s.frequencyHz;
  switch (s.typeCode) {
    case kFilterParametric:
      return Parametric(f, f0, s.levelDb, s.q);
    case kFilterBoostCut:
      return BoostCut(f, s.frequencyHz, s.levelDb, s.q);
    case kFilterLowpass:
      return ButterworthLowpass(f, f0, s.order);
    case kFilterHighpass:
      return ButterworthHighpass(f, f0, s.order);
    case kFilterLowShelf:
      return LowShelf(f, f0, s.levelDb);
    case kFilterHighShelf:
      return HighShelf(f, f0, s.levelDb);
    case kFilterLowCrossover:
      return LowCrossover(f, f0, s.crossoverType, s.order);
    case kFilterHighCrossover:
      return HighCrossover(f, f0, s.crossoverType, s.order);
    case kFilterCDHorn:
      return CDHorn(f, f0, s.order);
    case kFilterAllpass:
      return Allpass(f, s.allpassCoefficient, s.order);
    default:
      return kNeutral;
  }
}

double MagnitudeOf(const FilterShape& s, float f, Complex response) {
  switch (s.typeCode) {
    case kFilterHighpass:
      if (f / static_cast<float>(s.frequencyHz) > kHighpassFlatRatio) return 1.0;
      break;
    case kFilterCDHorn:
      return CDHornMagnitude(f, s.frequencyHz, s.order);
    case kFilterAllpass:
      return 1.0;
    default:
      break;
  }
  return AbsoluteValue(response);
}

}  // namespace

FilterEvaluation Evaluate(const FilterShape& shape, float frequencyHz) {
  const std::optional<FilterShape> s = Sanitised(shape);
  if (!s) return {1.0f, kNeutral};
  const float f = QueryFrequency(frequencyHz);
  const Complex response = ResponseOf(*s, f);
  return {static_cast<float>(MagnitudeOf(*s, f, response)), response};
}

AllpassCoefficients ComputeAllpassCoefficients(int32_t frequencyHz) {
  const int32_t f0 = std::clamp(frequencyHz, kMinFilterFrequencyHz, kMaxFilterFrequencyHz);
  const float wc = static_cast<float>(kAllpassFrequencyScale * f0 * kPiSingle);
  const float t = static_cast<float>(std::tan((wc - kHalfPiSingle) / 2.0));
  const float a = static_cast<float>(t / (t * std::cos(wc) - std::sin(wc)));
  return {a, t, wc};
}

}  // namespace namespaceOV
