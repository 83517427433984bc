#pragma once

#include <array>

namespace namespace8100 {

// What one response graph of a unit shows, kept by the unit so that a graph opened again comes
// back the same. Views 1 to 4 are the banks' frequency graphs, view 5 the crossover graph.
struct GraphView8100 {
  bool verticalZoom = false;
  bool horizontalZoom = false;
  bool showBypassTrace = false;
  bool liveWrite = true;   // a drag writes each step to the unit
  bool liveRedraw = true;  // a drag redraws the sum at each step
  // Another bank's filters drawn into this view's sum, by bank number 1 to 4.
  std::array<bool, 5> overlay{};
};

inline constexpr int kCrossoverView = 5;
using GraphViews8100 = std::array<GraphView8100, kCrossoverView + 1>;

}  // namespace namespace8100
