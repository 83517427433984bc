#pragma once

#include "platform/ui/DrawnWindow.h"

// A two-state glyph (signal polarity) on a button; a disabled one shows a plain face, and one
// whose state was not read from the unit a raised face without a glyph.
class TPolarityButton : public ui::OwnerDrawButton {
 public:
  static constexpr int kUnknownState = -1;

  using ui::OwnerDrawButton::OwnerDrawButton;
  void SetPushStyle(bool pushStyle) { pushStyle_ = pushStyle; }
  // Shows the state at once: the button keeps its drawing until told to draw again.
  void SetState(int state);
  int GetState() const { return state_; }

 protected:
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;
  void SelectChange(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  bool pushStyle_ = false;
  int state_ = 0;
  bool pressed_ = false;
};
