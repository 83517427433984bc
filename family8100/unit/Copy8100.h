#pragma once

#include <cstdint>

#include "familycommon/ProgressReport.h"

namespace namespace8100 {

class IQDevice8100;

// Gives `destination` the settings of `source`: each memory chosen by `memories` (bit n-1 for
// memory n) with its name, then the current settings and the preset map. What either model lacks
// is left out; a destination X unit keeps its own crossovers and limiter when the source has
// none. Both units are muted while memories are recalled; their current settings are put back
// and the mute lifted afterwards. A bus failure puts back the destination's current settings and
// the source's, lifts both mutes as far as the units answer, and throws TransferFailure;
// memories stored before it stay stored.
void CopyDeviceSettings(IQDevice8100& destination, IQDevice8100& source, uint32_t memories,
                        familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace8100
