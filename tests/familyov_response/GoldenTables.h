#pragma once

#include <cstdint>

// Reference values written by make_golden.py (scipy.signal and textbook transfer functions).

struct GoldenResponse {
  int32_t typeCode;
  int32_t frequencyHz;
  float levelDb;
  float q;
  int32_t order;
  int32_t crossoverType;
  float atHz;
  double magnitudeDb;
  double phase;
};

// A low and a high crossover of the same type, order and frequency (1000 Hz) on two outputs of a
// network, the high one with the given polarity.
struct GoldenNetworkSum {
  int32_t crossoverType;
  int32_t order;
  float highPolarity;
  float atHz;
  double magnitudeDb;
  double phase;
};

struct GoldenQBandwidth {
  float q;
  double octaves;
};

#include "tests/familyov_response/golden/ResponseGolden.inc"
