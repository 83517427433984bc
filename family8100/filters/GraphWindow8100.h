#pragma once

#include <string>

#include "platform/ui/Commands.h"
#include "platform/ui/draw/Geometry.h"

namespace ui {
class Window;
}

namespace namespace8100 {

class IQDevice8100;
class TFilterIcon;

// "Unit: '<list text or name>'" and the graph's own ending, the caption of the graphs and of
// their printed pages.
std::string GraphCaption(const IQDevice8100& unit, const std::string& ending);

// The graphs' bypass item: greyed while no filter is selected, and naming what it would do to the
// selected one.
void BypassItemState(const TFilterIcon* selected, ui::CommandState& state);

// Keeps the graph's client rectangle in `kept` as the graph goes, for the unit's next opening of
// it. A graph in a minimised window, or pushed out of sight, leaves what was kept before.
void KeepGraphRect(const ui::Window& graph, ui::Rect& kept);

}  // namespace namespace8100
