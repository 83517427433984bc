#pragma once

#include <string>

namespace namespace8100 {

class IQDevice8100;

// "Unit: '<list text or name>'" and the graph's own ending, the caption of the graphs and of
// their printed pages.
std::string GraphCaption(const IQDevice8100& unit, const std::string& ending);

}  // namespace namespace8100
