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

}  // namespace

void RegisterFamily8100Resources() { ui::Resources::AddDialog(MemorySelectDialog()); }

}  // namespace f8100res
