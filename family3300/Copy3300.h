#pragma once

#include <cstdint>
#include <exception>

#include "family3300/IQDevice3300.h"

namespace namespace3300 {

// A bus failure during a copy, and the unit that failed.
struct CopyFailure {
  IQDevice3300* device;
  std::exception_ptr error;
};

// Gives `destination` the names and settings of the source's memories whose bit (k - 1 for memory
// k) is set in `memoryMask`, then the source's current settings. Each memory is recalled in the
// source to be read and stored in the destination; the source gets its memory number and current
// settings back, also when a memory fails, and a source that stalls is given a few tries at it.
// Throws CopyFailure for the first bus failure; what was copied before stays copied.
void CopyMemories3300(IQDevice3300& destination, IQDevice3300& source, uint32_t memoryMask);

}  // namespace namespace3300
