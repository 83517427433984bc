#pragma once

#include <optional>
#include <string>

// The arithmetic of the crossover dialog: orders an up-down step reaches, the sections a change
// adds, frequency steps and typed frequencies. Plain numbers, no unit.
namespace namespaceOV {

inline constexpr int kMinCrossoverHz = 20;
inline constexpr int kMaxCrossoverHz = 20000;
inline constexpr int kLowCrossoverDefaultHz = 2000;
inline constexpr int kHighCrossoverDefaultHz = 200;
inline constexpr int kDefaultCrossoverOrder = 2;
inline constexpr int kMaxCrossoverOrder = 8;

// The order an up-down control's step leads to: `delta` -1 for its up arrow, +1 for its down
// arrow. Butterworth and Bessel reach 1, 2, 3, 4, 8; Linkwitz-Riley 2, 4, 8.
int SteppedCrossoverOrder(int crossoverType, int order, int delta);
// The order a new crossover of `crossoverType` takes in place of `order`: Linkwitz-Riley
// alignments exist for even orders only.
int OrderForType(int crossoverType, int order);
// The DSP sections that going from `oldOrder` (0: no crossover) to `newOrder` adds; 0 when the
// change adds none.
int AddedCrossoverSections(int oldOrder, int newOrder);
// One press of a frequency quad button: quadrant 0 and 3 step by a decade below the frequency,
// 1 and 2 by one Hz, `steps` times; kept within 20 Hz .. 20 kHz.
int SteppedCrossoverFrequency(int frequency, int quadrant, int steps);
// A typed frequency ("1200", "1.5k"), clamped to minimum .. maximum and truncated to whole Hz;
// none for a text that holds no number.
std::optional<int> ParseFrequency(const std::string& text, int minimum, int maximum);

}  // namespace namespaceOV
