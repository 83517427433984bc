#pragma once

// Resource, control and command numbers of the newer family's unit summary: its menu, its
// channel panes, the stubs that centre the input column and the footer.
namespace ovsummary_res {

// Menu and dialog templates.
inline constexpr int kSummaryMenu = 8;
inline constexpr int kInputPaneDialog = 54;
inline constexpr int kOutputPaneDialog = 55;
inline constexpr int kStubPaneDialog = 56;
inline constexpr int kFooterDialog = 72;
inline constexpr int kCompressorInputPaneDialog = 78;

// Controls both channel panes share.
inline constexpr int kMeter = 101;
inline constexpr int kLevelButton = 102;
inline constexpr int kName = 104;
inline constexpr int kDelayButton = 106;
inline constexpr int kFiltersButton = 107;
inline constexpr int kChannelLabel = 323;
// Input panes.
inline constexpr int kInputLevelSpin = 103;
inline constexpr int kInputDelaySpin = 105;
inline constexpr int kCompressorsButton = 108;
inline constexpr int kInputDelay = 110;
inline constexpr int kInputLevel = 132;
// Output panes.
inline constexpr int kOutputDelay = 103;
inline constexpr int kLimiterButton = 105;
inline constexpr int kOutputLevel = 108;
inline constexpr int kOutputLevelSpin = 109;
inline constexpr int kOutputDelaySpin = 110;
inline constexpr int kMute = 111;
inline constexpr int kPolarity = 112;
inline constexpr int kCrossoversButton = 120;
// Footer.
inline constexpr int kModifiedLamp = 101;
inline constexpr int kDspUsageBar = 102;
inline constexpr int kLastLogic = 301;
inline constexpr int kLastMemory = 302;
inline constexpr int kFiltersRemaining = 303;
inline constexpr int kDspUsage = 306;

// Menu commands.
inline constexpr int kCmFileOpen = 51704;
inline constexpr int kCmFileSaveAs = 51730;
inline constexpr int kCmFileReport = 51731;
inline constexpr int kCmUnitsMsec = 51725;
inline constexpr int kCmUnitsFeet = 51726;
inline constexpr int kCmUnitsMeters = 51727;
inline constexpr int kCmAutoOpen = 51724;
inline constexpr int kCmAdvancedMixer = 51729;
inline constexpr int kCmPinkNoise = 51717;
inline constexpr int kCmDspCapacity = 51716;
inline constexpr int kCmMemory = 51718;
inline constexpr int kCmLogic = 51719;
inline constexpr int kCmTimer = 51721;
inline constexpr int kCmSecurity = 51728;
inline constexpr int kCmUnitName = 51720;
inline constexpr int kCmSerialNumber = 51723;
inline constexpr int kCmFirmwareVersion = 51722;

// Adds the menu and templates above to the program's resources.
void RegisterSummaryResources();

}  // namespace ovsummary_res
