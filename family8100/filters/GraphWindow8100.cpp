#include "family8100/filters/GraphWindow8100.h"

#include "family8100/filters/GraphIcons8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Window.h"

namespace namespace8100 {

std::string GraphCaption(const IQDevice8100& unit, const std::string& ending) {
  // A unit that does not answer leaves its window to open all the same, captioned by its name.
  return "Unit: '" + unit.ListTextOrName() + "'" + ending;
}

void BypassItemState(const TFilterIcon* selected, ui::CommandState& state) {
  state.enabled = selected != nullptr;
  state.text = selected && selected->Filter().bypass ? "Enable filter" : "Bypass filter";
}

void KeepGraphRect(const ui::Window& graph, ui::Rect& kept) {
  const ui::Window* topLevel = &graph;
  while (topLevel->Parent() != nullptr) topLevel = topLevel->Parent();
  if (topLevel->IsMinimized()) return;
  if (const ui::Rect client = graph.ClientRect(); !client.IsEmpty()) kept = client;
}

}  // namespace namespace8100
