#pragma once

#include <optional>
#include <string>

#include "familyov/unit/OVCodecs.h"

// The texts of a channel's level and delay, and the parsing of what the user types, as plain
// functions: the level and delay windows and the unit summary's panes share them.
namespace namespaceOV {

// The levels a channel side can take, and the trackbar that shows them: position 0 is the
// maximum, each position one step lower.
struct LevelRange {
  float minimum;
  float maximum;
  float step;

  // The trackbar's last position (its first is 0).
  int Positions() const;
  int PositionOf(float dB) const;  // of a snapped level; clamped to the trackbar
  float LevelAt(int position) const;
  float Clamp(float dB) const;
};

inline constexpr LevelRange kInputLevelRange{0.0f, 24.0f, 0.5f};
inline constexpr LevelRange kOutputLevelRange{-80.0f, 24.0f, 0.5f};

// The nearest multiple of `step`, a tie going away from zero (1.25 dB shows as 1.5, -1.25 as -1.5).
float SnapLevel(float dB, float step);
// "%.1f".
std::string LevelText(float dB);
// A typed level: the number at the start of the text, clamped to the range; none when the text
// holds no finite number, so that nothing is written.
std::optional<float> ParseLevel(const std::string& text, const LevelRange& range);

// "ms", "ft" or "m" (DelayUnits); empty for an unknown unit.
std::string DelayUnitSymbol(int units);
// The delay as "%.3f" in the display unit followed by its name ("2.000 ms" for 96 samples).
std::string DelayText(int samples, int units);
// A typed delay in samples: a unit written after the number ("ms", "m", "ft", "f") overrides the
// display unit for this entry only. The number must be finite; the result is rounded to the
// nearest sample (a tie going up) and clamped to 0 .. `capacity`. None when the text has no
// number at its start, so that nothing is written.
std::optional<int> ParseDelay(const std::string& text, int displayUnits, int capacity);

}  // namespace namespaceOV
