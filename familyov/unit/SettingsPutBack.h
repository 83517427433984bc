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
// stored memories. On a bus unit they are read first: a bus failure part way puts them back as
// far as the unit answers and throws familycommon::LoadFailure, whose `restored` says whether all
// of it is back. Stored memories keep what was written. A virtual unit has no bus to fail.
void WriteWithPutBack(IQDeviceOrdavinex& device, PutBackParts parts,
                      const std::function<void()>& writes);

}  // namespace namespaceOV
