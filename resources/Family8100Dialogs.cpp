#include <string>

#include "platform/ui/Resources.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyCommonIds.h"

namespace f8100res {
namespace {

using ui::ControlKind;

constexpr int kNoId = -1;
constexpr int kMemories = 12;
constexpr int kColumns = 6;

ui::DialogTemplate MemorySelectDialog() {
  ui::DialogTemplate dialog{kMemorySelectDialog,
                            "Options",
                            {0, 0, 200, 110},
                            ui::style::kNone,
                            {{kNoId, ControlKind::GroupBox, "Include Memories", {8, 6, 184, 44}}}};
  for (int memory = 1; memory <= kMemories; ++memory) {
    const int column = (memory - 1) % kColumns;
    const int row = (memory - 1) / kColumns;
    dialog.controls.push_back({kFirstMemoryCheck + memory - 1,
                               ControlKind::CheckBox,
                               std::to_string(memory),
                               {16 + 29 * column, 18 + 14 * row, 26, 10}});
  }
  dialog.controls.push_back({kMemorySelectNote, ControlKind::Static, "", {8, 56, 184, 24}});
  dialog.controls.push_back(
      {ui::kIdOk, ControlKind::PushButton, "OK", {75, 88, 50, 14}, ui::style::kDefault});
  return dialog;
}

ui::DialogTemplate MemoryDialog() {
  ui::DialogTemplate dialog{kMemoryDialog, "Memory", {0, 0, 180, 200}, ui::style::kNone, {}};
  for (int memory = 1; memory <= kMemories; ++memory) {
    const int y = 6 + 14 * (memory - 1);
    dialog.controls.push_back(
        {kNoId, ControlKind::Static, std::to_string(memory), {6, y + 2, 12, 10}});
    dialog.controls.push_back(
        {kFirstMemoryName + memory - 1, ControlKind::Edit, "----------", {20, y, 64, 12}});
    dialog.controls.push_back(
        {kFirstSaveButton + memory - 1, ControlKind::PushButton, "Save", {88, y, 40, 12}});
    dialog.controls.push_back(
        {kFirstRecallButton + memory - 1, ControlKind::PushButton, "Recall", {132, y, 40, 12}});
  }
  dialog.controls.push_back(
      {kPresetMapButton, ControlKind::PushButton, "Preset map...", {60, 178, 60, 14}});
  return dialog;
}

ui::DialogTemplate PresetDialog() {
  ui::DialogTemplate dialog{kPresetDialog,
                            "Preset map",
                            {0, 0, 200, 200},
                            ui::style::kNone,
                            {{kNoId, ControlKind::GroupBox, "", {4, 2, 192, 172}}}};
  for (int preset = 1; preset <= kMemories; ++preset) {
    const int y = 10 + 13 * (preset - 1);
    dialog.controls.push_back(
        {kNoId, ControlKind::Static, "Preset " + std::to_string(preset), {10, y + 2, 50, 10}});
    dialog.controls.push_back({kFirstPresetList + preset - 1,
                               ControlKind::ComboBox,
                               "",
                               {64, y, 120, 80},
                               ui::style::kDropDownList});
  }
  dialog.controls.push_back(
      {ui::kIdOk, ControlKind::PushButton, "OK", {75, 180, 50, 14}, ui::style::kDefault});
  return dialog;
}

struct SigFlowModel {
  int id;
  bool delay;
  bool crossoversAndLimiters;
  bool noise;
};

// The diagram reads from left to right: input meters, input filters, routing, (delay), (crossovers,
// limiters), output filters, attenuation, mutes, (noise), output meters; the left channel above
// the right one.
ui::DialogTemplate SigFlowDialog(const SigFlowModel& model) {
  const bool x = model.crossoversAndLimiters;
  const int top = 16;
  const int bottom = 76;
  ui::DialogTemplate dialog{model.id, "Signal Flow", {0, 0, 0, 110}, ui::style::kNone, {}};
  auto& c = dialog.controls;
  const auto add = [&c](int id, ControlKind kind, const std::string& text, ui::DluBox r) {
    c.push_back({id, kind, text, r});
  };
  add(kNoId, ControlKind::Static, "In", {8, 4, 40, 10});
  add(kMeter1, ControlKind::OwnerDrawButton, "", {6, top, 44, 20});
  add(kMeter2, ControlKind::OwnerDrawButton, "", {6, bottom, 44, 20});
  int left = 56;
  add(kNoId, ControlKind::Static, x ? "Input filters" : "", {left, 4, 60, 10});
  add(kLeftInputButton, ControlKind::PushButton, x ? "Left" : "Input L Filters",
      {left, top, 60, 16});
  add(kRightInputButton, ControlKind::PushButton, x ? "Right" : "Input R Filters",
      {left, bottom, 60, 16});
  left += 66;
  add(kNetPicture, ControlKind::OwnerDrawButton, "", {left, top, 36, bottom + 16 - top});
  left += 40;
  add(kRouteBox0, ControlKind::CheckBox, "L", {left, top, 20, 10});
  add(kRouteBox2, ControlKind::CheckBox, "L", {left, top + 14, 20, 10});
  add(kRouteBox1, ControlKind::CheckBox, "R", {left, bottom - 8, 20, 10});
  add(kRouteBox3, ControlKind::CheckBox, "R", {left, bottom + 6, 20, 10});
  left += 26;
  if (model.delay) {
    add(kLeftDelayButton, ControlKind::PushButton, "Delay", {left, top, 36, 16});
    add(kRightDelayButton, ControlKind::PushButton, "Delay", {left, bottom, 36, 16});
    left += 42;
  }
  if (x) {
    add(kLowCrossoverButton, ControlKind::PushButton, "Low", {left, top, 30, 16});
    add(kHighCrossoverButton, ControlKind::PushButton, "High", {left, bottom, 30, 16});
    left += 36;
  }
  add(kNoId, ControlKind::Static, x ? "Output filters" : "", {left, 4, 60, 10});
  add(kLeftOutputButton, ControlKind::PushButton, x ? "Left" : "Output L Filters",
      {left, top, 60, 16});
  add(kRightOutputButton, ControlKind::PushButton, x ? "Right" : "Output R Filters",
      {left, bottom, 60, 16});
  left += 66;
  add(kLeftAttenuationButton, ControlKind::PushButton, "0 dB", {left, top, 40, 16});
  add(kRightAttenuationButton, ControlKind::PushButton, "0 dB", {left, bottom, 40, 16});
  left += 46;
  add(kLeftMuteSwitch, ControlKind::OwnerDrawButton, "", {left, top, 24, 16});
  add(kRightMuteSwitch, ControlKind::OwnerDrawButton, "", {left, bottom, 24, 16});
  left += 30;
  if (x) {
    add(kLeftLimiterButton, ControlKind::PushButton, "Limiter", {left, top, 36, 16});
    add(kRightLimiterButton, ControlKind::PushButton, "Limiter", {left, bottom, 36, 16});
    left += 42;
  }
  if (model.noise) {
    add(kNoiseButton, ControlKind::PushButton, "Left Noise", {left, top, 48, 16});
    add(kNoiseButton, ControlKind::PushButton, "Right Noise", {left, bottom, 48, 16});
    add(kLeftNoiseSwitch, ControlKind::OwnerDrawButton, "", {left + 16, top + 20, 16, 20});
    add(kRightNoiseSwitch, ControlKind::OwnerDrawButton, "", {left + 16, bottom - 24, 16, 20});
    left += 54;
  }
  add(kNoId, ControlKind::Static, "Out", {left + 2, 4, 40, 10});
  add(kMeter3, ControlKind::OwnerDrawButton, "", {left, top, 44, 20});
  add(kMeter4, ControlKind::OwnerDrawButton, "", {left, bottom, 44, 20});
  dialog.box.width = left + 50;
  return dialog;
}

ui::DialogTemplate DelayDialog() {
  ui::DialogTemplate dialog{kDelayDialog, "Delay", {0, 0, 230, 110}, ui::style::kNone, {}};
  auto& c = dialog.controls;
  c.push_back({kNoId, ControlKind::GroupBox, "Units", {6, 4, 218, 26}});
  c.push_back({kMsecButton, ControlKind::RadioButton, "msec", {14, 14, 50, 10}, ui::style::kGroup});
  c.push_back({kFeetButton, ControlKind::RadioButton, "feet", {84, 14, 50, 10}});
  c.push_back({kMetersButton, ControlKind::RadioButton, "meters", {154, 14, 56, 10}});
  const struct {
    const char* title;
    int x;
    int edit;
    int coarse;
    int fine;
  } sides[] = {{"Left", 6, kLeftDelayEdit, kLeftCoarseSpin, kLeftFineSpin},
               {"Right", 118, kRightDelayEdit, kRightCoarseSpin, kRightFineSpin}};
  for (const auto& side : sides) {
    c.push_back({kNoId, ControlKind::GroupBox, side.title, {side.x, 36, 106, 68}});
    c.push_back({side.edit, ControlKind::Edit, "", {side.x + 8, 48, 60, 12}});
    c.push_back({side.coarse, ControlKind::UpDown, "", {side.x + 8, 66, 12, 14}});
    c.push_back({kNoId, ControlKind::Static, "Coarse", {side.x + 24, 68, 40, 10}});
    c.push_back({side.fine, ControlKind::UpDown, "", {side.x + 8, 84, 12, 14}});
    c.push_back({kNoId, ControlKind::Static, "Fine", {side.x + 24, 86, 40, 10}});
  }
  return dialog;
}

ui::DialogTemplate LimiterDialog() {
  ui::DialogTemplate dialog{kLimiterDialog, "Limiters", {0, 0, 250, 190}, ui::style::kNone, {}};
  auto& c = dialog.controls;
  const struct {
    const char* title;
    int x;
    int edit;
    int spin;
    int slow;
    int soft;
    int hard;
    int bar;
    const char* barLabel;
  } sides[] = {{"Left", 6, kLeftThresholdEdit, kLeftThresholdSpin, kLeftSlow, kLeftSoftKnee,
                kLeftHardKnee, kLeftReductionBar, "Left gain reduction"},
               {"Right", 128, kRightThresholdEdit, kRightThresholdSpin, kRightSlow, kRightSoftKnee,
                kRightHardKnee, kRightReductionBar, "Right gain reduction"}};
  for (const auto& side : sides) {
    const int x = side.x;
    c.push_back({kNoId, ControlKind::GroupBox, side.title, {x, 4, 116, 118}});
    c.push_back({kNoId, ControlKind::Static, "Threshold", {x + 6, 16, 50, 10}});
    c.push_back({side.edit, ControlKind::Edit, "", {x + 6, 28, 44, 12}});
    c.push_back({side.spin, ControlKind::UpDown, "", {x + 52, 27, 10, 14}});
    c.push_back({kNoId, ControlKind::Static, "dBu", {x + 66, 30, 20, 10}});
    c.push_back({kNoId, ControlKind::Static, "Release", {x + 6, 46, 50, 10}});
    // "Medium" needs more room than its neighbours.
    const struct {
      const char* text;
      int left;
      int width;
    } speeds[] = {{"Slow", 6, 30}, {"Medium", 36, 42}, {"Fast", 78, 30}};
    for (int i = 0; i < 3; ++i) {
      c.push_back({side.slow + i,
                   ControlKind::RadioButton,
                   speeds[i].text,
                   {x + speeds[i].left, 58, speeds[i].width, 10},
                   i == 0 ? ui::style::kGroup : ui::style::kNone});
    }
    c.push_back({kNoId, ControlKind::Static, "Knee", {x + 6, 76, 50, 10}});
    c.push_back(
        {side.soft, ControlKind::RadioButton, "Soft", {x + 6, 88, 40, 10}, ui::style::kGroup});
    c.push_back({side.hard, ControlKind::RadioButton, "Hard", {x + 50, 88, 40, 10}});
    c.push_back({kNoId, ControlKind::Static, side.barLabel, {x, 128, 116, 10}});
    c.push_back({side.bar, ControlKind::ProgressBar, "", {x, 140, 116, 10}});
  }
  c.push_back({kLinkLed, ControlKind::OwnerDrawButton, "", {20, 164, 12, 12}});
  c.push_back({kNoId, ControlKind::Static, "Link Channels", {36, 166, 70, 10}});
  c.push_back({kEnableLed, ControlKind::OwnerDrawButton, "", {136, 164, 12, 12}});
  c.push_back({kNoId, ControlKind::Static, "Enable Limiting", {152, 166, 80, 10}});
  return dialog;
}

ui::DialogTemplate NoiseDialog() {
  ui::DialogTemplate dialog{kNoiseDialog, "Noise Sources", {0, 0, 230, 90}, ui::style::kNone, {}};
  auto& c = dialog.controls;
  const struct {
    const char* title;
    int x;
    int pink;
    int flat;
    int edit;
    int spin;
  } sides[] = {
      {"Left", 6, kLeftPinkButton, kLeftFlatButton, kLeftNoiseLevelEdit, kLeftNoiseSpin},
      {"Right", 118, kRightPinkButton, kRightFlatButton, kRightNoiseLevelEdit, kRightNoiseSpin}};
  for (const auto& side : sides) {
    const int x = side.x;
    c.push_back({kNoId, ControlKind::GroupBox, side.title, {x, 4, 106, 80}});
    c.push_back({kNoId, ControlKind::Static, "Type", {x + 6, 16, 40, 10}});
    c.push_back(
        {side.pink, ControlKind::RadioButton, "Pink", {x + 6, 28, 40, 10}, ui::style::kGroup});
    c.push_back({side.flat, ControlKind::RadioButton, "Flat", {x + 50, 28, 40, 10}});
    c.push_back({kNoId, ControlKind::Static, "Level", {x + 6, 46, 40, 10}});
    c.push_back({side.edit, ControlKind::Edit, "", {x + 6, 58, 44, 12}});
    c.push_back({side.spin, ControlKind::OwnerDrawButton, "", {x + 56, 54, 20, 20}});
  }
  return dialog;
}

ui::DialogTemplate SecurityDialog() {
  return {kSecurityDialog,
          "Security",
          {0, 0, 170, 92},
          ui::style::kNone,
          {{kNoId, ControlKind::Static, "Password:", {10, 12, 46, 10}},
           {kPasswordEdit,
            ControlKind::Edit,
            "",
            {58, 10, 70, 12},
            ui::style::kPassword | ui::style::kUpperCase},
           {kNoId, ControlKind::Line, "", {4, 30, 162, 30}},
           {kLockLamp, ControlKind::OwnerDrawButton, "", {10, 35, 20, 20}},
           {kLockCaption, ControlKind::Static, "Lock Device", {36, 41, 80, 10}},
           {kSetPasswordButton, ControlKind::PushButton, "Set new password ...", {10, 68, 90, 14}},
           {kStatusButton, ControlKind::OwnerDrawButton, "", {150, 72, 16, 16}}}};
}

}  // namespace

void RegisterFamily8100Resources() {
  ui::Resources::AddDialog(NoiseDialog());
  ui::Resources::AddDialog(DelayDialog());
  ui::Resources::AddDialog(LimiterDialog());
  for (const SigFlowModel& model : {SigFlowModel{kSigFlowDialog, false, false, false},
                                    SigFlowModel{kSigFlowPlusDialog, true, false, false},
                                    SigFlowModel{kSigFlowXDialog, true, true, false},
                                    SigFlowModel{kSigFlowRuneTideDialog, false, false, true}}) {
    ui::Resources::AddDialog(SigFlowDialog(model));
  }
  ui::Resources::AddDialog(MemorySelectDialog());
  ui::Resources::AddDialog(MemoryDialog());
  ui::Resources::AddDialog(PresetDialog());
  ui::Resources::AddDialog(SecurityDialog());
  common_res::RegisterFamilyCommonResources();
  RegisterFamily8100CrossoverDialog();
  RegisterFamily8100FilterDialogs();
  RegisterFamily8100BankEditorKeys();
}

}  // namespace f8100res
