#include "family8100/filters/GraphWindow8100.h"

#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

std::string GraphCaption(const IQDevice8100& unit, const std::string& ending) {
  // A unit that does not answer leaves its window to open all the same, captioned by its name.
  return "Unit: '" + unit.ListTextOrName() + "'" + ending;
}

}  // namespace namespace8100
