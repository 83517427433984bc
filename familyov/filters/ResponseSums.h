#pragma once

#include <complex>
#include <span>

#include "familyov/filters/FilterResponse.h"

// The sums the response graphs draw: the cumulative response of a channel's filters and the
// complex sum of a crossover network's outputs.

namespace namespaceOV {

// Adds `phase` to a running phase sum and folds the result back by one turn when it leaves
// -pi .. pi, so that a sum of phases each within -pi .. pi stays within it: how curves of single
// filters' phases are summed point by point.
float AddWrappedPhase(float sum, float phase);

struct ResponsePoint {
  float magnitude;  // linear gain
  float phase;      // radians, -pi .. pi
};

// Cumulative response of filters in series at each of `frequenciesHz`: the product of their gains
// and the phase of the product of their responses (the folded sum of their phases). The caller
// leaves out bypassed filters; no filters gives gain 1, phase 0. Fills the first
// min(frequencies, out) points of `out`.
void ChannelCurve(std::span<const FilterShape> filters, std::span<const float> frequenciesHz,
                  std::span<ResponsePoint> out);

// One output of a crossover network: its low and high crossover (either may be absent) and the
// output's polarity as the unit holds it (+1.0 or -1.0; any negative value counts as inverted,
// anything else, NaN included, as normal).
struct CrossoverOutput {
  const FilterShape* low = nullptr;
  const FilterShape* high = nullptr;
  float polarity = 1.0f;
};

// +1 or -1 for a polarity as the unit holds it: any negative value counts as inverted, anything
// else, NaN included, as normal, so that a damaged value never spoils a whole sum.
double PolaritySign(float polarity);

// Complex sum of the outputs' responses, each the product of its crossovers times its polarity.
// Outputs without crossovers add nothing. A sum smaller than a tiny floor is given the floor, so
// that the gain of an empty or fully cancelling network stays a finite number of dB.
std::complex<double> NetworkSum(std::span<const CrossoverOutput> outputs, float frequencyHz);

}  // namespace namespaceOV
