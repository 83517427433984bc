#pragma once

#include <cstdint>

#include "platform/ui/DrawnWindow.h"
#include "platform/ui/draw/Color.h"

// A drawn switch, horizontal or vertical: closed while its state equals the closed value; a
// state not read from the unit shows the switch's ends without a blade.
class TSwitchButton : public ui::OwnerDrawButton {
 public:
  static constexpr uint8_t kUnknownState = 0xFF;

  struct Colors {
    ui::Color line = ui::kBlack;   // colour 1: the stroke drawn second, one pixel across
    ui::Color shade = ui::kBlack;  // colour 2: the stroke drawn first
  };

  using ui::OwnerDrawButton::OwnerDrawButton;
  void SetClosedValue(uint8_t value) { closedValue_ = value; }
  void SetPushStyle(bool pushStyle) { pushStyle_ = pushStyle; }
  void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
  void SetState(uint8_t state) { state_ = state; }
  uint8_t GetState() const { return state_; }
  void SetOpenColors(Colors colors) { open_ = colors; }
  void SetClosedColors(Colors colors) { closed_ = colors; }
  bool IsClosed() const { return state_ == closedValue_; }
  bool KnowsState() const { return state_ != kUnknownState; }

 protected:
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;
  void SelectChange(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  uint8_t closedValue_ = 0;
  bool pushStyle_ = false;
  bool horizontal_ = true;
  uint8_t state_ = 0;
  Colors open_;
  Colors closed_;
  bool pressed_ = false;
};
