#pragma once

namespace ui {
class Window;
}

namespace namespace8100 {

class IQDevice8100;

// Replaces a bus unit's firmware from an Intel HEX file the user picks: the warnings, the file
// read and checked whole before the unit is touched, then erase, one block per data record and
// reboot, with the progress dialog over `owner`. Every wait for the unit is bounded; every failure
// is shown to the user.
void ReflashUnit(IQDevice8100& unit, ui::Window* owner);

}  // namespace namespace8100
