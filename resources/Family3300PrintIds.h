#pragma once

// Resource and control numbers of the graphic-equaliser family's memory options dialog, which the
// report and the copy share.
namespace eq3300res {

inline constexpr int kPrintOptionsDialog = 15;
inline constexpr int kIncludeMemoriesGroup = 101;
// Memory k's check box is kFirstMemoryCheck + k - 1.
inline constexpr int kFirstMemoryCheck = 102;

// Adds the dialog to the program's resources.
void RegisterFamily3300PrintDialog();

}  // namespace eq3300res
