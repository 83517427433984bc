#include "platform/ui/Resources.h"
#include "resources/FamilyOvChannelIds.h"

namespace ovchannels_res {
namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;

// A level pane from the top: meter (unless `meter` is off), name, trackbar in its frame, level.
std::vector<ui::ControlTemplate> LevelPane(bool meter, const char* name) {
  std::vector<ui::ControlTemplate> controls;
  if (meter) controls.push_back({kLevelMeter, ControlKind::OwnerDrawButton, "", {4, 2, 44, 20}});
  controls.push_back({kChannelName, ControlKind::Static, name, {4, 24, 44, 13}, style::kCenter});
  controls.push_back({kNoId, ControlKind::Line, "", {4, 38, 44, 117}});
  controls.push_back(
      {kLevelTrackbar, ControlKind::Trackbar, "", {13, 41, 26, 110}, style::kVertical});
  controls.push_back(
      {kLevelText, ControlKind::Static, "0.0", {4, 157, 44, 15}, style::kCenter | style::kSunken});
  return controls;
}

void AddLevelDialogs() {
  ui::Resources::AddDialog(
      {kInputLevelDialog, "", {0, 0, 52, 187}, style::kChild, LevelPane(true, "")});
  auto output = LevelPane(true, "");
  output.push_back({kMute, ControlKind::CheckBox, "Mute", {9, 176, 34, 14}});
  output.push_back({kNoId, ControlKind::Static, "Pol.", {6, 198, 18, 9}});
  output.push_back({kPolarity, ControlKind::OwnerDrawButton, "", {26, 196, 16, 14}});
  ui::Resources::AddDialog({kOutputLevelDialog, "", {0, 0, 52, 218}, style::kChild, output});
  auto master = LevelPane(false, "Master");
  master.push_back({kMute, ControlKind::CheckBox, "Mute", {9, 176, 34, 14}});
  ui::Resources::AddDialog({kMasterLevelDialog, "", {0, 0, 52, 218}, style::kChild, master});
}

void AddDelayDialogs() {
  ui::Resources::AddDialog({kDelayDialog,
                            "",
                            {0, 0, 77, 62},
                            style::kChild,
                            {{kDelayBox, ControlKind::GroupBox, "", {2, 2, 73, 58}},
                             {kDelayEdit, ControlKind::Edit, "", {8, 18, 38, 12}},
                             {kDelaySpin, ControlKind::OwnerDrawButton, "", {50, 15, 20, 18}},
                             {kDelayBypass, ControlKind::CheckBox, "Bypass", {8, 40, 50, 12}}}});
  ui::Resources::AddDialog(
      {kDelayUnitsDialog,
       "",
       {0, 0, 83, 45},
       style::kChild,
       {{kNoId, ControlKind::Static, "Units", {4, 18, 24, 9}},
        {kUnitsMsec, ControlKind::RadioButton, "msec", {32, 4, 46, 11}, style::kGroup},
        {kUnitsFeet, ControlKind::RadioButton, "feet", {32, 17, 46, 11}},
        {kUnitsMeters, ControlKind::RadioButton, "meters", {32, 30, 46, 11}}}});
}

void AddNameAndGroupDialogs() {
  ui::Resources::AddDialog({kNameDialog,
                            "",
                            {0, 0, 155, 20},
                            style::kChild,
                            {{kChannelName, ControlKind::Static, "", {4, 5, 46, 9}, style::kCenter},
                             {kNameEdit, ControlKind::Edit, "", {58, 4, 90, 12}}}});
  ui::Resources::AddDialog({kLinkDialog,
                            "",
                            {0, 0, 104, 17},
                            style::kChild,
                            {{kGang, ControlKind::CheckBox, "Gang", {32, 3, 40, 11}}}});
  ui::Resources::AddDialog(
      {kGroupDialog,
       "",
       {0, 0, 230, 20},
       style::kChild,
       {{kNoId, ControlKind::Static, "Channel:", {4, 5, 34, 9}},
        {kChannelName, ControlKind::Static, "1", {40, 5, 60, 9}},
        {kNoId, ControlKind::Static, "assigned to group:", {102, 5, 66, 9}},
        {kGroupList, ControlKind::ComboBox, "", {170, 3, 54, 80}, style::kDropDownList}}});
  // The rows stand in a group window that the dialog sizes to them.
  ui::Resources::AddDialog({kGroupAssignmentDialog, "", {0, 0, 230, 100}, style::kNone, {}});
}

}  // namespace

void RegisterChannelResources() {
  AddLevelDialogs();
  AddDelayDialogs();
  AddNameAndGroupDialogs();
  ui::Resources::AddMenu(kGroupsMenu, {{"&Groups...", kCmGroups, {}}});
  ui::Resources::AddString(kGroupsMenu, kCmGroups, "Assign channels to groups");
}

}  // namespace ovchannels_res
