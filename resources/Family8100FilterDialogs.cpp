#include <vector>

#include "platform/ui/Resources.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace f8100res {

namespace {

using ui::ControlKind;

constexpr int kNoId = -1;

// Two rows and, for the parametric filter, the bandwidth slider beside them with its labels
// under it: everything fits the bank editor's parameter strip.
enum Row { kFrequencyRow = 3, kLevelRow = 21 };
enum Column {
  kNameColumn = 3,
  kLabelColumn = 41,
  kEditColumn = 61,
  kQuadColumn = 91,
  kQColumn = 117,
  kSliderColumn = 166
};
constexpr int kDialogWidth = 240;
constexpr int kDialogHeight = 38;

void AddFrequency(std::vector<ui::ControlTemplate>& controls, bool editable) {
  controls.push_back(
      {kNoId, ControlKind::Static, "Freq:", {kLabelColumn, kFrequencyRow + 2, 20, 9}});
  if (!editable) {
    controls.push_back(
        {kFilterFixedFrequency, ControlKind::Static, "", {kEditColumn, kFrequencyRow + 2, 30, 9}});
    return;
  }
  controls.push_back(
      {kFilterFrequency, ControlKind::Edit, "", {kEditColumn, kFrequencyRow, 28, 12}});
  controls.push_back({kFilterFrequencyQuad,
                      ControlKind::OwnerDrawButton,
                      "",
                      {kQuadColumn, kFrequencyRow - 2, 24, 16}});
}

void AddLevel(std::vector<ui::ControlTemplate>& controls, bool invert) {
  controls.push_back({kNoId, ControlKind::Static, "Level:", {kLabelColumn, kLevelRow + 2, 20, 9}});
  controls.push_back({kFilterLevel, ControlKind::Edit, "", {kEditColumn, kLevelRow, 28, 12}});
  controls.push_back(
      {kFilterLevelQuad, ControlKind::OwnerDrawButton, "", {kQuadColumn, kLevelRow - 2, 24, 16}});
  if (invert) {
    controls.push_back(
        {kFilterInvert, ControlKind::PushButton, "Inv.", {kQColumn, kLevelRow, 24, 12}});
  }
}

// The type's name over its picture, the same picture as the bank editor's tool bar button.
ui::DialogTemplate FilterDialog(int id, const char* name, int picture,
                                std::vector<ui::ControlTemplate> rows) {
  rows.insert(rows.begin(),
              {{kNoId, ControlKind::Static, name, {kNameColumn, kFrequencyRow + 2, 36, 17}},
               {kFilterTypePicture,
                ControlKind::Picture,
                "",
                {kNameColumn, kLevelRow + 1, 12, 12},
                ui::style::kNone,
                picture}});
  return {id, "", {0, 0, kDialogWidth, kDialogHeight}, ui::style::kChild, std::move(rows)};
}

ui::DialogTemplate ParametricDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  AddLevel(controls, true);
  controls.push_back({kNoId, ControlKind::Static, "Q:", {kQColumn, kFrequencyRow + 2, 9, 9}});
  controls.push_back({kFilterQ, ControlKind::Edit, "", {kQColumn + 9, kFrequencyRow, 22, 12}});
  controls.push_back(
      {kNoId, ControlKind::Static, "Oct:", {kSliderColumn - 15, kFrequencyRow + 2, 15, 9}});
  controls.push_back({kFilterBandwidth,
                      ControlKind::Trackbar,
                      "",
                      {kSliderColumn, 0, kDialogWidth - kSliderColumn - 2, kDialogHeight}});
  return FilterDialog(kParametricDialog8100, "Parametric", ovfilter_res::kParametricButton,
                      std::move(controls));
}

ui::DialogTemplate BoostCutDialog() {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, false);
  AddLevel(controls, true);
  return FilterDialog(kBoostCutDialog8100, "Boost/cut", ovfilter_res::kBoostCutPicture,
                      std::move(controls));
}

ui::DialogTemplate PassDialog(int id, const char* name, int picture) {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  controls.push_back({kNoId, ControlKind::Static, "Slope", {kLabelColumn, kLevelRow + 2, 20, 9}});
  controls.push_back(
      {kFilterSlopeSpin, ControlKind::UpDown, "", {kEditColumn, kLevelRow - 2, 10, 16}});
  controls.push_back(
      {kFilterSlope, ControlKind::Static, "", {kEditColumn + 14, kLevelRow + 2, 24, 9}});
  return FilterDialog(id, name, picture, std::move(controls));
}

ui::DialogTemplate ShelfDialog(int id, const char* name, int picture) {
  std::vector<ui::ControlTemplate> controls;
  AddFrequency(controls, true);
  AddLevel(controls, false);
  return FilterDialog(id, name, picture, std::move(controls));
}

}  // namespace

void RegisterFamily8100FilterDialogs() {
  ui::Resources::AddDialog(ParametricDialog());
  ui::Resources::AddDialog(BoostCutDialog());
  ui::Resources::AddDialog(PassDialog(kLowpassDialog8100, "Lowpass", ovfilter_res::kLowpassButton));
  ui::Resources::AddDialog(
      PassDialog(kHighpassDialog8100, "Highpass", ovfilter_res::kHighpassButton));
  ui::Resources::AddDialog(
      ShelfDialog(kLowShelfDialog8100, "Low shelving", ovfilter_res::kLowShelfButton));
  ui::Resources::AddDialog(
      ShelfDialog(kHighShelfDialog8100, "High shelving", ovfilter_res::kHighShelfButton));
}

}  // namespace f8100res
