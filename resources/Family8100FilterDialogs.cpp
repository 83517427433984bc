#include <vector>

#include "platform/ui/Resources.h"
#include "resources/Family8100FilterDialogIds.h"

namespace f8100res {

namespace {

using ui::ControlKind;

constexpr int kNoId = -1;

enum Row { kFrequencyRow = 4, kLevelRow = 22, kQRow = 40 };

void AddFrequency(std::vector<ui::ControlTemplate>& controls, bool editable) {
  controls.push_back({kNoId, ControlKind::Static, "Freq:", {70, kFrequencyRow + 2, 24, 9}});
  if (!editable) {
    controls.push_back(
        {kFilterFixedFrequency, ControlKind::Static, "", {96, kFrequencyRow + 2, 40, 9}});
    return;
  }
  controls.push_back({kFilterFrequency, ControlKind::Edit, "", {96, kFrequencyRow, 40, 12}});
  controls.push_back(
      {kFilterFrequencyQuad, ControlKind::OwnerDrawButton, "", {140, kFrequencyRow - 2, 44, 16}});
}

void AddLevel(std::vector<ui::ControlTemplate>& controls, bool invert) {
  controls.push_back({kNoId, ControlKind::Static, "Level:", {70, kLevelRow + 2, 24, 9}});
  controls.push_back({kFilterLevel, ControlKind::Edit, "", {96, kLevelRow, 40, 12}});
  controls.push_back(
      {kFilterLevelQuad, ControlKind::OwnerDrawButton, "", {140, kLevelRow - 2, 44, 16}});
  if (invert) {
    controls.push_back({kFilterInvert, ControlKind::PushButton, "Inv.", {188, kLevelRow, 24, 12}});
  }
}

ui::DialogTemplate FilterDialog(int id, const char* name, std::vector<ui::ControlTemplate> rows) {
  rows.insert(rows.begin(), {kNoId, ControlKind::Static, name, {4, kFrequencyRow + 2, 60, 9}});
  return {id, "", {0, 0, 330, 58}, ui::style::kChild, std::move(rows)};
}

ui::DialogTemplate ParametricDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  AddLevel(controls, true);
  controls.push_back({kNoId, ControlKind::Static, "Q:", {70, kQRow + 2, 24, 9}});
  controls.push_back({kFilterQ, ControlKind::Edit, "", {96, kQRow, 40, 12}});
  controls.push_back({kNoId, ControlKind::Static, "Oct:", {188, kFrequencyRow + 2, 20, 9}});
  controls.push_back({kFilterBandwidth, ControlKind::Trackbar, "", {210, kFrequencyRow, 116, 20}});
  return FilterDialog(kParametricDialog8100, "Parametric", std::move(controls));
}

ui::DialogTemplate BoostCutDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, false);
  AddLevel(controls, true);
  return FilterDialog(kBoostCutDialog8100, "Boost/cut", std::move(controls));
}

ui::DialogTemplate PassDialog(int id, const char* name) {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  controls.push_back({kNoId, ControlKind::Static, "Slope", {70, kLevelRow + 2, 24, 9}});
  controls.push_back({kFilterSlopeSpin, ControlKind::UpDown, "", {96, kLevelRow - 2, 10, 16}});
  controls.push_back({kFilterSlope, ControlKind::Static, "", {110, kLevelRow + 2, 24, 9}});
  return FilterDialog(id, name, std::move(controls));
}

ui::DialogTemplate ShelfDialog(int id, const char* name) {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  AddLevel(controls, false);
  return FilterDialog(id, name, std::move(controls));
}

}  // namespace

void RegisterFamily8100FilterDialogs() {
  ui::Resources::AddDialog(ParametricDialog());
  ui::Resources::AddDialog(BoostCutDialog());
  ui::Resources::AddDialog(PassDialog(kLowpassDialog8100, "Lowpass"));
  ui::Resources::AddDialog(PassDialog(kHighpassDialog8100, "Highpass"));
  ui::Resources::AddDialog(ShelfDialog(kLowShelfDialog8100, "Low shelving"));
  ui::Resources::AddDialog(ShelfDialog(kHighShelfDialog8100, "High shelving"));
}

}  // namespace f8100res
