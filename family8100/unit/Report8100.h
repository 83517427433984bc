#pragma once

#include <cstdint>
#include <string>

#include "familycommon/ProgressReport.h"

namespace namespace8100 {

class IQDevice8100;

// The unit's text report: identity, preset map, current settings, then each memory chosen by
// `memories` (bit n-1 for memory n), recalled while the unit is muted. The current settings are
// put back and the mute lifted afterwards. A bus failure while memories are recalled throws
// TransferFailure (BulkTransfer.h) once they are, as far as the unit answers within the wait for a
// silent unit; one before passes on. `out` keeps what was written before it.
void WriteDeviceReport(IQDevice8100& unit, std::string& out, uint32_t memories,
                       familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace8100
