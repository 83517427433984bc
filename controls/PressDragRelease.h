#pragma once

#include <functional>

#include "platform/ui/Window.h"

namespace controls {

// The left button's press, the moves while it may be held, and its release, handed to a drawn
// control's own handlers; the layer routes the mouse to the control while the button is down.
struct PressDragRelease {
  std::function<void(ui::Point)> press;
  std::function<void(ui::Point)> drag;
  std::function<void()> release;
};

void RouteLeftButton(ui::Window& control, PressDragRelease handlers);

}  // namespace controls
