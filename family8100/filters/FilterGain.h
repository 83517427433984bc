#pragma once

#include "family8100/filters/FilterTypes.h"
#include "familycommon/FilterResponse.h"

// The older family's filter responses: gains alone, as its graphs and icons draw them, from
// familycommon's formulas under this family's rules. A filter's fields go in as a FilterShape
// (the shelf order in `shelfOrder`, the alignment in `alignment`); the checks on untrusted values
// are familycommon's. A Bessel crossover of an order above 8 is drawn as one of order 8.

namespace namespace8100 {

using familycommon::DbToLinear;
using familycommon::LinearToDb;
using FilterShape = familycommon::ResponseShape;

// A filter's gain made ready for evaluation at many frequencies.
class FilterGain {
 public:
  explicit FilterGain(const FilterShape& shape);

  // Linear gain at `frequencyHz`.
  float At(float frequencyHz) const;

 private:
  familycommon::FilterResponse response_;
};

inline float Magnitude(const FilterShape& shape, float frequencyHz) {
  return FilterGain(shape).At(frequencyHz);
}

}  // namespace namespace8100
