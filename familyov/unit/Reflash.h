#pragma once

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;

// Replaces a bus unit's firmware from an Intel HEX file the user picks: the warnings, the file
// read and checked whole before the unit is touched, then erase, programming and reboot with the
// progress dialog and the wait cursor over `owner`. Every failure is shown to the user; the
// user closes the unit's window and runs a roll call afterwards.
void ReflashUnit(IQDeviceOrdavinex& device, ui::Window* owner);

// Names memories 13 to 15 and stores the current settings in each: firmware that brings them
// leaves them empty. A bus failure is reported and skips the memories left.
void InitMemoryNames(IQDeviceOrdavinex& device);

}  // namespace namespaceOV
