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
  controls.push_back({kNoId, ControlKind::Static, name, {6, top + 2, 24, 9}});
  controls.push_back(
      {alignment, ControlKind::ComboBox, "", {32, top, 80, 60}, style::kDropDownList});
  controls.push_back({frequency, ControlKind::Edit, "0", {118, top, 40, 12}});
  controls.push_back({quad, ControlKind::OwnerDrawButton, "", {162, top - 2, 44, 16}});
  controls.push_back({order, ControlKind::UpDown, "", {212, top - 2, 10, 16}});
  controls.push_back({slope, ControlKind::Static, "", {226, top + 2, 24, 9}});
  controls.push_back({polarity, ControlKind::OwnerDrawButton, "", {256, top - 2, 16, 16}});
}

}  // namespace

void RegisterFamily8100CrossoverDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddRow(controls, 6, "Left", kLowAlignment, kLowFrequency, kLowQuad, kLowOrder, kLowSlope,
         kLowPolarity);
  AddRow(controls, 28, "Right", kHighAlignment, kHighFrequency, kHighQuad, kHighOrder, kHighSlope,
         kHighPolarity);
  controls.push_back({kNoId, ControlKind::GroupBox, "Link", {280, 2, 40, 42}});
  controls.push_back({kCrossoverLink, ControlKind::OwnerDrawButton, "", {290, 16, 20, 20}});
  ui::Resources::AddDialog({kCrossoverDialog, "", {0, 0, 326, 48}, style::kChild, controls});
}

}  // namespace f8100res
