#pragma once

#include <complex>
#include <cstdint>
#include <variant>

#include "familycommon/FilterResponse.h"
#include "familyov/filters/FilterSections.h"
#include "familyov/filters/FilterTypeCodes.h"

// Frequency responses of the newer family's filters, on the analogue frequency axis in Hz (the
// allpass alone is modelled as the unit's digital section at 48 kHz). The classes both families
// have are answered by familycommon's FilterResponse under this family's rules; see there for the
// sign convention and how untrusted parameters are checked. Here, too, a non-finite allpass
// coefficient makes any filter neutral, and the allpass coefficient is clamped to -1 .. 1.

namespace namespaceOV {

using familycommon::BandwidthToQ;
using familycommon::DbToLinear;
using familycommon::FilterEvaluation;
using familycommon::kLevelCeilingDb;
using familycommon::kLevelFloorDb;
using familycommon::kMaxFilterFrequencyHz;
using familycommon::kMaxFilterOrder;
using familycommon::kMaxQ;
using familycommon::kMaxQueryFrequencyHz;
using familycommon::kMinFilterFrequencyHz;
using familycommon::kMinQ;
using familycommon::LinearToDb;
using familycommon::QToBandwidth;
using familycommon::RoundToInt;

// What the response of one filter depends on. Fields a type does not use are ignored.
struct FilterShape {
  int32_t typeCode = kFilterUndefined;
  int32_t frequencyHz = 1000;
  float levelDb = 0.0f;  // parametric, boost/cut, shelves
  float q = 1.0f;        // parametric, boost/cut
  int32_t order = 1;     // lowpass, highpass, CD horn, allpass, crossovers
  int32_t crossoverType = kCrossoverNone;
  float allpassCoefficient = 0.0f;  // from ComputeAllpassCoefficients
};

// A filter's response made ready for evaluation at many frequencies: the parameters are checked
// and everything that does not depend on the frequency is worked out once.
class FilterResponse {
 public:
  explicit FilterResponse(const FilterShape& shape);

  FilterEvaluation At(float frequencyHz) const;

 private:
  std::variant<familycommon::FilterResponse, sections::HornRise, sections::DigitalAllpass>
      response_;
};

inline FilterEvaluation Evaluate(const FilterShape& shape, float frequencyHz) {
  return FilterResponse(shape).At(frequencyHz);
}

inline float Magnitude(const FilterShape& shape, float frequencyHz) {
  return Evaluate(shape, frequencyHz).magnitude;
}
inline std::complex<double> Response(const FilterShape& shape, float frequencyHz) {
  return Evaluate(shape, frequencyHz).response;
}
// Phase in radians, -pi .. pi.
inline float Phase(const FilterShape& shape, float frequencyHz) {
  return static_cast<float>(std::arg(Response(shape, frequencyHz)));
}

// The digital allpass section's values, derived from its frequency.
struct AllpassCoefficients {
  float coefficient;
  float tangentTerm;
  float normalisedFrequency;  // radians per sample at 48 kHz
};

AllpassCoefficients ComputeAllpassCoefficients(int32_t frequencyHz);

}  // namespace namespaceOV
