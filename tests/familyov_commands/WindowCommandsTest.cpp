// The commands reached from the unit edit window's tree, and a picture of each of this part's
// windows in the build's gallery.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "controls/TInputDialog.h"
#include "familycommon/SetPassDialog.h"
#include "familyov/unit/NewSettingsCheck.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TNetLogicDialog.h"
#include "familyov/unit/TSecurityDialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvCommandIds.h"
#include "tests/familyov_commands/CommandsTestSupport.h"

namespace namespaceOV {
namespace {

using commandstest::Script;
using Trace = std::vector<std::string>;

class WindowCommandsTest : public commandstest::CommandsTest {
 protected:
  WindowCommandsTest() {
    std::filesystem::create_directories(GALLERY_DIR);
    unit8148->autoOpenSummary = 0;
    window = std::make_unique<TEdit8148Window>(nullptr, dynamic_cast<IQDevice8148&>(*unit8148));
    window->Create();
    bus.TakeTrace();
  }
  ~WindowCommandsTest() override { window->Destroy(); }

  void DoubleClick(int id) {
    window->Tree().Select(window->FindNodeInfo(id)->item);
    window->RunSelectedNode();
  }
  int NodeNamed(const std::string& text) {
    for (const TNodeInfo* node : window->NodeList()) {
      if (node->text == text) return node->id;
    }
    return -1;
  }
  void Grab(ui::Dialog& dialog, const std::string& name) {
    dialog.Create();
    EXPECT_TRUE(ui::test::GrabPng(dialog, GALLERY_DIR "/" + name + ".png"));
    dialog.Destroy();
  }

  std::unique_ptr<TEdit8148Window> window;
};

TEST_F(WindowCommandsTest,
       TreeNodesRunTheCommandsTheSecurityWindowLocksTheTreeAndEachDialogIsPictured) {
  DoubleClick(NodeNamed("Strobe LEDs"));
  // The lock is read first: a locked unit runs no command.
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R18", "W08 02"}));

  const int security = window->Ids().security;
  DoubleClick(security);
  ui::Window* dialog = window->ChildWindow(security);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->Text().starts_with("Security--5 (Ordavinex 48)")) << dialog->Text();
  EXPECT_TRUE(ui::test::GrabPng(*dialog, GALLERY_DIR "/security.png"));

  Script script;
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(*dialog, ovres::kLockButton);
  const TNodeInfo* channel = window->FindNodeInfo(window->Ids().firstChannel);
  EXPECT_EQ(window->Tree().ItemImage(channel->item), TEditOVWindow::kLockImage);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());

  TNetLogicDialog trigger(&type8126, &bus.manager);
  Grab(trigger, "network-logic-trigger");
  TRefreshDialog refresh(*unit8148, nullptr);
  Grab(refresh, "logic-event");
  SetPassDialog password(nullptr, 0, kMaxPasswordChars);
  Grab(password, "set-password");
  TInputDialog name(nullptr, "Unit name", "New name:", "Stage left", 11);
  Grab(name, "unit-name");
}

}  // namespace
}  // namespace namespaceOV
