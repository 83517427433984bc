#include "family8100/filters/GraphWindow8100.h"

#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

std::string GraphCaption(const IQDevice8100& unit, const std::string& ending) {
  std::string name;
  if (!unit.GetListText(name)) name = unit.GetName();
  return "Unit: '" + name + "'" + ending;
}

}  // namespace namespace8100
