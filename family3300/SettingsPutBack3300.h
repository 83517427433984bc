#pragma once

#include <functional>

#include "family3300/IQDevice3300.h"

namespace namespace3300 {

// Runs `writes`, which change the unit's current settings and any of its stored memories, having
// read its current settings first. A bus failure part way (of this unit, or of the unit the
// settings come from) puts the current settings back as far as the unit still answers and throws
// familycommon::LoadFailure, whose `restored` says whether they are back. Stored memories keep
// what was written.
void WriteWithPutBack(IQDevice3300& device, const std::function<void()>& writes);

}  // namespace namespace3300
