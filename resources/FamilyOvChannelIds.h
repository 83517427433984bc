#pragma once

// Resource, control and command numbers of the newer family's level, delay, name and group
// windows.
namespace ovchannels_res {

// Dialog templates.
inline constexpr int kDelayDialog = 44;
inline constexpr int kDelayUnitsDialog = 45;
inline constexpr int kOutputLevelDialog = 46;
inline constexpr int kLinkDialog = 48;
inline constexpr int kNameDialog = 53;
inline constexpr int kInputLevelDialog = 62;
inline constexpr int kMasterLevelDialog = 63;
inline constexpr int kGroupDialog = 83;
// The modal window of group assignment rows.
inline constexpr int kGroupAssignmentDialog = 1522;

// The level windows' menu and its one command.
inline constexpr int kGroupsMenu = 6;
inline constexpr int kCmGroups = 51701;

// Level panes.
inline constexpr int kLevelTrackbar = 101;
inline constexpr int kLevelMeter = 102;
inline constexpr int kMute = 103;
inline constexpr int kPolarity = 107;
inline constexpr int kLevelText = 307;
inline constexpr int kChannelName = 323;

// Delay panes.
inline constexpr int kDelayEdit = 101;
inline constexpr int kDelaySpin = 102;
inline constexpr int kDelayBox = 103;
inline constexpr int kDelayBypass = 104;
inline constexpr int kUnitsMsec = 101;
inline constexpr int kUnitsFeet = 102;
inline constexpr int kUnitsMeters = 103;

// Name panes (the label is kChannelName).
inline constexpr int kNameEdit = 103;

// Gang pane, group tree and group assignment rows (the name is kChannelName).
inline constexpr int kGang = 101;
inline constexpr int kGroupTree = 101;
inline constexpr int kGroupList = 101;

void RegisterChannelResources();

}  // namespace ovchannels_res
