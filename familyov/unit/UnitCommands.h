#pragma once

#include <span>
#include <string>

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;

// The unit-wide one-shot commands of a bus unit, asked over `owner`. Each reports its own
// failures; a change the unit did not take leaves the device as it was. The window that runs them
// sends its notifications afterwards (a new title, every child window reading again).

// The device lists show the unit's name and address: they read them again.
void TellDeviceLists(IQDeviceOrdavinex& device);
// Asks for a new name of at most 11 characters and gives it to the unit; the device lists are told,
// and the captions of the unit's open `windows` follow. True when the unit took it.
bool RenameUnit(IQDeviceOrdavinex& device, ui::Window* owner, std::span<ui::Window* const> windows);
// Asks for a new bus address (1..250) and moves the unit there: the device follows only once the
// unit took it (the device lists are told), and waits until the unit answers there. True when the
// device moved.
bool ChangeAddress(IQDeviceOrdavinex& device, ui::Window* owner);
// The firmware version the roll call gave: the model information after the output digit.
std::string FirmwareVersionText(const IQDeviceOrdavinex& device);
void ShowFirmwareVersion(const IQDeviceOrdavinex& device, ui::Window* owner);
// The serial number in a box; a read that fails is reported, and no box follows.
void ShowSerialNumber(IQDeviceOrdavinex& device, ui::Window* owner);
void StrobeLeds(IQDeviceOrdavinex& device);
// After the user's consent, returns the unit to its factory settings: initialise, reset, the
// user cycles power, the unit gets ready. False when the user declined.
bool FactoryInitialize(IQDeviceOrdavinex& device, ui::Window* owner);
// Forgets every value and reads the unit's parameters again with progress, and its clock events
// when asked and it has a clock. A failure is reported; false then.
bool RereadUnit(IQDeviceOrdavinex& device, bool withClockEvents);

}  // namespace namespaceOV
