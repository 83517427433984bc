#include "family8100/unit/TMemorySelectDialog.h"

#include "controls/ClientWindow.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {

namespace {
bool Has(uint32_t mask, int index) { return (mask >> index & 1U) != 0; }
}  // namespace

TMemorySelectDialog::TMemorySelectDialog(ui::Window* parent, uint32_t& mask,
                                         const std::string& note, bool onlyOffered)
    : ui::Dialog(parent, f8100res::kMemorySelectDialog),
      mask_(mask),
      note_(note),
      onlyOffered_(onlyOffered),
      noteText_(this, f8100res::kMemorySelectNote) {
  for (int i = 0; i < kMemories; ++i) {
    checks_[i] = std::make_unique<ui::CheckBox>(this, f8100res::kFirstMemoryCheck + i);
  }
}

void TMemorySelectDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (int i = 0; i < kMemories; ++i) {
    checks_[i]->SetCheck(Has(mask_, i));
    if (onlyOffered_ && !Has(mask_, i)) checks_[i]->Enable(false);
  }
  noteText_.SetText(note_);
}

void TMemorySelectDialog::CloseWindow(int result) {
  if (result == ui::kIdOk) {
    uint32_t chosen = 0;
    for (int i = 0; i < kMemories; ++i) {
      if (checks_[i]->IsChecked()) chosen |= 1U << i;
    }
    mask_ = chosen;
  }
  ui::Dialog::CloseWindow(result);
}

uint32_t ChooseMemories(uint32_t mask, const std::string& note, bool onlyOffered) {
  TMemorySelectDialog dialog(controls::ClientWindow(), mask, note, onlyOffered);
  dialog.Execute();
  return mask;
}

}  // namespace namespace8100
