#pragma once

#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/CrossoverMacro.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// Fills `macro`'s outputs and filters from the unit: each output's crossovers, polarity, network
// and delay, and every output filter that is linked to no other. Bus failures pass to the caller,
// which drops the half-filled macro.
void CaptureMacro(IQDeviceOrdavinex& device, TXMacro& macro);

enum class MacroRecall { kDone, kOtherOutputCount, kNoCapacity, kNoDelayCapacity };

// Puts the macro onto the unit in place of its crossovers, output filters, polarities, networks
// and (where the macro keeps them) output delays, and tells the windows to show everything again.
// A refusal changes nothing. A bus failure stops the recall where it happened; the windows are
// still told to refresh, then the failure passes to the caller.
MacroRecall RecallMacro(IQDeviceOrdavinex& device, const TXMacro& macro, const RecordSender& send);

}  // namespace namespaceOV
