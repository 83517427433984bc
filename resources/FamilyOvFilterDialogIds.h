#pragma once

// Resource and control numbers of the newer family's filter parameter dialogs, the octave array
// dialog and the channel linking panes.
namespace ovfilterdlg_res {

// Dialog templates.
inline constexpr int kLowpassDialog = 24;
inline constexpr int kHighpassDialog = 25;
inline constexpr int kLowshelfDialog = 26;
inline constexpr int kHighshelfDialog = 27;
inline constexpr int kOctaveDialog = 36;
inline constexpr int kStubDialog = 41;
inline constexpr int kAllNoneDialog = 57;
inline constexpr int kChannelLinkDialog = 58;
inline constexpr int kOctaveMacroDialog = 64;
inline constexpr int kCDHornDialog = 69;
inline constexpr int kAllpassDialog = 71;
inline constexpr int kParametricDialog = 77;

// Filter parameter dialogs.
inline constexpr int kFrequencyEdit = 101;
inline constexpr int kLevelEdit = 102;
inline constexpr int kQEdit = 103;
inline constexpr int kBandwidthSlider = 104;
inline constexpr int kFrequencyQuad = 105;
inline constexpr int kLevelQuad = 106;
inline constexpr int kInvertButton = 107;
inline constexpr int kBandwidthEdit = 108;
inline constexpr int kOrderUpDown = 102;
inline constexpr int kFirstOrderRadio = 102;
inline constexpr int kSecondOrderRadio = 103;
inline constexpr int kSlopeText = 316;
inline constexpr int kFrequencyText = 322;

// Octave array dialog.
inline constexpr int kStartEdit = 101;
inline constexpr int kStartQuad = 102;
inline constexpr int kStopEdit = 103;
inline constexpr int kStopQuad = 104;
inline constexpr int kSpacingCombo = 105;
inline constexpr int kOctaveQEdit = 106;
inline constexpr int kOctaveQQuad = 107;

// Channel linking panes.
inline constexpr int kLinkAll = 101;
inline constexpr int kLinkNone = 102;
inline constexpr int kLinkCheck = 101;

// Adds the templates above to the program's resources.
void RegisterFilterDialogs();

}  // namespace ovfilterdlg_res
