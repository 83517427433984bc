#include <string>
#include <vector>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace ovfilterdlg_res {

namespace {

using ui::ControlKind;
using Controls = std::vector<ui::ControlTemplate>;
namespace style = ui::style;

constexpr int kNoId = 0;
// Every parameter dialog fills the editor's parameter pane.
constexpr ui::DluBox kPaneBox{0, 0, 330, 36};

// The type's picture, the same as the editor's button that adds such a filter, and its name.
void AddPane(int id, const std::string& title, int picture, Controls controls) {
  controls.insert(controls.begin(),
                  {{kNoId, ControlKind::Picture, "", {4, 1, 12, 11}, style::kNone, picture},
                   {kNoId, ControlKind::Static, title, {18, 3, 70, 9}}});
  ui::Resources::AddDialog({id, "", kPaneBox, style::kChild, std::move(controls)});
}

// "Freq:", its edit and its quad button from (x, y).
void AddFrequency(Controls& controls, int x, int y) {
  controls.push_back({kNoId, ControlKind::Static, "Freq:", {x, y + 2, 18, 9}});
  controls.push_back({kFrequencyEdit, ControlKind::Edit, "", {x + 20, y, 32, 12}});
  controls.push_back({kFrequencyQuad, ControlKind::OwnerDrawButton, "", {x + 54, y - 2, 16, 16}});
}

void AddLevel(Controls& controls, int x, int y) {
  controls.push_back({kNoId, ControlKind::Static, "Level:", {x, y + 2, 20, 9}});
  controls.push_back({kLevelEdit, ControlKind::Edit, "", {x + 22, y, 28, 12}});
  controls.push_back({kLevelQuad, ControlKind::OwnerDrawButton, "", {x + 52, y - 2, 16, 16}});
}

void AddParametric() {
  Controls controls;
  AddFrequency(controls, 4, 16);
  AddLevel(controls, 78, 16);
  controls.push_back({kNoId, ControlKind::Static, "Q:", {152, 4, 10, 9}});
  controls.push_back({kQEdit, ControlKind::Edit, "", {164, 2, 26, 12}});
  controls.push_back({kNoId, ControlKind::Static, "BW:", {152, 20, 12, 9}});
  controls.push_back({kBandwidthEdit, ControlKind::Edit, "", {164, 18, 26, 12}});
  controls.push_back({kInvertButton, ControlKind::PushButton, "Inv.", {194, 18, 20, 12}});
  // The slider draws its own scale under it, from 4 octaves down to 1/70.
  controls.push_back({kNoId, ControlKind::Static, "Oct:", {196, 4, 18, 9}});
  controls.push_back({kBandwidthSlider, ControlKind::Trackbar, "", {214, 0, 114, 36}});
  AddPane(kParametricDialog, "Parametric", ovfilter_res::kParametricButton, std::move(controls));
}

void AddBoostCut() {
  Controls controls = {{kNoId, ControlKind::Static, "Freq:", {4, 18, 18, 9}},
                       {kFrequencyText, ControlKind::Static, "", {24, 18, 30, 9}}};
  AddLevel(controls, 60, 16);
  controls.push_back({kInvertButton, ControlKind::PushButton, "Inv.", {132, 16, 20, 12}});
  // Controls the boost/cut filter has no use for, kept as its resource has always held them.
  controls.push_back({kNoId, ControlKind::Static, "Q:", {158, 4, 10, 9}});
  controls.push_back({kQEdit, ControlKind::Edit, "", {170, 2, 26, 12}});
  controls.push_back({kFrequencyQuad, ControlKind::OwnerDrawButton, "", {176, 16, 16, 16}});
  controls.push_back({kNoId, ControlKind::Static, "Oct:", {200, 4, 16, 9}});
  controls.push_back({kBandwidthSlider, ControlKind::Trackbar, "", {218, 2, 108, 14}});
  static constexpr struct {
    const char* text;
    int x;
  } kScale[] = {{"2", 218}, {"1/3", 240}, {"1/6", 262}, {"1/20", 284}, {"1/30", 308}};
  for (const auto& [text, x] : kScale) {
    controls.push_back({kNoId, ControlKind::Static, text, {x, 18, 16, 8}});
  }
  AddPane(kOctaveDialog, "Boost/cut", ovfilter_res::kBoostCutPicture, std::move(controls));
}

void AddSlope(int id, const std::string& title, int picture) {
  Controls controls;
  AddFrequency(controls, 4, 16);
  controls.push_back({kNoId, ControlKind::Static, "Slope:", {80, 18, 22, 9}});
  controls.push_back({kSlopeText, ControlKind::Static, "", {104, 18, 16, 9}, style::kRight});
  controls.push_back({kOrderUpDown, ControlKind::UpDown, "", {122, 14, 10, 16}});
  AddPane(id, title, picture, std::move(controls));
}

void AddShelf(int id, const std::string& title, int picture) {
  Controls controls;
  AddFrequency(controls, 4, 16);
  AddLevel(controls, 78, 16);
  // A slope the shelving filters do not have, kept as their resources have always held it.
  controls.push_back({kNoId, ControlKind::Static, "Slope", {152, 18, 22, 9}});
  controls.push_back({kSlopeText, ControlKind::Static, "", {174, 18, 16, 9}, style::kRight});
  controls.push_back({kNoId, ControlKind::UpDown, "", {192, 14, 10, 16}});
  AddPane(id, title, picture, std::move(controls));
}

void AddTwoOrders(int id, const std::string& title, const std::string& label,
                  const std::string& first, const std::string& second) {
  // The correction and the allpass share the allpass picture.
  Controls controls;
  AddFrequency(controls, 4, 16);
  controls.push_back({kNoId, ControlKind::Static, label, {80, 4, 30, 9}});
  controls.push_back(
      {kFirstOrderRadio, ControlKind::RadioButton, first, {80, 14, 50, 10}, style::kGroup});
  controls.push_back({kSecondOrderRadio, ControlKind::RadioButton, second, {80, 24, 50, 10}});
  AddPane(id, title, ovfilter_res::kAllpassButton, std::move(controls));
}

void AddOctaveMacro() {
  ui::Resources::AddDialog(
      {kOctaveMacroDialog,
       "Create octave filters",
       {0, 0, 180, 104},
       style::kNone,
       {{kNoId, ControlKind::Static, "Create filters on ISO centers between:", {8, 6, 164, 9}},
        {kStartEdit, ControlKind::Edit, "", {8, 20, 36, 12}},
        {kStartQuad, ControlKind::OwnerDrawButton, "", {46, 18, 16, 16}},
        {kNoId, ControlKind::Static, "and", {68, 22, 16, 9}},
        {kStopEdit, ControlKind::Edit, "", {88, 20, 36, 12}},
        {kStopQuad, ControlKind::OwnerDrawButton, "", {126, 18, 16, 16}},
        {kNoId, ControlKind::Static, "Spacing:", {8, 44, 30, 9}},
        {kSpacingCombo, ControlKind::ComboBox, "", {40, 42, 60, 60}, style::kDropDownList},
        {kNoId, ControlKind::Static, "Q:", {108, 44, 10, 9}},
        {kOctaveQEdit, ControlKind::Edit, "", {120, 42, 26, 12}},
        {kOctaveQQuad, ControlKind::OwnerDrawButton, "", {148, 40, 16, 16}},
        {ui::kIdOk, ControlKind::PushButton, "OK", {36, 80, 50, 14}, style::kDefault},
        {ui::kIdCancel, ControlKind::PushButton, "Cancel", {94, 80, 50, 14}}}});
}

void AddLinkPanes() {
  ui::Resources::AddDialog({kAllNoneDialog,
                            "",
                            {0, 0, 120, 22},
                            style::kChild,
                            {{kNoId, ControlKind::GroupBox, "", {2, 0, 116, 21}},
                             {kLinkAll, ControlKind::PushButton, "All", {8, 5, 48, 13}},
                             {kLinkNone, ControlKind::PushButton, "None", {64, 5, 48, 13}}}});
  ui::Resources::AddDialog({kChannelLinkDialog,
                            "",
                            {0, 0, 120, 14},
                            style::kChild,
                            {{kLinkCheck, ControlKind::CheckBox, "", {8, 2, 108, 10}}}});
}

}  // namespace

void RegisterFilterDialogs() {
  ui::Resources::AddDialog({kStubDialog, "", kPaneBox, style::kChild, {}});
  AddParametric();
  AddBoostCut();
  AddSlope(kLowpassDialog, "Lowpass", ovfilter_res::kLowpassButton);
  AddSlope(kHighpassDialog, "Highpass", ovfilter_res::kHighpassButton);
  AddShelf(kLowshelfDialog, "Low shelving", ovfilter_res::kLowShelfButton);
  AddShelf(kHighshelfDialog, "High shelving", ovfilter_res::kHighShelfButton);
  AddTwoOrders(kCDHornDialog, "CD Horn Correction", "Slope:", "6 dB/oct", "12 dB/oct");
  AddTwoOrders(kAllpassDialog, "Allpass", "Order:", "1", "2");
  AddOctaveMacro();
  AddLinkPanes();
}

}  // namespace ovfilterdlg_res
