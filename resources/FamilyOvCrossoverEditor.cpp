#include <utility>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvCrossoverEditorIds.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace ovcrossover_editor_res {

void RegisterCrossoverEditorResources() {
  using ovcrossover_res::kCmMacros;
  using ovcrossover_res::kCmNetworks;
  ui::Resources::AddMenu(
      kCrossoverEditorMenu,
      {{"&File", 0, {{"&Macros", kCmMacros, {}}}},
       {"&View", 0, {{"&Show network sum", kCmShowNetworkSum, {}}}},
       {"&Window", 0, {{"DSP &capacity", kCmDspCapacity, {}}, {"&Networks", kCmNetworks, {}}}}});
  const std::pair<int, const char*> hints[] = {
      {kCmMacros, "Open crossover macro dialog"},
      {kCmShowNetworkSum, "Show network sum on graph"},
      {kCmDspCapacity, "Display DSP capacity window"},
      {kCmNetworks, "Adjust crossover network assignment"},
  };
  for (const auto& [id, text] : hints) ui::Resources::AddString(kCrossoverEditorMenu, id, text);
}

}  // namespace ovcrossover_editor_res
