#pragma once

#include <string>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// The unit's whole report: identity, channel names, logic map, clock events, then the current
// settings and every memory. A bus failure passes on and leaves in `out` what was written before.
void WriteDeviceReport(IQDeviceOrdavinex& device, std::string& out,
                       ProgressReport* progress = nullptr);

// The device's report command: asks for a text file and writes the report into it while the
// progress window shows; true when the file was written. A report that a bus failure ends is
// kept with a line that says so, and the failure is reported once, here.
bool PrintDeviceReport(IQDeviceOrdavinex& device);

}  // namespace namespaceOV
