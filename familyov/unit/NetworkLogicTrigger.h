#pragma once

class IQDeviceManager;
class IQDeviceType;
class TProgressDialog;

namespace namespaceOV {

inline constexpr int kFirstNetworkLogicInput = 1;
inline constexpr int kLastNetworkLogicInput = 31;
// Every 2-input unit on the network listens at this address as well as at its own.
inline constexpr int kNetworkLogicAddress = 252;
inline constexpr int kNetworkLogicFamilyCode = 0xF0;

// Fires logic input `input` (1..31) of every 2-input unit on the first network at once, and waits
// until they are ready. A failure, or a number outside 1..31 (nothing is sent then), is reported;
// false then.
bool SendNetworkLogicTrigger(IQDeviceType* type, IQDeviceManager* manager, int input,
                             TProgressDialog* progress = nullptr);

}  // namespace namespaceOV
