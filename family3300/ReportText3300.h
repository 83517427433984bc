#pragma once

#include <cstdint>
#include <string>

#include "family3300/IQDevice3300.h"
#include "familycommon/ProgressReport.h"

namespace namespace3300 {

// The text report of a unit: its identity and name, the current settings, then each memory whose
// bit (k - 1 for memory k) is set in `memoryMask`, recalled in turn. Every value is read from the
// unit; its memory number and current settings are put back afterwards. A bus failure ends the
// report, leaves in `out` what was written before, puts the unit back (a unit that fell silent
// once it answers again, the wait shown on `progress`) and throws
// familycommon::MemoryReadFailure, which says what the unit holds.
void WriteReport3300(IQDevice3300& device, uint32_t memoryMask, std::string& out,
                     familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace3300
