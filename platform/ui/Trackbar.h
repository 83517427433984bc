#pragma once

#include <QFont>
#include <string>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/HeldRepeat.h"
#include "platform/ui/draw/Geometry.h"

namespace ui {

// A slider. Every move is a Scroll notification to the parent (value: the ScrollCode); a move ends
// with EndScroll, for the mouse at the button's release, for the keyboard at the key's release
// and for the wheel at each notch, which steps as an arrow key does.
// A vertical trackbar has its minimum at the top. A press on the track pages toward it and, held,
// goes on paging on the window's timer while the hold lives (HeldRepeat).
class Trackbar : public Control {
 public:
  static constexpr int kTrackRepeatTimerId = 1;
  // As the platform's sliders page when held.
  static constexpr HeldRepeat::Pace kTrackRepeatPace{500, 50};

  Trackbar(Window* parent, int id);
  ~Trackbar() override { Destroy(); }
  void SetRange(int minimum, int maximum);
  int Minimum() const;
  int Maximum() const;
  void SetPosition(int position);  // no notification
  int Position() const;
  void SetTickFrequency(int ticks);
  void SetPageSize(int page);

  // A tick at a chosen position: under a horizontal slider, with an optional label under it; on
  // both sides of a vertical one.
  struct TickMark {
    int position;
    std::string label;
  };
  // Ticks at these positions instead of evenly spaced ones. The bar keeps to the top of the
  // control and the labels take the room below the ticks; a label that would come within a
  // letter's width of the one before it goes to the next line.
  void SetTickMarks(std::vector<TickMark> marks);
  // Where a horizontal slider draws each label, in client coordinates, and in what font.
  struct PlacedLabel {
    std::string text;
    Rect box;
  };
  std::vector<PlacedLabel> TickLabels() const;
  QFont TickLabelFont() const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;

 private:
  HeldRepeat trackRepeat_;
};

// Up and down arrows. A click is a DeltaPos notification with a signed delta (up = -1, down = +1);
// the parent vetoes the move by answering non-zero, else the position moves within its range. An
// arrow held down steps again after a pause and then at a steady pace while the hold lives; a hold
// ended before the release leaves the release without a step.
class UpDown : public Control {
 public:
  static constexpr int kArrowRepeatTimerId = 1;
  // As the platform's buttons repeat when held.
  static constexpr HeldRepeat::Pace kArrowRepeatPace{300, 100};

  UpDown(Window* parent, int id);
  ~UpDown() override { Destroy(); }
  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  int Position() const { return position_; }
  // What a click on an arrow does (also used by the test hooks).
  void Step(int delta);

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;

 private:
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  HeldRepeat arrowRepeat_;
};

// A progress bar; values outside the range are clamped to it.
class ProgressBar : public Control {
 public:
  using Control::Control;
  void SetRange(int minimum, int maximum);
  void SetValue(int value);
  int Value() const;
  // No value but a "?", for a reading the program could not take; SetValue shows a value again.
  void ShowUnknown();
  bool ShowsUnknown() const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

}  // namespace ui
