#include "platform/ui/Resources.h"
#include "resources/Family8100BankEditorIds.h"

namespace f8100res {

void RegisterFamily8100BankEditorMenu() {
  ui::Resources::AddMenu(
      kBankEditorMenu8100,
      {{"&New",
        0,
        {{"&Parametric", kCmAddParametric, {}},
         {"&Lowpass", kCmAddLowpass, {}},
         {"&Highpass", kCmAddHighpass, {}},
         {"L&ow shelving", kCmAddLowShelf, {}},
         {"H&igh shelving", kCmAddHighShelf, {}}}},
       {"&Edit",
        0,
        {{"&Bypass", kCmBypassFilters, {}},
         {"E&nable", kCmEnableFilters, {}},
         {},
         {"&Delete", kCmDeleteFilters, {}}}},
       {"&View", 0, {{"&Graph", kCmRestoreGraph, {}}, {"&List", kCmRestoreList, {}}}}});
}

}  // namespace f8100res
