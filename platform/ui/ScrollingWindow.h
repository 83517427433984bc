#pragma once

#include "platform/ui/Window.h"

namespace ui {

// A window whose children lie on a content area that may be larger than the window: scroll bars
// appear when it is, and the children move with them.
class ScrollingWindow : public Window {
 public:
  using Window::Window;
  void SetContentSize(Size s);
  Size ContentSize() const;
  // The size that shows the whole content without scroll bars, and a resize to it.
  Size FittingSize() const;
  void FitToContent();
  void ScrollTo(Point p);
  Point ScrollPosition() const;

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  QWidget* ChildArea() const override;

 private:
  Size contentSize_;
};

}  // namespace ui
