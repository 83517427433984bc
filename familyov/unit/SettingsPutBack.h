#pragma once

#include <functional>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// What writing settings into a unit changes besides its current settings and stored memories.
struct PutBackParts {
  bool globals = false;
  bool events = false;
};

// Runs `writes`, which change the unit's current settings, what `parts` names and any of its
// stored memories, having read the first two. A bus failure part way (of this unit, or of the unit
// the settings come from) puts them back and throws familycommon::LoadFailure, whose `restored`
// says whether all of it is back (a unit left part way has its filters marked stale). A unit that
// fell silent is waited for within familycommon::kAnswerWaitLimit (or the device's shorter wait
// bound, on its clock), the wait shown on `progress`, and put back once it answers. After a ready
// wait that ran out, the put-back's own ready wait polls once: the unit took the writes, and the
// user is told after one wait, not two. Stored memories keep what was written.
void WriteWithPutBack(IQDeviceOrdavinex& device, PutBackParts parts, ProgressReport* progress,
                      const std::function<void()>& writes);

}  // namespace namespaceOV
