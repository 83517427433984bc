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

// Adds the dialog templates above to the program's resources.
void RegisterFamily8100Resources();

}  // namespace f8100res
