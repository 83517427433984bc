#include <vector>

#include "platform/ui/Resources.h"
#include "resources/Family8100CrossoverIds.h"

namespace f8100res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = -1;

// One crossover's row from `top`: its name, alignment, frequency with its steps, slope and the
// polarity of the output it feeds.
void AddRow(std::vector<ui::ControlTemplate>& controls, int top, const char* name, int alignment,
            int frequency, int quad, int order, int slope, int polarity) {
  controls.push_back({kNoId, ControlKind::Static, name, {4, top + 2, 22, 9}});
  controls.push_back(
      {alignment, ControlKind::ComboBox, "", {28, top, 68, 60}, style::kDropDownList});
  controls.push_back({frequency, ControlKind::Edit, "0", {99, top, 30, 12}});
  controls.push_back({quad, ControlKind::OwnerDrawButton, "", {131, top - 2, 24, 16}});
  controls.push_back({order, ControlKind::UpDown, "", {158, top - 2, 10, 16}});
  controls.push_back({slope, ControlKind::Static, "", {170, top + 2, 16, 9}});
  controls.push_back({polarity, ControlKind::OwnerDrawButton, "", {188, top - 2, 16, 16}});
}

}  // namespace

void RegisterFamily8100CrossoverDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddRow(controls, 6, "Left", kLowAlignment, kLowFrequency, kLowQuad, kLowOrder, kLowSlope,
         kLowPolarity);
  AddRow(controls, 28, "Right", kHighAlignment, kHighFrequency, kHighQuad, kHighOrder, kHighSlope,
         kHighPolarity);
  controls.push_back({kNoId, ControlKind::GroupBox, "Link", {208, 2, 32, 42}});
  controls.push_back({kCrossoverLink, ControlKind::OwnerDrawButton, "", {214, 16, 20, 20}});
  // Narrow enough for the crossover window at its first size.
  ui::Resources::AddDialog({kCrossoverDialog, "", {0, 0, 242, 48}, style::kChild, controls});
}

}  // namespace f8100res
