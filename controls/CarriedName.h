#pragma once

#include <string>

namespace ui {
class Window;
}

namespace controls {

// Whether a typed name is refused because a settings file could not carry it; the user is told
// why under `caption`. Names go into the units' settings files, so every place a name is typed
// asks this before the name is used.
bool RefusedName(ui::Window* owner, const std::string& name, const std::string& caption);

}  // namespace controls
