#pragma once

#include <array>
#include <complex>
#include <span>
#include <variant>

// The building blocks a filter's response is made of, each with its frequency-independent values
// worked out once. Only FilterResponse uses them; they live in a header because it holds them.

namespace namespaceOV::sections {

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

// First-order shelf: gain x (zero + j f) / (pole + j f).
struct Shelf {
  double zero;
  double pole;
  double gain;
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

// The CD horn's rise: (1 + j f / f0) once or twice.
struct HornRise {
  double f0;
  bool twice;
  Complex At(double f) const;
  double Magnitude(double f) const;
};

// `order` first-order digital allpass sections at 48 kHz.
struct DigitalAllpass {
  float coefficient;
  int order;
  Complex At(double f) const;
};

// Whichever of the above a filter is made of.
using AnySection =
    std::variant<Neutral, Peak, BoostCut, Shelf, Butterworth, Bessel, HornRise, DigitalAllpass>;

}  // namespace namespaceOV::sections
