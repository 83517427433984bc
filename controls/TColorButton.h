#pragma once

#include "platform/ui/DrawnWindow.h"
#include "platform/ui/draw/Color.h"

// A colour swatch in a sunken frame; with no colour it shows the button face.
class TColorButton : public ui::OwnerDrawButton {
 public:
  using ui::OwnerDrawButton::OwnerDrawButton;
  void SetColor(ui::Color color) { color_ = color; }
  ui::Color GetColor() const { return color_; }
  void SetNoColor(bool noColor) { noColor_ = noColor; }

 protected:
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  ui::Color color_ = ui::kBlack;
  bool noColor_ = false;
};
