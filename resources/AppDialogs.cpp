// Dialog templates of the application shell, in dialog units.

#include "platform/ui/Resources.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"
#include "resources/ControlsResources.h"
#include "resources/Family3300Ids.h"
#include "resources/Family3300PrintIds.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"

using namespace appres;
using ui::ControlKind;
namespace style = ui::style;

namespace {

ui::DialogTemplate ClientDialog() {
  // A bus unit's name is changed in its own window, where the unit is written: the bus list
  // offers no label edit that nothing would carry out.
  constexpr unsigned kBusListStyles = style::kSingleSelection;
  constexpr unsigned kVirtualListStyles = kBusListStyles | style::kEditLabels;
  return {kClientDialog,
          "Dialog Client",
          {0, 0, 256, 160},
          style::kChild,
          {{kNoId, ControlKind::Picture, "", {8, 5, 20, 20}, style::kNone, kUnitPicture},
           {kRollCallButton, ControlKind::PushButton, "Roll Call", {193, 8, 55, 14}},
           {kNoId, ControlKind::Line, "", {8, 28, 240, 1}},
           {kNoId, ControlKind::Static, "Virtual Devices", {8, 33, 115, 9}},
           {kPortName, ControlKind::Static, "Bus", {133, 33, 115, 9}},
           {kVirtualList, ControlKind::ListView, "", {8, 43, 115, 110}, kVirtualListStyles},
           {kBusList, ControlKind::ListView, "", {133, 43, 115, 110}, kBusListStyles}}};
}

ui::DialogTemplate SelectDeviceDialog() {
  return {kSelectDeviceDialog,
          "Select Device",
          {0, 0, 190, 110},
          style::kNone,
          {{kTypeListLabel, ControlKind::Static, "Available Device Types", {8, 6, 110, 9}},
           {kTypeList, ControlKind::ListBox, "", {8, 17, 110, 86}},
           {kNoId, ControlKind::Line, "", {128, 17, 54, 40}},
           {kTypePicture, ControlKind::Picture, "", {146, 29, 18, 16}},
           {ui::kIdOk, ControlKind::PushButton, "OK", {128, 70, 54, 14}, style::kDefault},
           {ui::kIdCancel, ControlKind::PushButton, "Cancel", {128, 89, 54, 14}}}};
}

ui::DialogTemplate InterfaceDialog() {
  return {kInterfaceDialog,
          "Interface",
          {0, 0, 250, 136},
          style::kNone,
          {{kNoId, ControlKind::GroupBox, "Port", {6, 4, 238, 76}},
           {kPortList, ControlKind::ListBox, "", {12, 18, 226, 56}},
           {kBaud9600,
            ControlKind::RadioButton,
            "9600",
            {12, 86, 40, 10},
            style::kGroup | style::kDisabled},
           {kBaud19200, ControlKind::RadioButton, "19200", {56, 86, 40, 10}, style::kDisabled},
           {kBaud38400, ControlKind::RadioButton, "38400", {100, 86, 40, 10}, style::kDisabled},
           {kNoId, ControlKind::Static, "Retry :", {12, 104, 34, 9}},
           {kRetriesEdit, ControlKind::Edit, "", {48, 102, 24, 12}, style::kNumber},
           {kNoId, ControlKind::Static, "Timeout :", {84, 104, 36, 9}},
           {kTimeoutEdit, ControlKind::Edit, "", {122, 102, 30, 12}, style::kNumber},
           {ui::kIdOk, ControlKind::PushButton, "OK", {190, 116, 54, 14}, style::kDefault}}};
}

// The two error dialogs share their layout; only caption, size, explanation and button differ.
ui::DialogTemplate ErrorDialog(int id, const char* caption, ui::DluBox box, const char* explanation,
                               int buttonId) {
  const int valueX = 92;
  const int valueWidth = box.width - valueX - 8;
  return {id,
          caption,
          box,
          style::kCentreOnScreen,
          {{kNoId, ControlKind::Picture, "", {10, 10, 20, 20}, style::kNone, kErrorIcon},
           {kNoId, ControlKind::Static, explanation, {40, 12, box.width - 48, 18}},
           {kNoId, ControlKind::Static, "Error Description:", {10, 38, 78, 9}},
           {kErrorDescription, ControlKind::Static, "----", {valueX, 38, valueWidth, 18}},
           {kNoId, ControlKind::Static, "Last object ID:", {10, 58, 78, 9}},
           {kErrorObjectId, ControlKind::Static, "----", {valueX, 58, valueWidth, 9}},
           {kNoId, ControlKind::Static, "Last Device Type:", {10, 70, 78, 9}},
           {kErrorDeviceType, ControlKind::Static, "----", {valueX, 70, valueWidth, 9}},
           {kNoId, ControlKind::Static, "Address:", {10, 82, 78, 9}},
           {kErrorAddress, ControlKind::Static, "----", {valueX, 82, valueWidth, 9}},
           {buttonId,
            ControlKind::PushButton,
            "Continue",
            {box.width / 2 - 30, box.height - 22, 60, 14},
            style::kDefault}}};
}

ui::DialogTemplate ComMonitorDialog() {
  return {kComMonitorDialog,
          "COM Port Monitor",
          {0, 0, 300, 190},
          style::kNone,
          {{kMonitorLog,
            ControlKind::Edit,
            "",
            {6, 6, 288, 158},
            style::kMultiLine | style::kReadOnly | style::kFixedPitch},
           {kMonitorLogCheck, ControlKind::CheckBox, "Log", {6, 172, 40, 10}},
           {kMonitorMaskCheck, ControlKind::CheckBox, "SW masking enabled", {60, 172, 100, 10}}}};
}

ui::DialogTemplate ProgressDialog() {
  return {kProgressDialog,
          "",
          {0, 0, 245, 81},
          style::kNone,
          {{kProgressBar, ControlKind::ProgressBar, "", {12, 14, 221, 14}},
           {kNoId, ControlKind::Line, "", {8, 8, 229, 66}},
           {kProgressText, ControlKind::Static, "", {12, 44, 221, 18}}}};
}

ui::DialogTemplate HowToGetHelpDialog() {
  return {kHowToGetHelpDialog,
          "How to get help",
          {0, 0, 240, 150},
          style::kNone,
          {{kNoId,
            ControlKind::Static,
            "For help on the Telvo Windows application, refer to the product's user's manual, "
            "shipped with each unit and also available at our web site:",
            {10, 8, 220, 28}},
           {kNoId, ControlKind::Static, "www.telvo-instruments.example", {30, 38, 200, 9}},
           {kNoId,
            ControlKind::Static,
            "For technical support, contact us via any of the following: ",
            {10, 56, 220, 18}},
           {kNoId, ControlKind::Static, "email", {30, 78, 40, 9}},
           {kNoId, ControlKind::Static, "support@telvo-instruments.example", {75, 78, 155, 9}},
           {kNoId, ControlKind::Static, "phone", {30, 90, 40, 9}},
           {kNoId, ControlKind::Static, "+1 555 0100", {75, 90, 155, 9}},
           {kNoId, ControlKind::Static, "fax", {30, 102, 40, 9}},
           {kNoId, ControlKind::Static, "+1 555 0101", {75, 102, 155, 9}},
           {ui::kIdOk, ControlKind::PushButton, "OK", {93, 126, 54, 14}, style::kDefault}}};
}

ui::DialogTemplate PollBusDialog() {
  return {kPollBusDialog,
          "Poll Bus",
          {0, 0, 180, 150},
          style::kNone,
          {{kNoId, ControlKind::Static, "Devices found:", {8, 6, 110, 9}},
           {kFoundList, ControlKind::ListView, "", {8, 17, 164, 104}, style::kSingleSelection},
           {ui::kIdOk, ControlKind::PushButton, "Stop", {63, 128, 54, 14}, style::kDefault}}};
}

ui::DialogTemplate AboutDialog() {
  return {
      kAboutDialog,
      "About Telvo Windows 2.3",
      {0, 0, 220, 120},
      style::kNone,
      {{kNoId, ControlKind::Picture, "", {10, 10, 20, 20}, style::kNone, kAppIcon},
       {kAboutVersion, ControlKind::Static, "Version", {40, 10, 170, 9}},
       {kNoId, ControlKind::Static, "Telvo Instruments device control software", {40, 22, 170, 9}},
       {kAboutLegal, ControlKind::Static, "", {40, 34, 170, 18}},
       {kAboutSpecialBuild, ControlKind::Static, "", {40, 54, 170, 9}},
       {kNoId, ControlKind::Picture, "", {10, 40, 20, 20}, style::kNone, kUnitPicture},
       {kNoId, ControlKind::Static, "Written by the TelvoWin2 team", {40, 68, 170, 9}},
       {kNoId, ControlKind::Static, "Released December 2026", {40, 80, 170, 9}},
       {ui::kIdOk, ControlKind::PushButton, "OK", {83, 98, 54, 14}, style::kDefault}}};
}

}  // namespace

void RegisterAppDialogs() {
  ui::Resources::AddDialog(ClientDialog());
  ui::Resources::AddDialog(SelectDeviceDialog());
  ui::Resources::AddDialog(InterfaceDialog());
  ui::Resources::AddDialog(
      ErrorDialog(kErrorDialog, "Communication Error", {0, 0, 259, 130},
                  "An unexpected failure has occured in the communication path.", ui::kIdCancel));
  ui::Resources::AddDialog(ErrorDialog(kErrorObjectDialog, "Error Object", {0, 0, 239, 137},
                                       "The hardware has responded with an error message.",
                                       ui::kIdOk));
  ui::Resources::AddDialog(ComMonitorDialog());
  ui::Resources::AddDialog(ProgressDialog());
  ui::Resources::AddDialog(HowToGetHelpDialog());
  ui::Resources::AddDialog(PollBusDialog());
  ui::Resources::AddDialog(AboutDialog());
}

void RegisterAppResources() {
  RegisterAppDialogs();
  RegisterAppMenus();
  RegisterAppImages();
  controls_res::RegisterControlsResources();
  ovres::RegisterFamilyOvResources();
  eq3300res::RegisterFamily3300PrintDialog();
  ovfunctions_res::RegisterFunctionDialogs();
  ovfilterdlg_res::RegisterFilterDialogs();
  f8100res::RegisterFamily8100Resources();
  ovprocessing_res::RegisterProcessingDialogs();
  ovsummary_res::RegisterSummaryResources();
  res3300::RegisterFamily3300Resources();
}
