#pragma once

#include <QImage>
#include <memory>

#include "platform/ui/DrawnWindow.h"

namespace familycommon {

// The window of a response graph, in either family: drawn on black in a sunken edge, repainted
// whole when sized, and holding the mouse buttons for itself so that a drag is never taken over by
// the window around it. Mouse input, and key input when asked for, go to the handlers below.
class GraphWindow : public ui::DrawnWindow {
 protected:
  enum class Keys { kLeftToParent, kHandled };

  GraphWindow(ui::Window* parent, Keys keys);

  virtual void EvLButtonDown(ui::Point p) = 0;
  virtual void EvMouseMove(ui::Point p) = 0;
  virtual void EvLButtonUp() = 0;
  virtual void EvRButtonDown(ui::Point p) = 0;
  virtual void EvKeyDown(int) {}

  // A context on a scratch image kept for mapping mouse positions: one is dear to make, and the
  // mouse moves often.
  ui::Dc& MouseDc();

 private:
  QImage scratch_{1, 1, QImage::Format_RGB32};
  std::unique_ptr<ui::Dc> scratchDc_;
};

}  // namespace familycommon
