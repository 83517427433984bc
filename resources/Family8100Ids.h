#pragma once

// Resource and control numbers of the older family's windows.
namespace f8100res {

// The memory choice of file save and load, report and copy: check boxes for memories 1 to 12.
inline constexpr int kMemorySelectDialog = 30;
inline constexpr int kFirstMemoryCheck = 102;
inline constexpr int kMemorySelectNote = 318;

// The memory page: a name edit, a Save and a Recall button per memory, and the preset map button.
inline constexpr int kMemoryDialog = 29;
inline constexpr int kFirstSaveButton = 101;
inline constexpr int kFirstRecallButton = 121;
inline constexpr int kFirstMemoryName = 141;
inline constexpr int kPresetMapButton = 99;

// The preset map: one list per preset of the memory it recalls.
inline constexpr int kPresetDialog = 23;
inline constexpr int kFirstPresetList = 101;

// The edit window: its tree and the tree's images (the nine-image strip both processor families
// draw their trees with).
inline constexpr int kEditTree = 101;
inline constexpr int kTreeImages = 2;
// The large icon all four models share, apart from the newer family's picture.
inline constexpr int kLargeIcon = 81009;

// The signal-flow page, one template per model with the controls the model has.
inline constexpr int kSigFlowDialog = 21;
inline constexpr int kSigFlowPlusDialog = 32;
inline constexpr int kSigFlowXDialog = 34;
inline constexpr int kSigFlowRuneTideDialog = 38;
inline constexpr int kMeter1 = 101;
inline constexpr int kMeter2 = 104;
inline constexpr int kMeter3 = 102;
inline constexpr int kMeter4 = 103;
inline constexpr int kLeftInputButton = 105;
inline constexpr int kRightInputButton = 106;
inline constexpr int kLeftOutputButton = 111;
inline constexpr int kRightOutputButton = 112;
// Routing check boxes of the routing bytes 0 to 3.
inline constexpr int kRouteBox0 = 107;
inline constexpr int kRouteBox1 = 109;
inline constexpr int kRouteBox2 = 108;
inline constexpr int kRouteBox3 = 110;
inline constexpr int kLeftMuteSwitch = 113;
inline constexpr int kRightMuteSwitch = 114;
inline constexpr int kLeftAttenuationButton = 115;
inline constexpr int kRightAttenuationButton = 116;
inline constexpr int kNetPicture = 117;
inline constexpr int kLeftDelayButton = 118;
inline constexpr int kRightDelayButton = 119;
inline constexpr int kLowCrossoverButton = 120;
inline constexpr int kHighCrossoverButton = 121;
inline constexpr int kLeftLimiterButton = 122;
inline constexpr int kRightLimiterButton = 123;
inline constexpr int kNoiseButton = 124;
inline constexpr int kLeftNoiseSwitch = 125;
inline constexpr int kRightNoiseSwitch = 126;
// The attenuation of both outputs: the shared two-slider level dialog's template.
inline constexpr int kAttenuationDialog = 28;

// The delay dialog.
inline constexpr int kDelayDialog = 33;
inline constexpr int kMsecButton = 101;
inline constexpr int kFeetButton = 102;
inline constexpr int kMetersButton = 103;
inline constexpr int kRightDelayEdit = 105;
inline constexpr int kRightCoarseSpin = 106;
inline constexpr int kRightFineSpin = 107;
inline constexpr int kLeftDelayEdit = 108;
inline constexpr int kLeftCoarseSpin = 109;
inline constexpr int kLeftFineSpin = 110;

// The limiter dialog; each side's three release buttons run slow, medium, fast.
inline constexpr int kLimiterDialog = 37;
inline constexpr int kLeftReductionBar = 103;
inline constexpr int kRightReductionBar = 104;
inline constexpr int kLeftSlow = 105;
inline constexpr int kEnableLed = 108;
inline constexpr int kLeftThresholdSpin = 109;
inline constexpr int kLeftSoftKnee = 110;
inline constexpr int kRightSlow = 111;
inline constexpr int kRightThresholdSpin = 114;
inline constexpr int kLinkLed = 115;
inline constexpr int kLeftHardKnee = 116;
inline constexpr int kRightSoftKnee = 117;
inline constexpr int kRightHardKnee = 118;
inline constexpr int kLeftThresholdEdit = 120;
inline constexpr int kRightThresholdEdit = 121;

// The noise dialog.
inline constexpr int kNoiseDialog = 39;
inline constexpr int kRightPinkButton = 103;
inline constexpr int kRightFlatButton = 104;
inline constexpr int kLeftPinkButton = 105;
inline constexpr int kLeftFlatButton = 106;
inline constexpr int kLeftNoiseSpin = 108;
inline constexpr int kRightNoiseSpin = 110;
inline constexpr int kLeftNoiseLevelEdit = 120;
inline constexpr int kRightNoiseLevelEdit = 121;

// The security page: the password, the lock lamp with its caption, a new password, the service
// status.
inline constexpr int kSecurityDialog = 81008;
inline constexpr int kPasswordEdit = 101;
inline constexpr int kLockLamp = 102;
inline constexpr int kSetPasswordButton = 103;
inline constexpr int kStatusButton = 104;
inline constexpr int kLockCaption = 319;

// Adds the dialog templates above to the program's resources.
void RegisterFamily8100Resources();

}  // namespace f8100res
