#pragma once

// Resource and control numbers of the older family's windows.
namespace f8100res {

// The memory choice of file save and load, report and copy: check boxes for memories 1 to 12.
inline constexpr int kMemorySelectDialog = 30;
inline constexpr int kFirstMemoryCheck = 102;
inline constexpr int kMemorySelectNote = 318;

// Adds the dialog templates above to the program's resources.
void RegisterFamily8100Resources();

}  // namespace f8100res
