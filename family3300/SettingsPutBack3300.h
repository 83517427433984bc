#pragma once

#include <functional>

#include "family3300/IQDevice3300.h"
#include "familycommon/AnswerWait.h"

namespace namespace3300 {

// Runs `writes`, which change the unit's current settings and any of its stored memories, having
// read its current settings first. A bus failure part way (of this unit, or of the unit the
// settings come from) puts the current settings back and throws familycommon::LoadFailure, whose
// `restored` says whether they are back. A unit that fell silent is waited for within `wait` and
// put back once it answers. Stored memories keep what was written.
void WriteWithPutBack(IQDevice3300& device, familycommon::AnswerWait& wait,
                      const std::function<void()>& writes);

// Runs `putBack`, writes that give the unit what it held, through `wait`, polling the unit's lock
// while it is silent; throws the last failure when the unit refuses them or stays silent past the
// wait's bound.
void PutBack3300(IQDevice3300& device, familycommon::AnswerWait& wait,
                 const std::function<void()>& putBack);

}  // namespace namespace3300
