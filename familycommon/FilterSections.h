#pragma once

#include <array>
#include <complex>
#include <span>
#include <variant>

// The building blocks a filter's response is made of, each with its frequency-independent values
// worked out once. Only the response classes use them; they live in a header because those hold
// them.

namespace familycommon::sections {

using Complex = std::complex<double>;

// A filter that leaves the signal as it is: unknown types, crossovers of type none, order 0.
struct Neutral {
  Complex At(double f) const;
};

// Parametric peak: 1 + (A - 1) x (j f f0 / Q) / ((f0^2 - f^2) + j f f0 / Q).
struct Peak {
  double f0Squared;
  double widthTerm;  // f0 / Q
  double gainStep;   // A - 1
  Complex At(double f) const;
};

// Boost/cut: ((f0^2 - f^2) + j f zeroWidth) / ((f0^2 - f^2) + j f poleWidth).
struct BoostCut {
  double f0Squared;
  double zeroWidth;
  double poleWidth;
  Complex At(double f) const;
};

// Shelf of `order` equal first-order sections: gain x ((zero + j f) / (pole + j f))^order.
struct Shelf {
  double zero;
  double pole;
  double gain;
  int order;
  Complex At(double f) const;
};

// Direction of one Butterworth pole: the pole lies at f0 x (cosine + j sine).
struct PoleDirection {
  double cosine;
  double sine;
};

// Butterworth low- or high-pass; squared for a Linkwitz-Riley edge.
struct Butterworth {
  std::span<const PoleDirection> poles;
  double f0;
  double lowpassNumerator;  // f0^order
  bool highpass;
  bool squared;
  Complex At(double f) const;
};

// The gain alone of a Butterworth or Linkwitz-Riley edge, as a real response, in closed form:
// with the power
// y = (f / f0)^exponent, 1 / sqrt(1 + y) for a low-pass and sqrt(y / (1 + y)) for a high-pass,
// squared for a Linkwitz-Riley edge. A high-pass whose power falls below `powerFloor` is given the
// floor as its gain.
struct ButterworthGain {
  double f0;
  double exponent;
  bool highpass;
  bool squared;
  double powerFloor;
  Complex At(double f) const;
};

// One factor of a Bessel denominator: (constant - f^2) + j linear f for a pole pair, constant +
// j linear f for the real pole.
struct BesselFactor {
  double constant;
  double linear;
  bool pair;
};

struct Bessel {
  std::array<BesselFactor, 4> factors;
  int factorCount;
  int order;
  double lowpassNumerator;
  bool highpass;
  Complex At(double f) const;
};

// Whichever of the above a filter is made of.
using AnySection =
    std::variant<Neutral, Peak, BoostCut, Shelf, Butterworth, ButterworthGain, Bessel>;

// Plain complex arithmetic: within the clamped parameters and frequencies no operand comes near
// overflow or underflow, so the library's scaling and NaN recovery are not needed on this path.
Complex Times(Complex x, Complex y);
Complex Over(Complex x, Complex y);

// (j x)^n
Complex ImaginaryPower(double x, int n);

}  // namespace familycommon::sections
