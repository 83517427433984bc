#pragma once

// Resource, control and command numbers of the newer family's filter editor.
namespace ovfilter_res {

// The editor's menu bar.
inline constexpr int kFilterEditorMenu = 3;

// Bitmaps, clear of the program's icon numbers: the tool bar's buttons (16 x 16 on white, which is
// transparent), the list's type icons (16 wide) and its state icons (20 wide).
inline constexpr int kParametricButton = 3408;
inline constexpr int kLowpassButton = 3409;
inline constexpr int kHighpassButton = 3410;
inline constexpr int kLowShelfButton = 3413;
inline constexpr int kHighShelfButton = 3414;
inline constexpr int kBoostCutPicture = 3416;  // no button adds one; its filter dialog shows it
inline constexpr int kAllpassButton = 3421;
inline constexpr int kBypassButton = 3404;
inline constexpr int kEnableButton = 3405;
inline constexpr int kUnlinkButton = 3411;
inline constexpr int kDeleteButton = 3412;
inline constexpr int kFilterTypeIcons = 3407;
inline constexpr int kFilterStateIcons = 3415;

// Controls.
inline constexpr int kFilterList = 101;
inline constexpr int kRemainingCount = 101;

// Commands of the editor's menu, tool bar and the list's pop-up menu.
inline constexpr int kCmHighShelving = 51686;
inline constexpr int kCmLowpass = 51687;
inline constexpr int kCmHighpass = 51688;
inline constexpr int kCmDelete = 51689;
inline constexpr int kCmParametric = 51690;
inline constexpr int kCmLowShelving = 51693;
inline constexpr int kCmBypass = 51696;
inline constexpr int kCmEnable = 51697;
inline constexpr int kCmShowList = 51698;
inline constexpr int kCmShowGraph = 51699;
inline constexpr int kCmPrint = 51700;
inline constexpr int kCmFilterLinking = 51702;
inline constexpr int kCmDspCapacity = 51706;
inline constexpr int kCmSelectAll = 51708;
inline constexpr int kCmOctaveArray = 51709;
inline constexpr int kCmUnlink = 51710;
inline constexpr int kCmSelectZeroDb = 51711;
inline constexpr int kCmCDHorn = 51713;
inline constexpr int kCmAllpass = 51714;
inline constexpr int kCmShowPhase = 51725;
// Copy and move to channel c: the first id plus c. The moves start above every other command of
// the editor, so that no channel's move shares its id with "Show phase".
inline constexpr int kCmFirstCopyToChannel = 18871;
inline constexpr int kCmFirstMoveToChannel = 51741;

// Adds the menus, strings and images above to the program's resources.
void RegisterFilterEditorResources();

}  // namespace ovfilter_res
