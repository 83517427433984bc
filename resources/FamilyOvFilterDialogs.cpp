#include "platform/ui/Resources.h"
#include "resources/FamilyOvFilterDialogIds.h"

namespace ovfilterdlg_res {

namespace {

namespace style = ui::style;

}  // namespace

void RegisterFilterDialogs() {
  ui::Resources::AddDialog({kStubDialog, "", {0, 0, 200, 40}, style::kChild, {}});
}

}  // namespace ovfilterdlg_res
