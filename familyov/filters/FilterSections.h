#pragma once

#include "familycommon/FilterSections.h"

// The building blocks of the newer family's own filter classes, beside those in familycommon. Only
// FilterResponse uses them; they live in a header because it holds them.

namespace namespaceOV::sections {

using familycommon::sections::Complex;

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

}  // namespace namespaceOV::sections
