#pragma once

#include <string>

namespace controls {

// How a level dialog's trackbar position stands for a unit's value: the same range, upside down
// when inverted (a vertical trackbar has its minimum at the top).
struct LevelScale {
  int minimum = 0;
  int maximum = 0;
  bool inverted = true;

  int ValueOf(int position) const { return inverted ? maximum - position : position; }
  int PositionOf(int value) const { return inverted ? maximum - value : value; }
};

// "%.1f dB" of value x scale + offset.
std::string DbText(int value, float scale, float offset);
// What a read-out shows for a value the unit did not give: never a figure it might take as read.
inline constexpr const char* kUnknownValue = "?";

// Two trackbars locked together: both move by the change of the one the user moved (the first when
// it moved), cut so that neither leaves the range; they keep their difference.
struct TrackPair {
  int first = 0;
  int second = 0;
  friend bool operator==(const TrackPair&, const TrackPair&) = default;
};
TrackPair LockedMove(TrackPair previous, TrackPair now, int minimum, int maximum);

}  // namespace controls
