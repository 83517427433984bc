#pragma once

#include <QImage>
#include <memory>

#include "platform/ui/Canvas.h"
#include "platform/ui/Control.h"
#include "platform/ui/Window.h"
#include "platform/ui/draw/Dc.h"

namespace ui {

// A window whose content the program draws itself, on an offscreen image that the widget shows.
// Paint runs after an invalidation; DrawNow draws on the same image at once.
class DrawnWindow : public Window {
 public:
  using Window::Window;
  // Null when the window is not created.
  std::unique_ptr<ClientDc> DrawNow();
  // The last drawn content (null when not created).
  QImage Snapshot() const;
  void Invalidate() override;

 protected:
  virtual void Paint(Dc& dc) = 0;
  QWidget* MakeWidget(QWidget* parentWidget) override;
};

struct DrawItemState {
  bool selected = false;
  bool focused = false;
  bool disabled = false;
};

// A button that draws itself: draw entire, then selection and focus changes (each by default a
// full redraw). A click sends its id as a command like any button.
class OwnerDrawButton : public Control {
 public:
  using Control::Control;
  std::unique_ptr<ClientDc> DrawNow();
  QImage Snapshot() const;
  void Redraw();
  void Click();

 protected:
  virtual void DrawEntire(Dc& dc, const DrawItemState& state) = 0;
  virtual void SelectChange(Dc& dc, const DrawItemState& state) { DrawEntire(dc, state); }
  virtual void FocusChange(Dc& dc, const DrawItemState& state) { DrawEntire(dc, state); }
  QWidget* MakeControlWidget(QWidget* parentWidget) override;

 private:
  DrawItemState State() const;
};

}  // namespace ui
