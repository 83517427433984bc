#pragma once

#include <functional>

#include "familycommon/LoadFailure.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// What writing settings into a unit changes besides its current settings: what `parts` names and
// its stored memories 1 to `memories`.
struct PutBackParts {
  bool globals = false;
  bool events = false;
  int memories = 0;
};

// The writes into a unit, each run through here so that a failure can say how far they got.
class LoadSteps {
 public:
  explicit LoadSteps(const PutBackParts& parts);

  // The unit's memory names, logic map, delay unit, channel names and clock events, as `parts`
  // names them.
  void Globals(const std::function<void()>& write);
  // Memory `memory` of the unit, 0 its current settings; memories are written in order from 0.
  void Memory(int memory, const std::function<void()>& write);

  const familycommon::LoadProgress& Progress() const { return progress_; }

 private:
  familycommon::LoadProgress progress_;
};

// Runs `writes`, which change the unit's current settings and what `parts` names, having read
// them. A bus failure part way (of this unit, or of the unit the settings come from) puts them
// back and throws familycommon::LoadFailure, whose `restored` says whether all of it is back (a
// unit left part way has its filters marked stale) and whose progress says what the unit holds. A
// unit that fell silent is waited for within familycommon::kAnswerWaitLimit (or the device's
// shorter wait bound, on its clock), the wait shown on `progress`, and put back once it answers.
// After a ready wait that ran out, the put-back's own ready wait polls once: the unit took the
// writes, and the user is told after one wait, not two. Stored memories keep what was written.
void WriteWithPutBack(IQDeviceOrdavinex& device, const PutBackParts& parts,
                      ProgressReport* progress, const std::function<void(LoadSteps&)>& writes);

}  // namespace namespaceOV
