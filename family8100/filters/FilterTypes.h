#pragma once

#include <cstdint>

#include "familycommon/FilterResponse.h"

namespace namespace8100 {

// Filter type ids, as the unit and the settings file carry them.
enum FilterType : int32_t {
  kParametricFilter = familycommon::kParametricType,
  kLowpassFilter = familycommon::kLowpassType,
  kHighpassFilter = familycommon::kHighpassType,
  kLowShelfFilter = familycommon::kLowShelfType,
  kHighShelfFilter = familycommon::kHighShelfType,
  kLowCrossoverFilter = familycommon::kLowCrossoverType,
  kHighCrossoverFilter = familycommon::kHighCrossoverType,
  kBoostCutFilter = familycommon::kBoostCutType,
};

using familycommon::CrossoverAlignment;
using familycommon::kAlignmentBessel;
using familycommon::kAlignmentButterworth;
using familycommon::kAlignmentLinkwitzRiley;
using familycommon::kAlignmentNone;

}  // namespace namespace8100
