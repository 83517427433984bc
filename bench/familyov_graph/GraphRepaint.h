#pragma once

#include <algorithm>
#include <vector>

#include "bench/PacedBus.h"
#include "platform/ui/DrawnWindow.h"

namespace bench {

// The median of `repaints` full repaints of a response graph, in milliseconds, so that other
// programs on the machine do not decide the figure.
inline double MedianRepaintMs(ui::DrawnWindow& graph, int repaints) {
  std::vector<double> times;
  for (int i = 0; i < repaints; ++i) {
    const auto start = Clock::now();
    graph.Invalidate();
    graph.UpdateNow();
    times.push_back(Ms(Clock::now() - start).count());
  }
  std::ranges::nth_element(times, times.begin() + repaints / 2);
  return times[static_cast<std::size_t>(repaints / 2)];
}

}  // namespace bench
