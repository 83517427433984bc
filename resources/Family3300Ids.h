#pragma once

// Resource ids of the graphic-equaliser family's windows. The family's dialogs take ids of their
// own so that they sit beside the other families' templates.
namespace res3300 {

inline constexpr int kGraphicEqDialog = 33002;
inline constexpr int kDspiDialog = 33005;
inline constexpr int kMemoryDialog = 33007;
inline constexpr int kSecurityDialog = 33008;
inline constexpr int kTreeImages = 33102;
// The two models' large icons, apart from the newer family's tree strip and the shell's picture.
inline constexpr int kLargeIcon = 33202;
inline constexpr int kTwoChannelLargeIcon = 33203;

// Graphic equaliser: band b (1..28) has slider kFirstBandSlider + b - 1 and label
// kFirstBandLabel + b - 1.
inline constexpr int kFirstBandSlider = 101;
inline constexpr int kFlattenButton = 129;
inline constexpr int kAdjustButton = 130;
inline constexpr int kFirstBandLabel = 201;

// DSPI: its lamp is the button.
inline constexpr int kDspiLamp = 101;

// Memory: memory k (1..10) has Save kFirstSave + k - 1, Recall kFirstRecall + k - 1 and its name
// in kFirstName + k - 1.
inline constexpr int kFirstSave = 101;
inline constexpr int kFirstRecall = 121;
inline constexpr int kFirstName = 141;

// Security.
inline constexpr int kPasswordEdit = 101;
inline constexpr int kLockLamp = 102;
inline constexpr int kSetPasswordButton = 103;
inline constexpr int kStatusButton = 104;

// The edit window: its function tree and its menu's commands.
inline constexpr int kFunctionTree = 101;
inline constexpr int kEditUnitMenu = 33300;
inline constexpr int kCmSaveSettings = 33301;
inline constexpr int kCmLoadSettings = 33302;
inline constexpr int kCmPrintReport = 33303;
inline constexpr int kCmCloseUnit = 33304;

void RegisterFamily3300Resources();

}  // namespace res3300
