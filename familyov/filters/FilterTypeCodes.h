#pragma once

#include <cstdint>

#include "familycommon/FilterResponse.h"

namespace namespaceOV {

// Filter type codes as they travel to the unit and into files: the classes both families have keep
// the shared codes; codes 0 to 2 have no filter class.
enum FilterTypeCode : int32_t {
  kFilterUndefined = 0,
  kFilterReserved = 1,
  kFilterSubordinate = 2,
  kFilterParametric = familycommon::kParametricType,
  kFilterLowpass = familycommon::kLowpassType,
  kFilterHighpass = familycommon::kHighpassType,
  kFilterLowShelf = familycommon::kLowShelfType,
  kFilterHighShelf = familycommon::kHighShelfType,
  kFilterLowCrossover = familycommon::kLowCrossoverType,
  kFilterHighCrossover = familycommon::kHighCrossoverType,
  kFilterBoostCut = familycommon::kBoostCutType,
  kFilterCDHorn = 11,
  kFilterAllpass = 12,
};

// Alignment of a low or high crossover edge.
enum CrossoverType : int32_t {
  kCrossoverNone = familycommon::kAlignmentNone,
  kCrossoverButterworth = familycommon::kAlignmentButterworth,
  kCrossoverBessel = familycommon::kAlignmentBessel,
  kCrossoverLinkwitzRiley = familycommon::kAlignmentLinkwitzRiley,
};

}  // namespace namespaceOV
