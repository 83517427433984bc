#include "bench/Repeated.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace bench {

namespace {

// The figure a share `at` of the way up the sorted figures, between neighbours where it falls
// between two.
double At(const std::vector<double>& sorted, double at) {
  const double position = at * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(position);
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  const double fraction = position - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[above] - sorted[below]);
}

double MillisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

Spread SpreadOf(std::vector<double> figures) {
  if (figures.empty()) return {};
  std::ranges::sort(figures);
  return {.count = figures.size(),
          .median = At(figures, 0.5),
          .lowest = figures.front(),
          .highest = figures.back(),
          .lowerQuartile = At(figures, 0.25),
          .upperQuartile = At(figures, 0.75)};
}

Result MedianOfPairs(Result result, const std::vector<double>& measured,
                     const std::vector<double>& reference, FrameShare frameShare) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < std::min(measured.size(), reference.size()); ++i) {
    if (reference[i] > 0) ratios.push_back(measured[i] / reference[i]);
  }
  const Spread ratio = SpreadOf(ratios);
  result.measuredFigure = SpreadOf(measured).median;
  result.referenceFigure = SpreadOf(reference).median;
  char text[160];
  std::snprintf(text, sizeof text,
                "median of %zu runs each, the middle half of their ratios %.3f-%.3f", ratio.count,
                ratio.lowerQuartile, ratio.upperQuartile);
  result.detail = text;
  if (frameShare == FrameShare::kPrinted) {
    std::snprintf(text, sizeof text, ", %.3f of a 60 Hz frame", result.measuredFigure / kFrameMs);
    result.detail += text;
  }
  return result;
}

Result TimedInTurns(Result result, int runs, const std::function<void()>& work,
                    const std::function<void()>& reference, FrameShare frameShare) {
  std::vector<double> workMs;
  std::vector<double> referenceMs;
  for (int run = 0; run < runs; ++run) {
    workMs.push_back(MillisecondsOf(work));
    referenceMs.push_back(MillisecondsOf(reference));
  }
  return MedianOfPairs(std::move(result), workMs, referenceMs, frameShare);
}

}  // namespace bench
