#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Qt>

#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyCommonIds.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"

using namespace namespace8100;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class SecurityTest : public testing::Test {
 protected:
  void SetUp() override { test8100::ReportedErrors().clear(); }
  void TearDown() override { ui::test::PumpMessages(); }
  void TypePassword(TSecurityDialog& page, const std::string& password) {
    ui::test::ControlOf(page, f8100res::kPasswordEdit).SetText("");
    ui::test::Type(page, f8100res::kPasswordEdit, password);
  }

  testsupport8100::OlderFamilyBus bus;
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
};

TEST_F(SecurityTest, SetsAPasswordLocksAfterAskingAndUnlocksOnlyWithIt) {
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 5, .unitName = "Club"});
  TEdit8100Window window(nullptr, *testsupport8100::OnlyUnit(bus));
  window.Create();
  ui::TreeView& tree = window.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item; item = tree.NextSibling(item)) {
    if (tree.ItemData(item) == TEdit8100Window::kSecurity) tree.Select(item);
  }
  window.RunSelectedNode();
  TSecurityDialog& page = window.Security();
  EXPECT_EQ(page.Text(), "Security - (5) Club");
  EXPECT_EQ(page.Lamp().GetState(), familycommon::LockLamp::kUnlocked);

  // A cancelled new password writes nothing.
  bus.TakeTrace();
  const auto enter = [](int result) {
    return [result](ui::Dialog& d) {
      ui::test::Type(d, common_res::kSetPassNewEdit, "OPEN 1");
      ui::test::Type(d, common_res::kSetPassConfirmEdit, "OPEN 1");
      d.CloseWindow(result);
    };
  };
  script.RunDialog(common_res::kSetPassDialog, enter(ui::kIdCancel))
      .RunDialog(common_res::kSetPassDialog, enter(ui::kIdOk));
  ui::test::Click(page, f8100res::kSetPasswordButton);
  EXPECT_THAT(bus.TakeTrace(), IsEmpty());
  ui::test::Click(page, f8100res::kSetPasswordButton);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W1A 4F50454E203100"));

  // Enter on an unlocked unit only looks; locking asks first, and Cancel writes nothing.
  ui::test::PressKey(page, Qt::Key_Return);
  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(page, f8100res::kLockLamp);
  ui::test::Click(page, f8100res::kLockLamp);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R1C", "R1C", "R1C", "R06", "W1C 01", "R1C"));
  EXPECT_EQ(page.Lamp().GetState(), familycommon::LockLamp::kLocked);
  EXPECT_EQ(ui::test::ControlOf(page, f8100res::kLockCaption).Text(), "Unlock device");
  EXPECT_FALSE(ui::test::ControlOf(page, f8100res::kSetPasswordButton).IsEnabled());
  // The edit window follows: the signal flow closes, the security page stays.
  ui::test::PumpMessages();
  EXPECT_FALSE(window.SignalFlow().IsCreated());

  // A wrong password leaves the lamp lit, as read back, without a word; Enter unlocks as the lamp
  // does.
  TypePassword(page, "WRONG");
  bus.TakeTrace();
  ui::test::Click(page, f8100res::kLockLamp);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R1C", "R06", "W1A 57524F4E4700", "R1C"));
  EXPECT_EQ(page.Lamp().GetState(), familycommon::LockLamp::kLocked);
  TypePassword(page, "OPEN 1");
  ui::test::PressKey(page, Qt::Key_Return);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R1C", "R06", "W1A 4F50454E203100", "R1C"));
  EXPECT_EQ(page.Lamp().GetState(), familycommon::LockLamp::kUnlocked);
  EXPECT_TRUE(ui::test::ControlOf(page, f8100res::kSetPasswordButton).IsEnabled());
  EXPECT_THAT(test8100::ReportedErrors(), IsEmpty());
}

TEST_F(SecurityTest, BusErrorIsReportedOnceAndThePageStaysUsable) {
  const int index = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 9});
  TSecurityDialog page(nullptr, *testsupport8100::OnlyUnit(bus));
  page.Create();
  bus.bus.StoreElement(index, g8100Status.GetId(), 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  bus.bus.AddFault(sim::Fault::Silence().ForObject(g8100Locked.GetId()));
  bus.bus.AddFault(sim::Fault::Silence().ForObject(g8100Status.GetId()));
  ui::test::Click(page, f8100res::kLockLamp);
  // The service status says nothing of a failure.
  ui::test::Click(page, f8100res::kStatusButton);
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);

  bus.bus.ClearFaults();
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(page, f8100res::kStatusButton);
  EXPECT_EQ(script.Seen().back().text, "Status: 01 02 03 04 05 06 07 08 09 0A 0B 0C ");
  ui::test::Click(page, f8100res::kLockLamp);
  EXPECT_EQ(page.Lamp().GetState(), familycommon::LockLamp::kLocked);
}

}  // namespace
