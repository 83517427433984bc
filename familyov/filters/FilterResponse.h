#pragma once

#include <complex>
#include <cstdint>

#include "familyov/filters/FilterConversions.h"
#include "familyov/filters/FilterSections.h"
#include "familyov/filters/FilterTypeCodes.h"

// Frequency responses of the newer family's filters, on the analogue frequency axis in Hz (the
// allpass alone is modelled as the unit's digital section at 48 kHz).
//
// Every response is H(s) at s = j x 2 x pi x f with the ordinary sign convention: a low-pass lags
// (its phase falls from 0 at 0 Hz), a high-pass leads, a boost leads below its frequency. All
// types share it, so that phases add up and the complex sum of a crossover network is right.
//
// Parameters are untrusted (they come from units and files):
// - a non-finite level, Q or allpass coefficient makes the filter neutral: H = 1;
// - the filter frequency is clamped to kMinFilterFrequencyHz .. kMaxFilterFrequencyHz, the level
//   to kLevelFloorDb .. kLevelCeilingDb, Q to kMinQ .. kMaxQ, an order to 0 .. kMaxFilterOrder (0
//   and below leave the signal as it is), the allpass coefficient to -1 .. 1;
// - an unknown type code or crossover type is neutral;
// - the frequency asked for is clamped to 0 .. kMaxQueryFrequencyHz, NaN counting as 0 Hz.
// So every result is finite, and values inside those ranges get the exact formulas.

namespace namespaceOV {

inline constexpr int32_t kMinFilterFrequencyHz = 1;
// Half the units' 48 kHz sample rate; no filter sits above it.
inline constexpr int32_t kMaxFilterFrequencyHz = 24000;
inline constexpr float kMaxQueryFrequencyHz = 1.0e6f;
inline constexpr int32_t kMaxFilterOrder = 8;

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

// One evaluation: the linear gain the graphs plot and the complex response whose argument they
// plot as phase. The gain is the magnitude of the response except where the family defines it
// directly (the high-pass well above its corner, the CD horn, the allpass).
struct FilterEvaluation {
  float magnitude;
  std::complex<double> response;
};

// A filter's response made ready for evaluation at many frequencies: the parameters are checked
// and everything that does not depend on the frequency is worked out once.
class FilterResponse {
 public:
  explicit FilterResponse(const FilterShape& shape);

  FilterEvaluation At(float frequencyHz) const;

 private:
  sections::AnySection sections_;
  float frequencyHz_ = 1.0f;
  bool flatAboveTenTimesCorner_ = false;  // the highpass filter's gain shortcut
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
