#pragma once

#include <algorithm>
#include <type_traits>

namespace controls {

// `value` moved by `count` steps of `step`, kept to [low, high]. A spin button held long enough
// steps by more than an int holds (its step doubles up to 1 << 30): the sum is taken wide, so the
// value stops at the end of its range instead of wrapping round past it.
template <typename T>
T SteppedWithin(T value, T step, int count, T low, T high) {
  static_assert(std::is_arithmetic_v<T>);
  using Wide = std::conditional_t<std::is_integral_v<T>, long long, double>;
  static_assert(sizeof(T) <= 4, "the wide sum holds an int's step times an int's count");
  const Wide stepped = Wide{value} + Wide{step} * static_cast<Wide>(count);
  return static_cast<T>(std::clamp<Wide>(stepped, Wide{low}, Wide{high}));
}

}  // namespace controls
