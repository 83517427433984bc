#include <vector>

#include "platform/ui/Message.h"
#include "platform/ui/Resources.h"
#include "resources/CrossoverPictures.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace ovcrossover_res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;

// One crossover's row from `top`: its name and picture, type, frequency with its steps, and its
// slope.
void AddCrossoverRow(std::vector<ui::ControlTemplate>& controls, int top, const char* name,
                     int picture, int type, int frequency, int quad, int order, int slope) {
  controls.push_back({kNoId, ControlKind::Line, "", {4, top, 436, 26}});
  controls.push_back({kNoId, ControlKind::Static, name, {8, top + 9, 36, 9}});
  controls.push_back(
      {kNoId, ControlKind::Picture, "", {44, top + 7, 12, 12}, style::kNone, picture});
  controls.push_back(
      {type, ControlKind::ComboBox, "", {58, top + 7, 80, 60}, style::kDropDownList});
  controls.push_back({kNoId, ControlKind::Static, "Freq", {142, top + 9, 18, 9}});
  controls.push_back({frequency, ControlKind::Edit, "0", {162, top + 7, 40, 12}});
  controls.push_back({quad, ControlKind::OwnerDrawButton, "", {206, top + 5, 44, 16}});
  controls.push_back({kNoId, ControlKind::Static, "Slope", {262, top + 9, 22, 9}});
  controls.push_back({order, ControlKind::UpDown, "", {286, top + 5, 10, 16}});
  controls.push_back({slope, ControlKind::Static, "", {300, top + 9, 30, 9}});
}

}  // namespace

void RegisterFamilyOvCrossoverDialogs() {
  ui::Resources::AddImage(kLowCrossoverPicture, crossover_pictures::LowCrossoverPicture());
  ui::Resources::AddImage(kHighCrossoverPicture, crossover_pictures::HighCrossoverPicture());
  std::vector<ui::ControlTemplate> crossover;
  AddCrossoverRow(crossover, 2, "High Edge", kLowCrossoverPicture, kLowType, kLowFrequency,
                  kLowQuad, kLowOrder, kLowSlope);
  AddCrossoverRow(crossover, 32, "Low Edge", kHighCrossoverPicture, kHighType, kHighFrequency,
                  kHighQuad, kHighOrder, kHighSlope);
  crossover.push_back({kNoId, ControlKind::Static, "Polarity", {452, 12, 40, 9}, style::kCenter});
  crossover.push_back({kPolarity, ControlKind::OwnerDrawButton, "", {460, 26, 24, 24}});
  ui::Resources::AddDialog({kCrossoverDialog, "", {0, 0, 512, 63}, style::kChild, crossover});
  // The panes stand in a group window that the dialog sizes to them.
  ui::Resources::AddDialog(
      {kNetworkAssignmentDialog, "Networks", {0, 0, 230, 100}, style::kNone, {}});

  ui::Resources::AddDialog(
      {kMacroPropertiesDialog,
       "Macro properties",
       {0, 0, 198, 114},
       style::kNone,
       {{kNoId, ControlKind::Static, "Name", {12, 6, 28, 8}},
        {kMacroName, ControlKind::Edit, "", {12, 18, 172, 12}},
        {kNoId, ControlKind::Static, "Description", {12, 38, 38, 8}},
        {kMacroDescription, ControlKind::Edit, "", {12, 50, 172, 24}, style::kMultiLine},
        {ui::kIdOk, ControlKind::PushButton, "OK", {33, 90, 48, 16}, style::kDefault},
        {ui::kIdCancel, ControlKind::PushButton, "Cancel", {117, 90, 48, 16}}}});
}

}  // namespace ovcrossover_res
