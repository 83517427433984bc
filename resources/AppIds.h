#pragma once

// Resource, control and command numbers of the application shell's windows.
namespace appres {

// Dialog templates.
inline constexpr int kClientDialog = 2000;
inline constexpr int kSelectDeviceDialog = 14;
inline constexpr int kInterfaceDialog = 4;
inline constexpr int kErrorDialog = 6;
inline constexpr int kErrorObjectDialog = 9;
inline constexpr int kComMonitorDialog = 13;
inline constexpr int kProgressDialog = 17;
inline constexpr int kHowToGetHelpDialog = 66;
inline constexpr int kPollBusDialog = 76;
inline constexpr int kAboutDialog = 22000;

// Menu and accelerator table of the main frame.
inline constexpr int kMainMenu = 100;
inline constexpr int kPopupMenu = 101;

// Images.
inline constexpr int kAppIcon = 1;
inline constexpr int kUnitPicture = 3;
inline constexpr int kDefaultTypeIcon = 4;
inline constexpr int kReportIcon = 5;
inline constexpr int kFileIcon = 12;
inline constexpr int kErrorIcon = 101;
// The newer family's units: one large picture, and a small icon per model that shows its output
// sockets.
inline constexpr int kOrdavinexIcon = 9;
inline constexpr int kOrdavinex26SmallIcon = 16;
inline constexpr int kOrdavinex24SmallIcon = 17;
inline constexpr int kOrdavinex22SmallIcon = 18;
inline constexpr int kOrdavinex48SmallIcon = 20;
inline constexpr int kOrdavinex37SmallIcon = 19;
inline constexpr int kOrdavinex66SmallIcon = 21;
// The older family's small icons, one per model (Ordavinex, Ordavinex+, X, Rune Tide), and the
// graphic equalisers' (one channel, two channels).
inline constexpr int kOlderBaseSmallIcon = 7;
inline constexpr int kOlderPlusSmallIcon = 13;
inline constexpr int kOlderXSmallIcon = 14;
inline constexpr int kOlderRuneTideSmallIcon = 15;
inline constexpr int kEqualiserSmallIcon = 8;
inline constexpr int kTwoChannelEqualiserSmallIcon = 11;

// Commands.
inline constexpr int kCmExit = 24310;
inline constexpr int kCmNewVirtual = 51684;
inline constexpr int kCmDeleteVirtual = 51683;
inline constexpr int kCmFirstSpecial = 51701;
inline constexpr int kSpecialCount = 5;
inline constexpr int kCmRollCall = 51682;
inline constexpr int kCmContinuousRollCall = 51715;
inline constexpr int kCmInterface = 51685;
inline constexpr int kCmHowToGetHelp = 18874;
inline constexpr int kCmFirstHelpItem = 19001;
inline constexpr int kHelpItemCount = 10;
inline constexpr int kCmAbout = 2009;
inline constexpr int kCmMarkForCopy = 24323;
inline constexpr int kCmPaste = 24324;
// Accelerators that no window handles.
inline constexpr int kCmUnusedCtrlDelete = 24326;
inline constexpr int kCmUnusedAltBack = 24321;
inline constexpr int kCmUnusedF3 = 24353;

// Client dialog controls.
inline constexpr int kVirtualList = 101;
inline constexpr int kBusList = 102;
inline constexpr int kRollCallButton = 103;
inline constexpr int kPortName = 7772;

// Type chooser.
inline constexpr int kTypeList = 101;
inline constexpr int kTypeListLabel = 102;
inline constexpr int kTypePicture = 309;

// Interface dialog.
inline constexpr int kPortList = 101;
inline constexpr int kBaud9600 = 106;
inline constexpr int kBaud19200 = 107;
inline constexpr int kBaud38400 = 108;
inline constexpr int kRetriesEdit = 110;
inline constexpr int kTimeoutEdit = 111;

// Error dialogs.
inline constexpr int kErrorDescription = 303;
inline constexpr int kErrorAddress = 304;
inline constexpr int kErrorDeviceType = 305;
inline constexpr int kErrorObjectId = 306;

// COM monitor.
inline constexpr int kMonitorLog = 101;
inline constexpr int kMonitorLogCheck = 102;
inline constexpr int kMonitorMaskCheck = 103;

// Progress dialog.
inline constexpr int kProgressBar = 101;
inline constexpr int kProgressText = 311;

// Poll-bus dialog.
inline constexpr int kFoundList = 101;

// About box.
inline constexpr int kAboutVersion = 22001;
inline constexpr int kAboutLegal = 22002;
inline constexpr int kAboutSpecialBuild = 22003;

// Template entries that no code reaches.
inline constexpr int kNoId = -1;

}  // namespace appres
