#pragma once

#include "sim/Unit.h"

namespace sim {

// A unit with no special objects: every object is a plain stored value.
class GenericUnit final : public Unit {
 public:
  using Unit::Unit;
};

}  // namespace sim
