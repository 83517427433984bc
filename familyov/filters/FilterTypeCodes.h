#pragma once

#include <cstdint>

namespace namespaceOV {

// Filter type codes as they travel to the unit and into files. Codes 0 to 2 have no filter class.
enum FilterTypeCode : int32_t {
  kFilterUndefined = 0,
  kFilterReserved = 1,
  kFilterSubordinate = 2,
  kFilterParametric = 3,
  kFilterLowpass = 4,
  kFilterHighpass = 5,
  kFilterLowShelf = 6,
  kFilterHighShelf = 7,
  kFilterLowCrossover = 8,
  kFilterHighCrossover = 9,
  kFilterBoostCut = 10,
  kFilterCDHorn = 11,
  kFilterAllpass = 12,
};

// Alignment of a low or high crossover edge.
enum CrossoverType : int32_t {
  kCrossoverNone = 0,
  kCrossoverButterworth = 1,
  kCrossoverBessel = 2,
  kCrossoverLinkwitzRiley = 3,
};

}  // namespace namespaceOV
