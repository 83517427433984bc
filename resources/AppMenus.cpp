// The main frame's menu, accelerators and status-bar hints.

#include <string>

#include "platform/ui/Resources.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"

using namespace appres;

namespace {

ui::MenuItemTemplate Separator() { return {}; }

ui::MenuTemplate MainMenu() {
  ui::MenuItemTemplate devices{"&Devices", 0, {}};
  devices.items = {{"&New Virtual ...", kCmNewVirtual, {}},
                   {"&Delete Virtual", kCmDeleteVirtual, {}},
                   Separator()};
  for (int i = 0; i < kSpecialCount; ++i) {
    devices.items.push_back(
        {(i == 0 ? "&Special" : "Special") + std::to_string(i + 1), kCmFirstSpecial + i, {}});
  }
  devices.items.push_back(Separator());
  devices.items.push_back({"&Roll call", kCmRollCall, {}});
  devices.items.push_back(Separator());
  devices.items.push_back({"&Continuous roll call", kCmContinuousRollCall, {}});

  ui::MenuItemTemplate options{"&Options", 0, {{"&Interface ...", kCmInterface, {}}}};
  for (int i = 0; i < 5; ++i) options.items.push_back(Separator());

  ui::MenuItemTemplate help{"&Help", 0, {{"&How to get help", kCmHowToGetHelp, {}}, Separator()}};
  for (int i = 0; i < kHelpItemCount; ++i) {
    help.items.push_back(
        {(i == 0 ? "&HelpItem" : "HelpItem") + std::to_string(i + 1), kCmFirstHelpItem + i, {}});
  }
  help.items.push_back(Separator());
  help.items.push_back({"&About...", kCmAbout, {}});

  return {{"&File", 0, {{"E&xit\tAlt+F4", kCmExit, {}}}}, devices, options, help};
}

ui::AcceleratorTable MainAccelerators() {
  return {{ui::key::kInsert, ui::kNoModifier, kCmNewVirtual},
          {ui::key::kDelete, ui::kNoModifier, kCmDeleteVirtual},
          {ui::key::kInsert, ui::kShiftKey, kCmPaste},
          {ui::key::kF1 + 3, ui::kAltKey, kCmExit},
          {ui::key::kDelete, ui::kControlKey, kCmUnusedCtrlDelete},
          {ui::key::kBack, ui::kAltKey, kCmUnusedAltBack},
          {ui::key::kF1 + 2, ui::kNoModifier, kCmUnusedF3}};
}

}  // namespace

void RegisterAppMenus() {
  ui::Resources::AddMenu(kMainMenu, MainMenu());
  ui::Resources::AddAccelerators(kMainMenu, MainAccelerators());
  ui::Resources::AddString(kMainMenu, kCmAbout, "About the Telvo Windows application");
  ui::Resources::AddString(kMainMenu, kCmHowToGetHelp,
                           "Contact information for technical support and documentation");
  ui::Resources::AddString(kMainMenu, kCmExit, "Quits Telvo Windows 2.3");
}
