#include "family3300/TPrint3300Dialog.h"

#include "resources/Family3300PrintIds.h"

namespace namespace3300 {

TPrint3300Dialog::TPrint3300Dialog(uint32_t& mask, ui::Window* parent, const std::string& caption)
    : ui::Dialog(parent, eq3300res::kPrintOptionsDialog), mask_(mask), caption_(caption) {
  for (std::size_t k = 0; k < boxes_.size(); ++k) {
    boxes_[k] =
        std::make_unique<ui::CheckBox>(this, eq3300res::kFirstMemoryCheck + static_cast<int>(k));
  }
}

void TPrint3300Dialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  if (!caption_.empty()) SetText(caption_);
  for (std::size_t k = 0; k < boxes_.size(); ++k) boxes_[k]->SetCheck((mask_ >> k) & 1u);
}

void TPrint3300Dialog::CloseWindow(int result) {
  uint32_t mask = 0;
  for (std::size_t k = 0; k < boxes_.size(); ++k) {
    if (boxes_[k]->IsChecked()) mask |= 1u << k;
  }
  mask_ = mask;
  ui::Dialog::CloseWindow(result);
}

}  // namespace namespace3300
