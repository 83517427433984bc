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

// Adds the templates above to the program's resources.
void RegisterFilterDialogs();

}  // namespace ovfilterdlg_res
