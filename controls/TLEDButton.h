#pragma once

#include "platform/ui/DrawnWindow.h"

// A lamp: a coloured rectangle with the caption (style 1) or a lamp image from a strip of frames.
// It takes the focus like any button, and shows it with a dotted frame.
class TLEDButton : public ui::OwnerDrawButton {
 public:
  static constexpr int kColoredStyle = 1;
  enum ColoredState { kOff = 0, kRed = 1, kYellow = 2, kGreen = 3 };
  // A state not read from the unit: a shaded lamp without a frame of the strip.
  static constexpr int kUnknownState = -1;

  using ui::OwnerDrawButton::OwnerDrawButton;
  void SetPushStyle(bool pushStyle) { pushStyle_ = pushStyle; }
  void SetState(int state) { state_ = state; }
  int GetState() const { return state_; }
  void SetStyle(int style) { style_ = style; }
  // Shows the state at once, without waiting for a paint.
  void Redraw();

 protected:
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;
  void SelectChange(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  ui::Size ClientSize() const;
  ui::Color StateColor() const;
  void DrawLamp(ui::Dc& dc) const;
  void DrawCaption(ui::Dc& dc) const;
  void DrawFocusMark(ui::Dc& dc) const;

  bool pushStyle_ = false;
  int state_ = kOff;
  int style_ = kColoredStyle;
  bool pressed_ = false;
};
