#pragma once

// Resource and command numbers of the newer family's crossover editor.
namespace ovcrossover_editor_res {

// The editor's menu bar.
inline constexpr int kCrossoverEditorMenu = 5;

// Commands of the menu; "Networks" and "Macros" are the crossover windows' own (kCmNetworks,
// kCmMacros in FamilyOvCrossoverIds.h).
inline constexpr int kCmDspCapacity = 51706;
inline constexpr int kCmShowNetworkSum = 51707;

// Adds the menu and its status-bar hints to the program's resources.
void RegisterCrossoverEditorResources();

}  // namespace ovcrossover_editor_res
