#pragma once

#include <string>

#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

using familycommon::ProgressWindow;

// Whether a whole-unit command ends at its opening read of `device`'s lock, before any dialog:
// a locked unit is told `text` under `caption`; a lock that could not be read (no answer or a
// refusal) is the command's one report.
bool StopsAtLock(IQDeviceOrdavinex& device, const std::string& caption,
                 const std::string& text = "Device is locked.");

// The file commands tell of one failure once, the lock read's included.
// The unit's settings to a file the user picks. The unsaved mark goes only when the file was
// written; a failure says what went wrong and keeps the old file.
bool SaveSettingsFile(IQDeviceOrdavinex& device);
// A settings file the user picks into the unit; a file that cannot be used changes nothing and
// says why. Bus errors after the lock read pass to the caller.
bool LoadSettingsFile(IQDeviceOrdavinex& device);

}  // namespace namespaceOV
