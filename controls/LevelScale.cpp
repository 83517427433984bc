#include "controls/LevelScale.h"

#include <algorithm>
#include <cstdio>

namespace controls {

std::string DbText(int value, float scale, float offset) {
  char text[48];
  std::snprintf(text, sizeof text, "%.1f dB", value * scale + offset);
  return text;
}

TrackPair LockedMove(TrackPair previous, TrackPair now, int minimum, int maximum) {
  int d = now.first - previous.first;
  if (d == 0) d = now.second - previous.second;
  // Cut by the larger overshoot, so that both stay in range even when both would leave it.
  d = std::min({d, maximum - previous.first, maximum - previous.second});
  d = std::max({d, minimum - previous.first, minimum - previous.second});
  return {previous.first + d, previous.second + d};
}

}  // namespace controls
