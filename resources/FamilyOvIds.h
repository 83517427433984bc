#pragma once

// Resource, control and command numbers of the newer family's windows.
namespace ovres {

// The unit edit window: its menu, the function tree and the tree's nine 16 x 16 images.
inline constexpr int kEditUnitMenu = 300;
inline constexpr int kFunctionTree = 101;
inline constexpr int kTreeImages = 2;

// Commands of the unit edit window's menu.
inline constexpr int kCmSaveSettings = 25001;
inline constexpr int kCmLoadSettings = 25002;
inline constexpr int kCmPrintReport = 25003;
inline constexpr int kCmCloseUnit = 25004;
inline constexpr int kCmRenameUnit = 25010;
inline constexpr int kCmStrobeLeds = 25011;
inline constexpr int kCmFactoryInit = 25012;
inline constexpr int kCmChangeAddress = 25013;
inline constexpr int kCmFirmwareVersion = 25014;
inline constexpr int kCmSerialNumber = 25015;
inline constexpr int kCmReflash = 25016;

// Adds the menus, strings and images above to the program's resources.
void RegisterFamilyOvResources();

}  // namespace ovres
