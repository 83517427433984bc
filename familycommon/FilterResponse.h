#pragma once

#include <complex>
#include <cstdint>

#include "familycommon/FilterConversions.h"
#include "familycommon/FilterSections.h"

// Frequency responses of the filter classes both families have, on the analogue frequency axis in
// Hz, with each family's deliberate differences as rules.
//
// Every response is H(s) at s = j x 2 x pi x f with the ordinary sign convention: a low-pass lags
// (its phase falls from 0 at 0 Hz), a high-pass leads, a boost leads below its frequency. All
// types share it, so that phases add up and the complex sum of a crossover network is right.
//
// Parameters are untrusted (they come from units and files):
// - a non-finite level or Q makes the filter neutral: H = 1;
// - the filter frequency is clamped to kMinFilterFrequencyHz .. kMaxFilterFrequencyHz, the level
//   to kLevelFloorDb .. kLevelCeilingDb, Q to kMinQ .. kMaxQ, an order to 0 .. kMaxFilterOrder (0
//   and below leave the signal as it is), a shelf order to 1 .. kMaxFilterOrder;
// - an unknown type code or crossover alignment is neutral;
// - the frequency asked for is clamped to 0 .. kMaxQueryFrequencyHz, NaN counting as 0 Hz.
// So every result is finite, and values inside those ranges get the exact formulas.

namespace familycommon {

inline constexpr int32_t kMinFilterFrequencyHz = 1;
// Half the units' 48 kHz sample rate; no filter sits above it.
inline constexpr int32_t kMaxFilterFrequencyHz = 24000;
inline constexpr float kMaxQueryFrequencyHz = 1.0e6f;
inline constexpr int32_t kMaxFilterOrder = 8;

// The filter classes both families have, under the type codes both send to their units and write
// to files.
enum SharedFilterType : int32_t {
  kParametricType = 3,
  kLowpassType = 4,
  kHighpassType = 5,
  kLowShelfType = 6,
  kHighShelfType = 7,
  kLowCrossoverType = 8,
  kHighCrossoverType = 9,
  kBoostCutType = 10,
};

// Alignment of a low or high crossover edge, as both families number it.
enum CrossoverAlignment : int32_t {
  kAlignmentNone = 0,
  kAlignmentButterworth = 1,
  kAlignmentBessel = 2,
  kAlignmentLinkwitzRiley = 3,
};

// What the response of one filter depends on. Fields a type does not use are ignored.
struct ResponseShape {
  int32_t typeCode = 0;  // a SharedFilterType; any other code is neutral
  int32_t frequencyHz = 1000;
  float levelDb = 0.0f;    // parametric, boost/cut, shelves
  float q = 1.0f;          // parametric, boost/cut
  int32_t order = 1;       // lowpass, highpass, crossovers
  int32_t shelfOrder = 1;  // shelves: how many equal sections share the level
  int32_t alignment = kAlignmentNone;
};

// How a family draws its filters.
struct ResponseRules {
  // Gains alone, the Butterworth and Linkwitz-Riley ones in closed form: 1 / (1 + (f/f0)^N) for a
  // Linkwitz-Riley low-pass of order N, whatever its parity. The response carries the gain as a
  // real number (no phase).
  bool magnitudeOnly = false;
  // Above these ratios of frequency to the filter's frequency a high-pass filter or a high
  // crossover is drawn flat (gain exactly 1; the phase is kept); 0 for never.
  float highpassFlatAbove = 10.0f;
  float highCrossoverFlatAbove = 0.0f;
  // Gains alone: a high-pass filter whose power (f/f0)^(2N) falls below this floor is given the
  // floor as its gain; 0 for none.
  double highpassFloor = 0.0;
};

// One evaluation: the linear gain the graphs plot and the complex response whose argument they
// plot as phase. The gain is the magnitude of the response except where the rules define it
// directly.
struct FilterEvaluation {
  float magnitude;
  std::complex<double> response;
};

// The frequency asked for, made safe for the formulas.
float ClampedQueryFrequency(float frequencyHz);

// A filter's response made ready for evaluation at many frequencies: the parameters are checked
// and everything that does not depend on the frequency is worked out once.
class FilterResponse {
 public:
  FilterResponse() = default;  // neutral
  FilterResponse(const ResponseShape& shape, const ResponseRules& rules);

  FilterEvaluation At(float frequencyHz) const;

 private:
  sections::AnySection sections_;
  float frequencyHz_ = 1.0f;
  float flatAbove_ = 0.0f;
  bool magnitudeOnly_ = false;
};

}  // namespace familycommon
