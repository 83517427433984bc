#pragma once

#include <vector>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// Gives `destination` what `source` holds: memory names, logic map, clock events (when both
// have a clock), delay unit, channel names, the current settings and each memory the source has
// and the destination can take. The source is left as it was. A bus failure before anything is
// written passes on; one part way throws familycommon::LoadFailure once the destination has its
// names, logic map, delay unit, clock events and current settings back as far as it answers, and
// memories copied before the failure stay copied. A logic input of the source that recalls a
// memory the destination lacks recalls none on the destination; those inputs are returned.
std::vector<int> CopyDeviceSettings(IQDeviceOrdavinex& destination, IQDeviceOrdavinex& source,
                                    ProgressReport* progress = nullptr);

// Whether `source` can be copied onto `destination`; when not, says why.
bool CopyAccepted(IQDeviceOrdavinex& destination, IQDevice& source);

// The device's copy command: refuses units that cannot take each other's settings, asks before
// a copy that may not work on the destination, then copies while the progress window shows. A
// bus failure, a lock read's included, is reported once by the command itself, which then says
// what became of the destination. True when it copied; a copy that set logic inputs to recall no
// memory names them when it ends.
bool CopyDeviceFrom(IQDeviceOrdavinex& destination, IQDevice& source);

}  // namespace namespaceOV
