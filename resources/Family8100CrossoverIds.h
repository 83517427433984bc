#pragma once

// The older family's crossover dialog: its resource and its controls' ids.
namespace f8100res {

inline constexpr int kCrossoverDialog = 35;
inline constexpr int kLowAlignment = 101;
inline constexpr int kHighFrequency = 102;
inline constexpr int kLowOrder = 103;
inline constexpr int kHighOrder = 104;
inline constexpr int kLowPolarity = 105;
inline constexpr int kHighPolarity = 106;
inline constexpr int kHighAlignment = 107;
inline constexpr int kCrossoverLink = 108;
inline constexpr int kHighQuad = 110;
inline constexpr int kLowQuad = 111;
inline constexpr int kLowFrequency = 301;
inline constexpr int kHighSlope = 320;
inline constexpr int kLowSlope = 321;
// The rows' pictures: the low crossover's falling response, the high crossover's rising one.
inline constexpr int kLowCrossoverPicture = 81017;
inline constexpr int kHighCrossoverPicture = 81018;

void RegisterFamily8100CrossoverDialog();

}  // namespace f8100res
