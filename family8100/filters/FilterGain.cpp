#include "family8100/filters/FilterGain.h"

namespace namespace8100 {
namespace {

// Gains alone. Well above its corner a high-pass filter is drawn flat, a high crossover further
// up; far below its corner a high-pass filter keeps a tiny gain (-600 dB) rather than none.
constexpr familycommon::ResponseRules kRules{.magnitudeOnly = true,
                                             .highpassFlatAbove = 10.0f,
                                             .highCrossoverFlatAbove = 100.0f,
                                             .highpassFloor = double{1e-30f}};

}  // namespace

FilterGain::FilterGain(const FilterShape& shape) : response_(shape, kRules) {}

float FilterGain::At(float frequencyHz) const { return response_.At(frequencyHz).magnitude; }

}  // namespace namespace8100
