#include <string>
#include <vector>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvProcessingIds.h"

namespace ovprocessing_res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;

void AddCompressorPane() {
  ui::Resources::AddDialog(
      {kCompressorPane,
       "",
       {0, 0, 104, 150},
       style::kChild,
       {{kCompCaption, ControlKind::GroupBox, "Channel", {2, 2, 100, 146}},
        {kNoId, ControlKind::Static, "Threshold", {8, 13, 50, 9}},
        {kCompThreshold, ControlKind::Edit, "", {8, 24, 40, 12}},
        {kCompThresholdSpin, ControlKind::OwnerDrawButton, "", {52, 21, 18, 18}},
        {kNoId, ControlKind::Static, "Post gain", {8, 42, 50, 9}},
        {kCompPostGain, ControlKind::Edit, "", {8, 53, 40, 12}},
        {kCompPostGainSpin, ControlKind::OwnerDrawButton, "", {52, 50, 18, 18}},
        {kNoId, ControlKind::Static, "Ratio", {8, 71, 30, 9}},
        {kCompRatioText, ControlKind::Static, "1:1", {50, 71, 40, 9}},
        {kCompRatio, ControlKind::Trackbar, "", {6, 80, 92, 14}, style::kAutoTicks},
        {kNoId, ControlKind::Static, "Speed", {8, 97, 30, 9}},
        {kCompSpeedText, ControlKind::Static, "20uS", {50, 97, 40, 9}},
        {kCompSpeed, ControlKind::Trackbar, "", {6, 106, 92, 14}, style::kAutoTicks},
        {kNoId, ControlKind::Static, "Knee", {8, 123, 22, 9}},
        {kCompSoft, ControlKind::RadioButton, "Soft", {32, 122, 30, 10}, style::kGroup},
        {kCompHard, ControlKind::RadioButton, "Hard", {64, 122, 30, 10}},
        {kCompGang, ControlKind::CheckBox, "Gang -->", {8, 134, 60, 10}, style::kGroup}}});
}

void AddLimiterPane() {
  ui::Resources::AddDialog(
      {kLimiterPane,
       "",
       {0, 0, 104, 124},
       style::kChild,
       {{kLimCaption, ControlKind::GroupBox, "1", {2, 2, 100, 120}},
        {kLimEnable, ControlKind::CheckBox, "Enable", {8, 13, 50, 10}},
        {kNoId, ControlKind::Static, "Threshold", {8, 27, 50, 9}},
        {kLimThreshold, ControlKind::Edit, "", {8, 38, 40, 12}},
        {kLimThresholdSpin, ControlKind::OwnerDrawButton, "", {52, 35, 18, 18}},
        {kNoId, ControlKind::Static, "Knee :", {8, 57, 24, 9}},
        {kLimSoft, ControlKind::RadioButton, "Soft", {34, 56, 30, 10}, style::kGroup},
        {kLimHard, ControlKind::RadioButton, "Hard", {66, 56, 30, 10}},
        {kNoId, ControlKind::Static, "Release", {8, 71, 40, 9}},
        {kLimRelease, ControlKind::ComboBox, "", {48, 69, 48, 60}, style::kDropDownList},
        {kNoId, ControlKind::Static, "Gain reduction", {8, 87, 60, 9}},
        {kLimMeterText, ControlKind::Static, "", {70, 87, 26, 9}, style::kRight},
        {kLimMeter, ControlKind::ProgressBar, "", {8, 98, 88, 10}}}});
}

void AddGasDialog() {
  ui::Resources::AddDialog({kGasDialog,
                            "DSP Capacity",
                            {0, 0, 284, 51},
                            style::kNone,
                            {{kGasTotalBar, ControlKind::ProgressBar, "", {2, 2, 196, 10}},
                             {kGasTotal, ControlKind::Static, "", {200, 3, 30, 9}},
                             {kNoId, ControlKind::Static, "EQ Filters", {4, 15, 42, 9}},
                             {kGasFilters, ControlKind::Static, "", {4, 24, 40, 9}},
                             {kNoId, ControlKind::Static, "Crossovers", {48, 15, 42, 9}},
                             {kGasCrossovers, ControlKind::Static, "", {48, 24, 40, 9}},
                             {kNoId, ControlKind::Static, "Limiters", {92, 15, 42, 9}},
                             {kGasLimiters, ControlKind::Static, "", {92, 24, 40, 9}},
                             {kNoId, ControlKind::Static, "Pink Noise", {136, 15, 42, 9}},
                             {kGasPinkNoise, ControlKind::Static, "", {136, 24, 40, 9}},
                             {kGasFiltersRemain, ControlKind::Static, "", {2, 38, 120, 9}},
                             {kNoId, ControlKind::Line, "", {220, 2, 1, 46}},
                             {kNoId, ControlKind::Static, "  Delay Mem.", {236, 15, 46, 9}},
                             {kGasDelayMemory, ControlKind::Static, "", {236, 24, 40, 9}},
                             {kGasUsageBar, ControlKind::ProgressBar, "", {2, 58, 196, 10}},
                             {kGasUsage, ControlKind::Static, "", {200, 59, 30, 9}}}});
}

void AddMixerPanes() {
  ui::Resources::AddDialog(
      {kAdvMixerCell,
       "",
       {0, 0, 67, 41},
       style::kChild,
       {{kCellGain, ControlKind::Edit, "", {2, 2, 44, 14}},
        {kCellGainSpin, ControlKind::OwnerDrawButton, "", {48, 2, 18, 18}},
        {kColorBar, ControlKind::OwnerDrawButton, "", {2, 17, 44, 7}},
        {kCellDelay, ControlKind::Edit, "", {2, 26, 44, 14}},
        {kCellDelaySpin, ControlKind::OwnerDrawButton, "", {48, 22, 18, 18}}}});
  ui::Resources::AddDialog(
      {kMatrixLabel,
       "",
       {0, 0, 67, 17},
       style::kChild,
       {{kLabelName, ControlKind::Static, "", {3, 2, 60, 10}, style::kCenter | style::kSunken}}});
  ui::Resources::AddDialog(
      {kMatrixInputLabel,
       "",
       {0, 0, 67, 41},
       style::kChild,
       {{kColorBar, ControlKind::OwnerDrawButton, "", {0, 0, 40, 12}},
        {kLabelName, ControlKind::Static, "", {1, 15, 64, 10}, style::kCenter | style::kSunken},
        {kNoId, ControlKind::Static, "Gain", {42, 2, 24, 10}, style::kRight},
        {kNoId, ControlKind::Static, "Delay", {42, 28, 24, 10}, style::kRight}}});
}

// One pink-noise dialog for `outputs` outputs; the two-output one is shorter.
void AddPinkDialog(int id, int outputs) {
  const bool shortForm = outputs == 2;
  const int height = shortForm ? 104 : 142;
  std::vector<ui::ControlTemplate> controls = {
      {kPinkEnable, ControlKind::CheckBox, "Enable", {12, 6, 44, 9}},
      {101, ControlKind::GroupBox, "Level", {6, 20, 74, 38}},
      {kPinkLevel, ControlKind::Edit, "", {12, 38, 30, 10}},
      {kPinkLevelSpin, ControlKind::OwnerDrawButton, "", {48, 34, 18, 18}},
      {kNoId,
       ControlKind::Static,
       "Note: Enabling pink noise will disable analog inputs.",
       {6, shortForm ? 64 : 104, 74, 30},
       style::kCenter | style::kSunken},
      {108, ControlKind::GroupBox, "Output mute", {86, 20, 76, shortForm ? 74 : 116}}};
  for (int o = 0; o < outputs; ++o) {
    controls.push_back({kFirstPinkMute + o,
                        ControlKind::CheckBox,
                        std::string(1, static_cast<char>('A' + o)),
                        {96, 37 + 11 * o, 62, outputs == 8 && o >= 6 ? 10 : 11}});
  }
  if (outputs == 8) controls[controls.size() - 2].box.y = 104;  // G and H sit a little lower
  ui::Resources::AddDialog({id, "Pink Noise", {0, 0, 167, height}, style::kNone, controls});
}

}  // namespace

void RegisterProcessingDialogs() {
  AddCompressorPane();
  AddLimiterPane();
  AddGasDialog();
  AddMixerPanes();
  AddPinkDialog(kPinkNoise2Outputs, 2);
  AddPinkDialog(kPinkNoise4Outputs, 4);
  AddPinkDialog(kPinkNoise6Outputs, 6);
  AddPinkDialog(kPinkNoise7Outputs, 7);
  AddPinkDialog(kPinkNoise8Outputs, 8);
}

}  // namespace ovprocessing_res
