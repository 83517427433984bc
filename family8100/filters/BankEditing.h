#pragma once

#include <cstdint>
#include <vector>

#include "family8100/filters/Filters8100.h"

namespace namespace8100 {

class FamilyKey8100;
class IQDevice8100;

// The bank a copy goes to: right and left of the same side swap.
int32_t TwinBank(int32_t bank);

// The bank operations of the filter editor, on plain filters and a selection. Bus failures pass to
// the caller; what was done before a failure stays done and is told through the results.

// A new filter of `type` with the stored defaults, placed in `bank`, written and committed. A
// low-pass or high-pass filter gives up orders until it fits. None when even the smallest does not
// fit the unit's section budget; then nothing was written.
TFilter* AddBankFilter(IQDevice8100& unit, const FamilyKey8100& defaults, int32_t bank,
                       int32_t type);

// Removes the selected filters from the unit one by one. Each leaves `selection` as it is freed,
// so that a failure part way leaves only filters that still exist; `removed` names the freed ones,
// for comparison only.
void RemoveSelection(IQDevice8100& unit, std::vector<TFilter*>& selection,
                     std::vector<const TFilter*>& removed);

// Copies the selection in order into the twin bank while the budget allows; `copies` gets each
// copy as it is made. Returns whether every filter was copied.
bool CopyToTwinBank(IQDevice8100& unit, const std::vector<TFilter*>& selection,
                    std::vector<TFilter*>& copies);

// A bus unit may move a filter to another slot when its size changes: the slot it now holds.
void ReadMovedSlot(IQDevice8100& unit, TFilter& filter);

// A low-pass or high-pass order raised (`steps` > 0) or lowered, kept to 1..8. False, and nothing
// changed, when the extra sections do not fit the budget. A bus unit may move the filter to another
// slot when its size changes; the new slot is read back before the filter is written and
// committed.
bool StepOrder(IQDevice8100& unit, TPassFilter& filter, int steps);

}  // namespace namespace8100
