#pragma once

#include <cstdint>

#include "family3300/IQDevice3300.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressReport.h"

namespace namespace3300 {

// A bus failure during a copy, the unit that failed, and what the copy left: whether the
// destination's current settings (`outcome.restored`) and the source's memory number and current
// settings (`sourceRestored`) were put back.
struct CopyFailure {
  IQDevice3300* device;
  familycommon::LoadFailure outcome;
  bool sourceRestored = true;
};

// Gives `destination` the names and settings of the source's memories whose bit (k - 1 for memory
// k) is set in `memoryMask`, then the source's current settings. Each memory is recalled in the
// source to be read and stored in the destination; the source gets its memory number and current
// settings back, also when a memory fails. Throws CopyFailure for the first bus failure, after the
// destination's current settings and the names of the memories it had not yet stored are put back;
// memories stored before stay copied. A unit that
// fell silent is put back once it answers again: one wait for both units, within
// the destination's answer bound, shown on `progress`.
void CopyMemories3300(IQDevice3300& destination, IQDevice3300& source, uint32_t memoryMask,
                      familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace3300
