#pragma once

#include <string>

#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

using familycommon::ProgressWindow;

// Whether a whole-unit operation stops because the unit is locked; the user is told so under
// `caption`. A failure of type `Reported` while reading the lock flag is reported and the operation
// goes on as for an unlocked unit; any other failure passes to the caller.
template <typename Reported>
bool RefusedAsLocked(IQDeviceOrdavinex& device, const std::string& caption);

// The file commands tell of one failure once, the lock read's included.
// The unit's settings to a file the user picks. The unsaved mark goes only when the file was
// written; a failure says what went wrong and keeps the old file.
bool SaveSettingsFile(IQDeviceOrdavinex& device);
// A settings file the user picks into the unit; a file that cannot be used changes nothing and
// says why. Bus errors other than the lock read's pass to the caller.
bool LoadSettingsFile(IQDeviceOrdavinex& device);

}  // namespace namespaceOV
