#pragma once

// Resource and control numbers of the newer family's compressor, limiter, mixer, DSP capacity and
// pink-noise windows.
namespace ovprocessing_res {

// Dialog templates.
inline constexpr int kLimiterPane = 50;
inline constexpr int kGasDialog = 59;
inline constexpr int kPinkNoise6Outputs = 60;
inline constexpr int kPinkNoise4Outputs = 65;
inline constexpr int kPinkNoise2Outputs = 75;
inline constexpr int kAdvMixerCell = 79;
inline constexpr int kCompressorPane = 80;
inline constexpr int kMatrixLabel = 81;
inline constexpr int kMatrixInputLabel = 82;
inline constexpr int kPinkNoise7Outputs = 84;
inline constexpr int kPinkNoise8Outputs = 85;

// The trees of the compressor and limiter windows.
inline constexpr int kGroupTree = 101;

// Compressor pane.
inline constexpr int kCompCaption = 101;
inline constexpr int kCompThreshold = 102;
inline constexpr int kCompRatio = 103;
inline constexpr int kCompThresholdSpin = 104;
inline constexpr int kCompPostGainSpin = 106;
inline constexpr int kCompPostGain = 107;
inline constexpr int kCompSoft = 108;
inline constexpr int kCompHard = 109;
inline constexpr int kCompSpeed = 110;
inline constexpr int kCompGang = 111;
inline constexpr int kCompRatioText = 301;
inline constexpr int kCompSpeedText = 302;

// Limiter pane.
inline constexpr int kLimCaption = 101;
inline constexpr int kLimThreshold = 102;
inline constexpr int kLimMeter = 103;
inline constexpr int kLimRelease = 104;
inline constexpr int kLimEnable = 105;
inline constexpr int kLimThresholdSpin = 106;
inline constexpr int kLimSoft = 110;
inline constexpr int kLimHard = 116;
inline constexpr int kLimMeterText = 307;

// DSP capacity dialog.
inline constexpr int kGasTotalBar = 101;
inline constexpr int kGasUsageBar = 102;
inline constexpr int kGasCrossovers = 301;
inline constexpr int kGasFiltersRemain = 303;
inline constexpr int kGasFilters = 304;
inline constexpr int kGasLimiters = 305;
inline constexpr int kGasTotal = 306;
inline constexpr int kGasPinkNoise = 307;
inline constexpr int kGasUsage = 308;
inline constexpr int kGasDelayMemory = 309;

// Mixing matrix: every check box of the grid carries this id.
inline constexpr int kCrosspointBox = 101;

// Advanced mixer cell and headers.
inline constexpr int kCellDelay = 101;
inline constexpr int kCellGain = 102;
inline constexpr int kCellGainSpin = 103;
inline constexpr int kCellDelaySpin = 105;
inline constexpr int kColorBar = 107;
inline constexpr int kLabelName = 323;

// Pink noise.
inline constexpr int kPinkLevel = 102;
inline constexpr int kPinkEnable = 105;
inline constexpr int kPinkLevelSpin = 106;
inline constexpr int kFirstPinkMute = 109;

// Adds the templates to the program's resources.
void RegisterProcessingDialogs();

}  // namespace ovprocessing_res
