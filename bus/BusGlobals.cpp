// Both globals live in this one file so that the port is built before the manager that uses it
// and destroyed after it.
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"

CommPort TheCommPort(1, kBusBaudRate);
IQDeviceManager TheDeviceManager(TheCommPort);
