#pragma once

#include <memory>
#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/Static.h"

// The floating read-out of a slider that has the focus: a small caption-less window with a text.
class TValueDialog : public ui::Dialog {
 public:
  explicit TValueDialog(ui::Window* parent, int resourceId = 3);
  void SetValueText(const std::string& text) { text_.SetText(text); }
  std::string ValueText() const { return text_.Text(); }

 private:
  ui::StaticText text_;
};

// Where a slider's positions lie along its height: the minimum at the bottom of the travel, the
// maximum at its top, a fixed margin above and below.
struct SliderTravel {
  static constexpr int kMarginPx = 10;

  SliderTravel(int clientHeight, int minimum, int maximum);
  // The position a point at `y` stands for: the maximum above the travel, the minimum below it.
  int PositionAt(int y) const;
  // The top edge of a thumb `thumbHeight` high that shows `position`.
  int ThumbTop(int position, int thumbHeight) const;

  int top = kMarginPx;
  int bottom;
  int minimum;
  int maximum;
  float unitsPerPixel;  // 0 when the travel has no length
};

// An owner-drawn vertical fader with a bitmap thumb. It reports moves to its parent the way a
// scroll bar does (kScrollMessage, posted) and shows a read-out while it has the focus.
class TMyVSlider : public ui::OwnerDrawButton {
 public:
  // Posted to the parent: wParam packs the position and the ui::ScrollCode, lParam is the slider.
  static constexpr ui::MessageId kScrollMessage = 0x0115;
  static ui::Param PackScroll(int position, ui::ScrollCode code);
  static int ScrollPosition(ui::Param wParam);
  static ui::ScrollCode ScrollCodeOf(ui::Param wParam);

  TMyVSlider(ui::Window* parent, int id);
  ~TMyVSlider() override;

  // Read-out text = position x scale + offset, one decimal.
  void SetDisplay(float scale, float offset);
  void SetRange(int minimum, int maximum);
  // Gives the slider a value again after ShowUnknown.
  void SetValue(int value);
  int GetValue() const { return position_; }
  // No thumb and a read-out of "?": the unit did not give the value. A press or SetValue gives it
  // one again.
  void ShowUnknown();
  bool HasValue() const { return known_; }
  int StepUp(int n);
  int StepDown(int n);
  // Negative: sunken frame; positive: raised; 0: none. Seen at the next paint.
  void SetFrameStyle(int style) { frameStyle_ = style; }
  bool IsActive() const { return active_; }
  // The read-out while it is shown, else null.
  TValueDialog* ReadOut() const { return readOut_.get(); }

 protected:
  void SetupWindow() override;
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  std::string ReadOutText() const;
  void UpdateReadOut();
  void RepaintTravel();
  void DrawGroove(ui::Dc& dc) const;
  void DrawThumb(ui::Dc& dc) const;
  void PostScroll(ui::ScrollCode code);
  bool OnThumbBand(ui::Point p) const;
  void Press(ui::Point p);
  void Drag(ui::Point p);
  void Release();
  void FocusGained();
  void FocusLost();

  float offset_ = 0.0f;
  float scale_ = 1.0f;
  int frameStyle_ = 0;
  int position_ = 0;
  bool known_ = true;
  int minimum_ = 0;
  int maximum_ = 10;
  SliderTravel travel_{0, 0, 10};
  int grooveX_ = 0;
  int thumbLeft_ = 0;
  bool active_ = false;
  std::unique_ptr<TValueDialog> readOut_;
};
