#include <vector>

#include "platform/ui/Resources.h"
#include "resources/CrossoverPictures.h"
#include "resources/Family8100CrossoverIds.h"

namespace f8100res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = -1;

// Left of a row's controls: its name, then its picture.
constexpr int kRowControlsLeft = 46;

// One crossover's row from `top`: its name and picture, alignment, frequency with its steps, slope
// and the polarity of the output it feeds.
void AddRow(std::vector<ui::ControlTemplate>& controls, int top, const char* name, int picture,
            int alignment, int frequency, int quad, int order, int slope, int polarity) {
  constexpr int x = kRowControlsLeft;
  controls.push_back({kNoId, ControlKind::Static, name, {4, top + 2, 22, 9}});
  controls.push_back(
      {kNoId, ControlKind::Picture, "", {26, top - 1, 16, 12}, style::kNone, picture});
  controls.push_back(
      {alignment, ControlKind::ComboBox, "", {x, top, 68, 60}, style::kDropDownList});
  controls.push_back({frequency, ControlKind::Edit, "0", {x + 71, top, 30, 12}});
  controls.push_back({quad, ControlKind::OwnerDrawButton, "", {x + 103, top - 2, 24, 16}});
  controls.push_back({order, ControlKind::UpDown, "", {x + 130, top - 2, 10, 16}});
  controls.push_back({slope, ControlKind::Static, "", {x + 142, top + 2, 16, 9}});
  controls.push_back({polarity, ControlKind::OwnerDrawButton, "", {x + 160, top - 2, 16, 16}});
}

}  // namespace

void RegisterFamily8100CrossoverDialog() {
  ui::Resources::AddImage(kLowCrossoverPicture, crossover_pictures::LowCrossoverPicture());
  ui::Resources::AddImage(kHighCrossoverPicture, crossover_pictures::HighCrossoverPicture());
  std::vector<ui::ControlTemplate> controls;
  AddRow(controls, 6, "Left", kLowCrossoverPicture, kLowAlignment, kLowFrequency, kLowQuad,
         kLowOrder, kLowSlope, kLowPolarity);
  AddRow(controls, 28, "Right", kHighCrossoverPicture, kHighAlignment, kHighFrequency, kHighQuad,
         kHighOrder, kHighSlope, kHighPolarity);
  constexpr int kLinkLeft = kRowControlsLeft + 180;
  controls.push_back({kNoId, ControlKind::GroupBox, "Link", {kLinkLeft, 2, 32, 42}});
  controls.push_back(
      {kCrossoverLink, ControlKind::OwnerDrawButton, "", {kLinkLeft + 6, 16, 20, 20}});
  // Narrow enough for the crossover window at its first size.
  ui::Resources::AddDialog(
      {kCrossoverDialog, "", {0, 0, kLinkLeft + 34, 48}, style::kChild, controls});
}

}  // namespace f8100res
