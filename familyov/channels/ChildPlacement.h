#pragma once

#include "platform/ui/Window.h"

namespace namespaceOV {

// Where a child window opens: at the top-left corner of the desktop's work area.
inline void PlaceAtWorkAreaCorner(ui::Window& window, int width, int height) {
  const ui::Rect area = ui::Window::ScreenWorkArea();
  window.SetRect({area.left, area.top, area.left + width, area.top + height});
}

// Widens a window that would open too narrow for its controls at their default sizes.
inline void WidenToShow(ui::Window& window, int clientWidth) {
  const ui::Rect client = window.ClientRect();
  if (clientWidth > client.Width()) window.SetClientSize({clientWidth, client.Height()});
}

}  // namespace namespaceOV
