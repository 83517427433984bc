#pragma once

#include "resources/FamilyOvFilterEditorIds.h"

// The older family's filter bank editor: its menu, keys and commands.
namespace f8100res {

// The families' filter editors offer the same menu; the commands this editor lacks are greyed.
inline constexpr int kBankEditorMenu8100 = ovfilter_res::kFilterEditorMenu;
inline constexpr int kBankEditorKeys8100 = 3;

inline constexpr int kCmAddParametric = 51690;
inline constexpr int kCmAddLowpass = 51687;
inline constexpr int kCmAddHighpass = 51688;
inline constexpr int kCmAddLowShelf = 51693;
inline constexpr int kCmAddHighShelf = 51686;
inline constexpr int kCmDeleteFilters = 51689;
inline constexpr int kCmCopyToTwin = 51695;
inline constexpr int kCmBypassFilters = 51696;
inline constexpr int kCmEnableFilters = 51697;
inline constexpr int kCmRestoreList = 51698;
inline constexpr int kCmRestoreGraph = 51699;
inline constexpr int kCmPrintFilters = 51700;

void RegisterFamily8100BankEditorKeys();

}  // namespace f8100res
