#pragma once

// Resource and control numbers of the newer family's unit-wide dialogs: security, new settings
// loaded by the unit, and the network logic trigger.
namespace ovres {

inline constexpr int kSecurityDialog = 8;
inline constexpr int kNetLogicDialog = 70;
inline constexpr int kRefreshDialog = 74;

// Security.
inline constexpr int kPasswordEdit = 101;
inline constexpr int kLockButton = 102;
inline constexpr int kSetPasswordButton = 103;
inline constexpr int kServiceStatusButton = 104;
inline constexpr int kLockText = 319;

// Network logic trigger.
inline constexpr int kLogicInputEdit = 101;
inline constexpr int kLogicInputSpin = 102;
inline constexpr int kTriggerButton = 116;

// New settings.
inline constexpr int kSaveToMemoryButton = 9;

// Adds the dialogs above to the program's resources.
void RegisterFamilyOvCommandDialogs();

}  // namespace ovres
