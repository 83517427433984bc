#pragma once

// Level, Q and bandwidth conversions shared by the filter model, its dialogs and its graphs.
//
// Every argument may come from a unit or a file, so none is trusted: each conversion clamps its
// argument into the range stated here and treats NaN as the lower bound of that range, so the
// result is always finite. Arguments inside the ranges (which hold every value the editors can
// produce) get the exact formulas.

namespace familycommon {

// The level floor of both families; gains are never shown or converted below it.
inline constexpr float kLevelFloorDb = -100.0f;
// Far above any level a filter or editor allows, and still finite once converted to a float gain.
inline constexpr float kLevelCeilingDb = 100.0f;

inline constexpr float kMinQ = 0.01f;
inline constexpr float kMaxQ = 1000.0f;
inline constexpr float kMinBandwidthOctaves = 0.001f;
inline constexpr float kMaxBandwidthOctaves = 20.0f;

// 10^(dB / 20) with dB clamped to kLevelFloorDb .. kLevelCeilingDb.
float DbToLinear(double levelDb);

// 20 x log10(linear), never below kLevelFloorDb: zero, negative and NaN gains give the floor.
float LinearToDb(double linear);

// Bandwidth in octaves of a peak with quality factor `q` (clamped to kMinQ .. kMaxQ).
float QToBandwidth(float q);

// Quality factor of a peak `octaves` wide (clamped to kMinBandwidthOctaves ..
// kMaxBandwidthOctaves).
float BandwidthToQ(float octaves);

// Nearest integer; a tie goes up (2.5 -> 3, -2.5 -> -2). Values beyond the int range give its
// nearest end, NaN gives 0.
int RoundToInt(double x);

}  // namespace familycommon
