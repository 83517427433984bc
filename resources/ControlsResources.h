#pragma once

// Resource ids of the shared controls and small dialogs. The images live in one table with the
// program's icons, so the polarity glyphs take an id clear of icon 101.
namespace controls_res {

inline constexpr int kValueDialog = 3;
inline constexpr int kLevelDialog = 10;
inline constexpr int kAdjustDialog = 11;
inline constexpr int kStereoLevelDialog = 28;
inline constexpr int kInputDialog = 32514;

// Controls of the dialogs above.
inline constexpr int kValueText = 302;
inline constexpr int kAdjustText = 308;
inline constexpr int kAdjustUpDown = 101;
inline constexpr int kLevelTrackbar = 101;
inline constexpr int kLevelText = 307;
inline constexpr int kLevelUnit = 308;
inline constexpr int kLockBox = 102;
inline constexpr int kFirstTrackbar = 103;
inline constexpr int kFirstText = 317;
inline constexpr int kSecondTrackbar = 101;
inline constexpr int kSecondText = 307;
inline constexpr int kInputPrompt = 4091;
inline constexpr int kInputField = 4092;

// Bitmaps: strips of frames, images first and their masks after them.
inline constexpr int kPolarityGlyphs = 1101;  // 40 x 10: states 0 and 1, then their masks
inline constexpr int kLedLamps = 1333;        // 128 x 16: lamps 0-6, then the mask
inline constexpr int kQuadGlyphs = 2906;      // 56 x 7: zones 0-3, then their masks
inline constexpr int kSliderThumb = 23000;    // 26 x 8: normal and active thumb

// Adds the dialogs and bitmaps above to the program's resources.
void RegisterControlsResources();

}  // namespace controls_res
