#pragma once

// The older family's filter bank editor: its menu and its commands.
namespace f8100res {

inline constexpr int kBankEditorMenu8100 = 81;

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

void RegisterFamily8100BankEditorMenu();

}  // namespace f8100res
