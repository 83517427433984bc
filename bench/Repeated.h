#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "bench/BenchLine.h"

namespace bench {

inline constexpr double kFrameMs = 1000.0 / 60.0;

// The median of repeated figures and how far they spread.
struct Spread {
  std::size_t count = 0;
  double median = 0;
  double lowest = 0;
  double highest = 0;
  // The middle half of the figures lies between the quartiles.
  double lowerQuartile = 0;
  double upperQuartile = 0;
};

// All zero for no figures.
Spread SpreadOf(std::vector<double> figures);

enum class FrameShare { kPrinted, kLeftOut };

// `result` with the medians of `measured` and `reference` as its figures: pairs taken one right
// after the other, so that both of a pair met the same load on the machine. The detail says how
// many pairs there were and where the middle half of the pairs' own ratios lies, and, where asked,
// the measured median's share of a 60 Hz frame.
Result MedianOfPairs(Result result, const std::vector<double>& measured,
                     const std::vector<double>& reference, FrameShare frameShare);

// The milliseconds of `runs` runs each of `work` and `reference`, taken in turns, as
// MedianOfPairs holds them.
Result TimedInTurns(Result result, int runs, const std::function<void()>& work,
                    const std::function<void()>& reference, FrameShare frameShare);

}  // namespace bench
