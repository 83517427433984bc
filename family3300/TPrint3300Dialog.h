#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"

namespace namespace3300 {

// Which memories a report lists or a copy transfers: ten check boxes over the caller's mask (bit
// k - 1 for memory k). However the dialog closes, the mask then holds the ticked boxes.
class TPrint3300Dialog : public ui::Dialog {
 public:
  // An empty caption keeps the template's ("3300 Print Options").
  TPrint3300Dialog(uint32_t& mask, ui::Window* parent, const std::string& caption = {});

  void SetupWindow() override;
  void CloseWindow(int result) override;

 private:
  uint32_t& mask_;
  std::string caption_;
  std::array<std::unique_ptr<ui::CheckBox>, 10> boxes_;
};

}  // namespace namespace3300
