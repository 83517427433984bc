#include "platform/ui/Resources.h"
#include "resources/Family3300PrintIds.h"

namespace eq3300res {

void RegisterFamily3300PrintDialog() {
  using ui::ControlKind;
  constexpr int kMemoryCount = 10;
  ui::DialogTemplate dialog{kPrintOptionsDialog, "3300 Print Options", {0, 0, 178, 84}};
  dialog.controls.push_back(
      {kIncludeMemoriesGroup, ControlKind::GroupBox, "Include Memories", {6, 6, 166, 48}});
  for (int k = 0; k < kMemoryCount; ++k) {
    const int column = k % 5;
    const int row = k / 5;
    dialog.controls.push_back({kFirstMemoryCheck + k,
                               ControlKind::CheckBox,
                               std::to_string(k + 1),
                               {14 + column * 31, 20 + row * 16, 28, 10}});
  }
  dialog.controls.push_back(
      {ui::kIdOk, ControlKind::PushButton, "OK", {64, 62, 50, 14}, ui::style::kDefault});
  ui::Resources::AddDialog(std::move(dialog));
}

}  // namespace eq3300res
