#pragma once

#include "platform/ui/Window.h"

namespace namespaceOV {

// Where a channel window opens: at the top-left corner of the desktop's work area.
inline void PlaceAtWorkAreaCorner(ui::Window& window, int width, int height) {
  const ui::Rect area = ui::Window::ScreenWorkArea();
  window.SetRect({area.left, area.top, area.left + width, area.top + height});
}

}  // namespace namespaceOV
