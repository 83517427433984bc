#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "bus/IQDeviceType.h"

using DeviceTypeList = std::vector<std::unique_ptr<IQDeviceType>>;
using DeviceTypeFactory = std::function<DeviceTypeList()>;

// The device types of every family built into the program, in the order the lists and the
// Devices menu show them: the graphic equalisers, the older processors, the newer processors. A
// family that is not built in is left out.
DeviceTypeList MakeDeviceTypes();

// The built-in families, and the controls their windows use, report a failed bus operation with
// the application's error dialogs from now on.
void InstallFamilyErrorReports();
