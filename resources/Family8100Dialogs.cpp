#include <string>

#include "platform/ui/Resources.h"
#include "resources/Family8100Ids.h"

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

}  // namespace

void RegisterFamily8100Resources() {
  ui::Resources::AddDialog(MemorySelectDialog());
  ui::Resources::AddDialog(MemoryDialog());
  ui::Resources::AddDialog(PresetDialog());
}

}  // namespace f8100res
