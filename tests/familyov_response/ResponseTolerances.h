#pragma once

#include <cmath>
#include <complex>
#include <numbers>

inline constexpr double kMagnitudeToleranceDb = 0.001;
// The unit's single-precision pi moves phases by a few millionths of a radian.
inline constexpr double kPhaseToleranceRad = 1e-4;

inline double ToDb(double linear) { return 20.0 * std::log10(linear); }

// Difference of two phases taken the short way round the circle.
inline double PhaseDistance(double a, double b) {
  return std::abs(std::remainder(a - b, 2.0 * std::numbers::pi));
}
