// The dialogs both processor families' windows use.

#include "platform/ui/Resources.h"
#include "resources/FamilyCommonIds.h"

namespace common_res {

void RegisterFamilyCommonResources() {
  ui::Resources::AddDialog(
      {kSetPassDialog,
       "Set new password",
       {0, 0, 170, 70},
       ui::style::kNone,
       {{0, ui::ControlKind::Static, "New password:", {8, 8, 60, 10}},
        {kSetPassNewEdit,
         ui::ControlKind::Edit,
         "",
         {72, 6, 90, 12},
         ui::style::kPassword | ui::style::kUpperCase},
        {0, ui::ControlKind::Static, "Confirm", {8, 26, 60, 10}},
        {kSetPassConfirmEdit,
         ui::ControlKind::Edit,
         "",
         {72, 24, 90, 12},
         ui::style::kPassword | ui::style::kUpperCase},
        {ui::kIdOk, ui::ControlKind::PushButton, "OK", {30, 48, 50, 14}, ui::style::kDefault},
        {ui::kIdCancel, ui::ControlKind::PushButton, "Cancel", {90, 48, 50, 14}}}});
}

}  // namespace common_res
