#pragma once

#include "resources/FamilyOvChannelIds.h"

// Resource and control numbers of the newer family's crossover dialog, network assignment and
// crossover macro windows.
namespace ovcrossover_res {

// Dialog templates.
inline constexpr int kCrossoverDialog = 43;
inline constexpr int kMacroPropertiesDialog = 61;
// A network pane is the channels' group row: a channel's name and the list it is assigned from.
inline constexpr int kNetworkPaneDialog = ovchannels_res::kGroupDialog;
// The modal window of the network panes.
inline constexpr int kNetworkAssignmentDialog = 1523;

// Crossover dialog: the low crossover's row above the high crossover's.
inline constexpr int kLowType = 101;
inline constexpr int kLowFrequency = 301;
inline constexpr int kLowQuad = 111;
inline constexpr int kLowOrder = 103;
inline constexpr int kLowSlope = 321;
inline constexpr int kHighType = 107;
inline constexpr int kHighFrequency = 102;
inline constexpr int kHighQuad = 110;
inline constexpr int kHighOrder = 104;
inline constexpr int kHighSlope = 320;
inline constexpr int kPolarity = 105;
// The rows' pictures; 17 and 18 are the units' icons.
inline constexpr int kLowCrossoverPicture = 43017;
inline constexpr int kHighCrossoverPicture = 43018;

// Network pane.
inline constexpr int kNetworkCombo = ovchannels_res::kGroupList;
inline constexpr int kNetworkChannelName = ovchannels_res::kChannelName;

// Macro properties.
inline constexpr int kMacroName = 103;
inline constexpr int kMacroDescription = 102;

// Macro window: its list and commands.
inline constexpr int kMacroList = 101;
inline constexpr int kCmMacroNew = 201;
inline constexpr int kCmMacroProperties = 202;
inline constexpr int kCmMacroOpen = 203;
inline constexpr int kCmMacroDelete = 204;
inline constexpr int kCmMacroSave = 205;

// Crossover editor's commands.
inline constexpr int kCmNetworks = 51692;
inline constexpr int kCmMacros = 51705;

// Adds the dialogs above to the program's resources.
void RegisterFamilyOvCrossoverDialogs();

}  // namespace ovcrossover_res
