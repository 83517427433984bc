#include "platform/ui/Resources.h"
#include "resources/FamilyOvCommandIds.h"

namespace ovres {
namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = -1;

ui::DialogTemplate SecurityDialog() {
  return {kSecurityDialog,
          "Security",
          {0, 0, 150, 96},
          style::kNone,
          {{kNoId, ControlKind::Static, "Password:", {8, 8, 50, 10}},
           {kPasswordEdit,
            ControlKind::Edit,
            "",
            {60, 6, 82, 12},
            style::kPassword | style::kUpperCase},
           {kLockButton, ControlKind::OwnerDrawButton, "", {8, 26, 16, 16}},
           {kLockText, ControlKind::Static, "Lock device", {30, 29, 112, 10}},
           {kSetPasswordButton, ControlKind::PushButton, "Set new password ...", {8, 50, 134, 14}},
           {kServiceStatusButton, ControlKind::OwnerDrawButton, "", {134, 84, 12, 8}}}};
}

ui::DialogTemplate NetLogicDialog() {
  return {kNetLogicDialog,
          "OV22/OV24/OV26 Network Logic Trigger",
          {0, 0, 231, 44},
          style::kNone,
          {{kNoId, ControlKind::Static, "Logic input:", {10, 16, 50, 10}},
           {kLogicInputEdit, ControlKind::Edit, "", {62, 14, 40, 12}},
           {kLogicInputSpin, ControlKind::OwnerDrawButton, "", {106, 12, 16, 16}},
           {kTriggerButton, ControlKind::PushButton, "Trigger Now", {140, 13, 80, 14}}}};
}

ui::DialogTemplate RefreshDialog() {
  return {kRefreshDialog,
          "Logic Event",
          {0, 0, 240, 84},
          style::kNone,
          {{kNoId,
            ControlKind::Static,
            "A logic event has triggered the unit to recall a memory, but settings have been "
            "changed since the last save to a memory location.",
            {10, 8, 220, 28}},
           {kNoId, ControlKind::Static, "Overwrite current settings?", {10, 40, 220, 10}},
           {ui::kIdOk, ControlKind::PushButton, "Accept", {10, 62, 66, 14}, style::kDefault},
           {ui::kIdCancel, ControlKind::PushButton, "Cancel", {87, 62, 66, 14}},
           {kSaveToMemoryButton, ControlKind::PushButton, "Save to memory...", {164, 62, 66, 14}}}};
}

}  // namespace

void RegisterFamilyOvCommandDialogs() {
  ui::Resources::AddDialog(SecurityDialog());
  ui::Resources::AddDialog(NetLogicDialog());
  ui::Resources::AddDialog(RefreshDialog());
}

}  // namespace ovres
