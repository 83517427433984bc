// The security window against a unit that keeps its password: lock, unlock with a wrong and the
// right password, a new password, and the service status.

#include <gtest/gtest.h>

#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TSecurityDialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyCommonIds.h"
#include "resources/FamilyOvCommandIds.h"
#include "tests/familyov_commands/CommandsTestSupport.h"

namespace namespaceOV {
namespace {

using commandstest::Script;
using Trace = std::vector<std::string>;

class SecurityTest : public commandstest::CommandsTest {
 protected:
  SecurityTest() : dialog(*unit8126, nullptr, [this] { ++lockChanges; }) {
    dialog.Create();
    bus.TakeTrace();
  }
  ~SecurityTest() override { dialog.Destroy(); }

  int Lamp() {
    return dynamic_cast<TLEDButton&>(ui::test::ControlOf(dialog, ovres::kLockButton)).GetState();
  }
  std::string LockText() { return ui::test::ControlOf(dialog, ovres::kLockText).Text(); }
  bool CanSetPassword() {
    return ui::test::ControlOf(dialog, ovres::kSetPasswordButton).IsEnabled();
  }

  int lockChanges = 0;
  TSecurityDialog dialog;
};

TEST_F(SecurityTest, LockThenUnlockWithAWrongAndTheRightPassword) {
  EXPECT_EQ(Lamp(), 6);
  EXPECT_EQ(LockText(), "Lock device");

  Script script;
  // Two different entries are refused and cleared; equal ones become the password.
  script.RunDialog(common_res::kSetPassDialog, [](ui::Dialog& d) {
    ui::test::Type(d, common_res::kSetPassNewEdit, "ONE");
    ui::test::Type(d, common_res::kSetPassConfirmEdit, "TWO");
    ui::test::Click(d, ui::kIdOk);
    EXPECT_EQ(ui::test::ControlOf(d, common_res::kSetPassConfirmEdit).Text(), "");
    ui::test::Type(d, common_res::kSetPassNewEdit, "stage 1");
    ui::test::Type(d, common_res::kSetPassConfirmEdit, "STAGE 1");
    ui::test::Click(d, ui::kIdOk);
  });
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(dialog, ovres::kSetPasswordButton);
  EXPECT_EQ(script.Seen()[1].text, "Strings do not match.");
  EXPECT_EQ(bus.TakeTrace(), Trace{"W16 5354414745203100"});

  // Locking asks first; cancelled, nothing goes out.
  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(dialog, ovres::kLockButton);
  EXPECT_EQ(bus.TakeTrace(), Trace{"R18"});
  EXPECT_EQ(lockChanges, 0);
  ui::test::Click(dialog, ovres::kLockButton);
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R18", "W18 01", "R18"}));
  EXPECT_EQ(script.Seen().back().text, "Lock the device?");
  EXPECT_EQ(Lamp(), 2);
  EXPECT_EQ(LockText(), "Unlock device");
  EXPECT_FALSE(CanSetPassword());

  // Lower case comes out in capitals, and a character outside the set is refused.
  ui::test::Type(dialog, ovres::kPasswordEdit, "stage!2");
  EXPECT_EQ(ui::test::ControlOf(dialog, ovres::kPasswordEdit).Text(), "STAGE2");
  ui::test::Click(dialog, ovres::kLockButton);
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R18",
                                    "W16 535441474532"
                                    "00",
                                    "R18"}));
  EXPECT_EQ(Lamp(), 2);

  // Enter released in the field tries the password; one whose key-down came from elsewhere not.
  ui::test::Type(dialog, ovres::kPasswordEdit, "stage 1");
  auto& field = ui::test::ControlOf(dialog, ovres::kPasswordEdit);
  dialog.PreProcessKey({ui::key::kReturn, false});
  bus.TakeTrace();
  dialog.PreProcessKey({ui::key::kReturn, false});
  EXPECT_EQ(bus.TakeTrace(), Trace{});
  ui::test::PressKey(field, Qt::Key_Return);
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R18", "W16 5354414745203100", "R18"}));
  EXPECT_EQ(Lamp(), 6);
  EXPECT_EQ(LockText(), "Lock device");
  EXPECT_TRUE(CanSetPassword());
  EXPECT_EQ(lockChanges, 3);
}

// The lamp of a unit that does not give its lock shows unknown before the box that tells why.
TEST_F(SecurityTest, ALockTheUnitDoesNotGiveShowsUnknownBeforeItsBoxOpens) {
  static TSecurityDialog* window = nullptr;
  static std::vector<std::string> shownAtBox;
  window = &dialog;
  shownAtBox.clear();
  const CommErrorReporter previous = SetCommErrorReporter([](const IQException&, IQDevice&) {
    shownAtBox.push_back(ui::test::ControlOf(*window, ovres::kLockText).Text());
  });
  bus.bus.AddFault(sim::Fault::Silence().ForObject(gLockedObject.GetId()));
  ui::test::Click(dialog, ovres::kLockButton);
  SetCommErrorReporter(previous);
  EXPECT_EQ(shownAtBox, std::vector<std::string>{"?"});
}

TEST_F(SecurityTest, ServiceStatusShowsTheUnitsBytesAndCancelKeepsThePassword) {
  bus.bus.StoreElement(0, 0x27, 0, {0x01, 0xAB, 0x00, 0x7F});
  Script script;
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(dialog, ovres::kServiceStatusButton);
  script.RunDialog(common_res::kSetPassDialog, [](ui::Dialog& d) {
    ui::test::Type(d, common_res::kSetPassNewEdit, "ONE");
    ui::test::Type(d, common_res::kSetPassConfirmEdit, "ONE");
    ui::test::Click(d, ui::kIdCancel);
  });
  ui::test::Click(dialog, ovres::kSetPasswordButton);
  EXPECT_EQ(bus.TakeTrace(), Trace{"R27"});
  EXPECT_EQ(script.Seen()[0].text, "Status: 01 AB 00 7F 00 00 00 00 00 00 00 00 ");
  EXPECT_EQ(script.Seen()[0].caption, "Service Code 01");
}

}  // namespace
}  // namespace namespaceOV
