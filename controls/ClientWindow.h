#pragma once

#include "platform/ui/Message.h"

namespace ui {
class Window;
}

namespace controls {

namespace detail {
inline ui::Window* clientWindow = nullptr;
}

// The window that owns the families' message boxes and that the wait cursor shows over while they
// read files: the client dialog of the main window. The application sets it once the device types
// are registered and clears it when the client goes; none before and after.
inline ui::Window* ClientWindow() { return detail::clientWindow; }
inline void SetClientWindow(ui::Window* window) { detail::clientWindow = window; }

// Posted to the client window with the device in lParam when a unit's name or state changed, so
// the device lists show it anew.
inline constexpr ui::MessageId kDeviceChangedMessage = 201;

}  // namespace controls
