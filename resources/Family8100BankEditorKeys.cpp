#include "platform/ui/Resources.h"
#include "resources/Family8100BankEditorIds.h"

namespace f8100res {

void RegisterFamily8100BankEditorKeys() {
  ui::Resources::AddAccelerators(kBankEditorKeys8100,
                                 {{'P', ui::kControlKey, kCmAddParametric},
                                  {'L', ui::kControlKey, kCmAddLowpass},
                                  {'H', ui::kControlKey, kCmAddHighpass},
                                  {'O', ui::kControlKey, kCmAddLowShelf},
                                  {'I', ui::kControlKey, kCmAddHighShelf},
                                  {ui::key::kDelete, ui::kNoModifier, kCmDeleteFilters}});
}

}  // namespace f8100res
