#pragma once

class IQDeviceManager;
class IQDeviceType;
class TProgressDialog;

namespace namespaceOV {

class IQDeviceOrdavinex;

inline constexpr int kFirstLogicInput = 1;
inline constexpr int kLastLogicInput = 31;
// Every 2-input unit on the network listens at this address as well as at its own.
inline constexpr int kNetworkLogicAddress = 252;
inline constexpr int kNetworkLogicFamilyCode = 0xF0;

// Fires logic input `input` (1..31) of the unit. A bus unit recalls the memory its logic map names
// and is waited for until ready; a virtual unit recalls that memory itself, and a memory the model
// does not have (a file may hold any number) is refused with OrdavinexRangeError before anything
// changes. With `progress`, the wait moves its bar.
void TriggerLogicInput(IQDeviceOrdavinex& device, int input, TProgressDialog* progress = nullptr);

// Fires logic input `input` (1..31) of every 2-input unit on the first network at once, and waits
// until they are ready. A failure, or a number outside 1..31 (nothing is sent then), is reported;
// false then.
bool SendNetworkLogicTrigger(IQDeviceType* type, IQDeviceManager* manager, int input,
                             TProgressDialog* progress = nullptr);

}  // namespace namespaceOV
