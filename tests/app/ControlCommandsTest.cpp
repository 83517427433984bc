// A control's click belongs to its own dialog. The ids of the dialogs' controls are numbered per
// dialog, and here and there one is also a command of the windows a dialog opens over: the main
// window's Roll Call button is 103, and so are the second memory boxes of the older family's and
// the equalisers' memory choices. Only menus and accelerators send commands along the chain.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/Family3300PrintIds.h"
#include "resources/Family8100Ids.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

bool Clickable(ui::ControlKind kind) {
  return kind == ui::ControlKind::PushButton || kind == ui::ControlKind::CheckBox ||
         kind == ui::ControlKind::RadioButton || kind == ui::ControlKind::OwnerDrawButton;
}

void AddCommands(const ui::MenuTemplate& menu, std::set<int>& commands) {
  for (const ui::MenuItemTemplate& item : menu) {
    if (item.id != 0) commands.insert(item.id);
    AddCommands(item.items, commands);
  }
}

// Every menu's and accelerator table's commands: the window that shows the menu handles them.
std::set<int> MenuCommands() {
  std::set<int> commands;
  for (int id : ui::Resources::MenuIds()) AddCommands(*ui::Resources::Menu(id), commands);
  for (int id : ui::Resources::AcceleratorIds()) {
    for (const ui::Accelerator& key : *ui::Resources::Accelerators(id)) {
      commands.insert(key.commandId);
    }
  }
  return commands;
}

struct Meeting {
  int dialog;
  int control;
  bool operator==(const Meeting&) const = default;
};

class ControlCommandsTest : public ShellTest {
 protected:
  // Each clickable control of every dialog whose id a menu or the main window handles as its
  // own command. A pane (a template embedded in a window) is part of the window that holds it.
  std::vector<Meeting> Meetings() {
    const std::set<int> menuCommands = MenuCommands();
    std::vector<Meeting> meetings;
    for (int dialog : ui::Resources::DialogIds()) {
      const ui::DialogTemplate& t = *ui::Resources::Dialog(dialog);
      if ((t.styles & ui::style::kChild) != 0) continue;
      for (const ui::ControlTemplate& c : t.controls) {
        if (c.id <= 0 || !Clickable(c.kind)) continue;
        if (menuCommands.count(c.id) != 0 ||
            ui::Application::Instance()->IsHandled(c.id, &client())) {
          meetings.push_back({dialog, c.id});
        }
      }
    }
    return meetings;
  }
};

TEST_F(ControlCommandsTest, AClickOnAControlWhoseIdIsAnotherWindowsCommandReachesOnlyItsDialog) {
  Start();
  const std::vector<Meeting> meetings = Meetings();
  for (const Meeting issue : {Meeting{f8100res::kMemorySelectDialog, appres::kRollCallButton},
                              Meeting{eq3300res::kPrintOptionsDialog, appres::kRollCallButton}}) {
    EXPECT_NE(std::ranges::find(meetings, issue), meetings.end()) << "dialog " << issue.dialog;
  }

  // The window the dialogs open over handles every command their controls meet; the dialogs
  // themselves handle none, as a check box's dialog reads its box only when it closes.
  ui::Window opener;
  opener.Create();
  std::vector<int> reached;
  for (const Meeting& m : meetings) {
    opener.OnCommand(m.control, [&reached, id = m.control] { reached.push_back(id); });
  }
  for (const Meeting& m : meetings) {
    ui::Dialog dialog(&opener, m.dialog);
    dialog.Create();
    dialog.ControlById(m.control)->Enable(true);
    ui::test::Click(dialog, m.control);
    EXPECT_EQ(reached, std::vector<int>{}) << "dialog " << m.dialog << ", control " << m.control;
    reached.clear();
  }
}

}  // namespace
}  // namespace apptest
