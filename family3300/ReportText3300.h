#pragma once

#include <cstdint>
#include <string>

#include "family3300/IQDevice3300.h"

namespace namespace3300 {

// The text report of a unit: its identity and name, the current settings, then each memory whose
// bit (k - 1 for memory k) is set in `memoryMask`, recalled in turn. Every value is read from the
// unit; the current settings are put back afterwards. A bus failure ends the report, leaves in
// `out` what was written before, and passes on once the settings are back.
void WriteReport3300(IQDevice3300& device, uint32_t memoryMask, std::string& out);

}  // namespace namespace3300
