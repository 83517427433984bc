#pragma once

#include <span>

namespace familycommon {

// A pole of the Bessel low-pass with its -3 dB point at 1: the conjugate pair -a +- jb, or the
// single real pole -a when b is 0.
struct BesselPole {
  double a;
  double b;
};

inline constexpr int kMaxBesselOrder = 8;

// The poles of the Bessel low-pass of `order`: its conjugate pairs first, then for an odd order the
// real pole. Empty for an order outside 1 .. kMaxBesselOrder.
std::span<const BesselPole> BesselPolesOfOrder(int order);

}  // namespace familycommon
