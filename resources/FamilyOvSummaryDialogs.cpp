// The newer family's unit summary: its menu, the channel panes of its two columns, the stubs that
// centre the input column and the footer.

#include <vector>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvSummaryIds.h"

namespace ovsummary_res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;
constexpr int kPaneHeight = 40;

struct ChannelPaneIds {
  int level;
  int levelSpin;
  int delay;
  int delaySpin;
};

// What every channel pane shows, in the pane's first 187 units: label, name and filter count on
// the left, the meter, then level and delay with their windows' buttons and spins.
std::vector<ui::ControlTemplate> ChannelControls(const ChannelPaneIds& ids) {
  return {
      {kChannelLabel, ControlKind::Static, "", {2, 5, 8, 9}},
      {kName, ControlKind::Edit, "", {11, 3, 46, 12}},
      {kFiltersButton, ControlKind::PushButton, "Filters: 28", {11, 22, 46, 14}},
      {kMeter, ControlKind::OwnerDrawButton, "", {60, 8, 34, 22}},
      {kLevelButton, ControlKind::PushButton, "Level", {97, 3, 26, 13}},
      {ids.level, ControlKind::Edit, "", {125, 3, 36, 12}},
      {ids.levelSpin, ControlKind::OwnerDrawButton, "", {163, 3, 22, 13}},
      {kDelayButton, ControlKind::PushButton, "Delay", {97, 22, 26, 13}},
      {ids.delay, ControlKind::Edit, "", {125, 22, 36, 12}},
      {ids.delaySpin, ControlKind::OwnerDrawButton, "", {163, 22, 22, 13}},
  };
}

constexpr ChannelPaneIds kInputIds{kInputLevel, kInputLevelSpin, kInputDelay, kInputDelaySpin};
constexpr ChannelPaneIds kOutputIds{kOutputLevel, kOutputLevelSpin, kOutputDelay, kOutputDelaySpin};

void AddChannelPanes() {
  ui::Resources::AddDialog(
      {kInputPaneDialog, "", {0, 0, 187, kPaneHeight}, style::kChild, ChannelControls(kInputIds)});
  std::vector<ui::ControlTemplate> compressorInput = ChannelControls(kInputIds);
  compressorInput.push_back(
      {kCompressorsButton, ControlKind::PushButton, "Comp", {189, 12, 30, 14}});
  ui::Resources::AddDialog(
      {kCompressorInputPaneDialog, "", {0, 0, 223, kPaneHeight}, style::kChild, compressorInput});
  std::vector<ui::ControlTemplate> output = ChannelControls(kOutputIds);
  output.insert(
      output.end(),
      {{kLimiterButton, ControlKind::PushButton, "Limiting: On", {189, 3, 56, 13}},
       {kMute, ControlKind::OwnerDrawButton, "", {247, 3, 33, 13}},
       {kCrossoversButton, ControlKind::PushButton, "Crossovers: Low / High", {189, 22, 74, 14}},
       {kPolarity, ControlKind::OwnerDrawButton, "", {265, 22, 15, 14}}});
  ui::Resources::AddDialog(
      {kOutputPaneDialog, "", {0, 0, 282, kPaneHeight}, style::kChild, output});
  ui::Resources::AddDialog({kStubPaneDialog, "", {0, 0, 190, kPaneHeight}, style::kChild, {}});
}

void AddFooter() {
  ui::Resources::AddDialog(
      {kFooterDialog,
       "",
       {0, 0, 511, 31},
       style::kChild,
       {{kNoId, ControlKind::Static, "DSP:", {4, 11, 18, 9}},
        {kDspUsageBar, ControlKind::ProgressBar, "", {24, 10, 110, 11}},
        {kDspUsage, ControlKind::Static, "100%", {138, 11, 22, 9}},
        {kFiltersRemaining, ControlKind::Static, "Filters remaining: 100", {164, 11, 90, 9}},
        {kNoId, ControlKind::Static, "   Last Memory:", {256, 11, 58, 9}},
        {kLastMemory, ControlKind::Static, "", {316, 11, 88, 9}},
        {kNoId, ControlKind::Static, "   Last Logic:", {406, 11, 50, 9}},
        {kLastLogic, ControlKind::Static, "", {458, 11, 16, 9}},
        {kModifiedLamp, ControlKind::OwnerDrawButton, "", {478, 9, 28, 13}}}});
}

ui::MenuTemplate SummaryMenu() {
  const ui::MenuItemTemplate separator;
  ui::MenuItemTemplate file{"&File",
                            0,
                            {{"&Open...", kCmFileOpen, {}},
                             {"&Save As...", kCmFileSaveAs, {}},
                             separator,
                             {"&Report...", kCmFileReport, {}}}};
  ui::MenuItemTemplate options{"&Options",
                               0,
                               {{"&msec", kCmUnitsMsec, {}},
                                {"&feet", kCmUnitsFeet, {}},
                                {"me&ters", kCmUnitsMeters, {}},
                                separator,
                                {"&Auto open", kCmAutoOpen, {}}}};
  ui::MenuItemTemplate windows{"&Windows",
                               0,
                               {{"&Advanced Mixer", kCmAdvancedMixer, {}},
                                {"&Pink noise", kCmPinkNoise, {}},
                                {"&DSP Capacity", kCmDspCapacity, {}},
                                {"&Memory", kCmMemory, {}},
                                {"&Logic", kCmLogic, {}},
                                {"&Timer", kCmTimer, {}},
                                {"&Security", kCmSecurity, {}},
                                {"&Unit name", kCmUnitName, {}},
                                separator,
                                {"Serial &Number", kCmSerialNumber, {}},
                                {"&Firmware version", kCmFirmwareVersion, {}}}};
  return {file, options, windows};
}

}  // namespace

void RegisterSummaryResources() {
  AddChannelPanes();
  AddFooter();
  ui::Resources::AddMenu(kSummaryMenu, SummaryMenu());
}

}  // namespace ovsummary_res
