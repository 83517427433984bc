#pragma once

#include "platform/ui/Window.h"

namespace ui {

// A window whose children lie on a content area that may be larger than the window: scroll bars
// appear when it is, and the children move with them. A dragged thumb moves the children only
// when it is released, and a line step is a twentieth of the visible area.
class ScrollingWindow : public Window {
 public:
  using Window::Window;
  void SetContentSize(Size s);
  Size ContentSize() const;
  // The size that shows the whole content without scroll bars, and a resize to it.
  Size FittingSize() const;
  void FitToContent();
  // Sizes the top-level window this window lies in (itself, or the frame or window around it) so
  // that the whole content shows, and never lets the user make it larger than that. Nothing yet
  // while that window has not put this one in its place.
  void FitItsWindowToContent();
  void ScrollTo(Point p);
  Point ScrollPosition() const;
  // How far one click on a scroll bar's arrow moves the content.
  Size LineStep() const;

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  QWidget* ChildArea() const override;

 private:
  Size contentSize_;
};

}  // namespace ui
