// Roll call and continuous roll call against the simulated bus, and opening the units found.

#include <gtest/gtest.h>

#include "app/PollBusDialog.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

class RollCallTest : public ShellTest {
 protected:
  void SetUp() override { SettingsKey().SetNumber("port number", kSimComNumber); }
};

TEST_F(RollCallTest, FoundUnitsEnterTheBusListInFrontAndTheFirstFreeSlots) {
  AddUnits({3, 7, 12});
  Start();
  // A virtual device made first holds slot 0.
  ui::PromptScript newScript(FailTest);
  newScript.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdOk); });
  ui::Application::Instance()->RouteCommand(kCmNewVirtual, &client());
  ASSERT_EQ(client().VirtualList().Count(), 3);
  EXPECT_EQ(client().VirtualList().ItemData(0), 0);

  const ui::Prompt found = RollCall();
  EXPECT_EQ(found.text, "3 devices found.");
  EXPECT_EQ(found.caption, "Roll call");
  EXPECT_EQ(Items(client().BusList()),
            (std::vector<std::string>{"(12) UNIT2", "(7) UNIT7", "(3) UNIT3"}));
  EXPECT_EQ(client().BusList().ItemData(2), 1) << "the first unit found takes slot 1";
  EXPECT_EQ(client().BusList().ItemData(0), 3);
  EXPECT_EQ(DeviceOf(client().BusList(), 0)->GetInfo().address, 12);

  RollCall();
  EXPECT_EQ(client().BusList().Count(), 3) << "a new roll call replaces the list";
  EXPECT_EQ(client().BusList().ItemData(2), 1) << "and reuses the bus slots";
}

TEST_F(RollCallTest, NoUnitSaysSo) {
  Start();
  EXPECT_EQ(OneMessageFrom(kRollCallButton).text, "No devices found.");
  EXPECT_EQ(client().BusList().Count(), 0);
}

TEST_F(RollCallTest, AnOpenUnitBeepsOnDoubleClickAndBlocksTheRollCalls) {
  AddUnits({4});
  Start();
  const int quietBeeps = ui::BeepCount();
  client().VirtualList().SelectItem(0);
  ui::test::PumpMessages();
  client().SendNotify({kVirtualList, ui::Notify::DoubleClick, &client().VirtualList(), 0});
  EXPECT_EQ(ui::BeepCount(), quietBeeps) << "a double click on \"Report\" does nothing";
  EXPECT_EQ(log.opens, 0);
  RollCall();
  ASSERT_EQ(client().BusList().Count(), 1);
  client().BusList().SelectItem(0);
  ui::test::PumpMessages();
  client().SendNotify({kBusList, ui::Notify::DoubleClick, &client().BusList(), 0});
  EXPECT_EQ(log.opens, 1);
  IQDevice* unit = DeviceOf(client().BusList(), 0);
  EXPECT_TRUE(TheDeviceManager.IsInUse(unit)) << "the device stays acquired while open";

  const int beeps = ui::BeepCount();
  client().SendNotify({kBusList, ui::Notify::DoubleClick, &client().BusList(), 0});
  EXPECT_EQ(ui::BeepCount(), beeps + 1);
  EXPECT_EQ(log.opens, 1);

  auto* app = ui::Application::Instance();
  EXPECT_FALSE(app->QueryCommand(kCmRollCall, &client()).enabled);
  EXPECT_FALSE(app->QueryCommand(kCmContinuousRollCall, &client()).enabled);
  EXPECT_FALSE(app->QueryCommand(kRollCallButton, &client()).enabled);
  EXPECT_EQ(RollCall().text, "Please close all open bus devices prior to roll call.");

  // The edit window closes: the unit is given back and the client told.
  unit->Close();
  client().Post(kDeviceWindowClosedMessage, 0, reinterpret_cast<ui::Param>(unit));
  ui::test::PumpMessages();
  EXPECT_FALSE(unit->IsOpen());
  EXPECT_TRUE(app->QueryCommand(kCmRollCall, &client()).enabled);
}

TEST_F(RollCallTest, ContinuousRollCallListsAUnitWhoseListTextFailsByItsName) {
  AddUnits({2, 6, 8});
  log.unreadableListText = {6};
  Start();
  ui::PromptScript script(FailTest);
  std::vector<std::string> listed;
  script.RunDialog(kPollBusDialog, [&](ui::Dialog& d) {
    ui::test::PumpMessages(1);
    ui::test::PumpIdle(1);
    const auto& list = static_cast<ui::ListView&>(ui::test::ControlOf(d, kFoundList));
    for (int i = 0; i < list.Count(); ++i) listed.push_back(list.ItemText(i));
    ui::test::Click(d, ui::kIdOk);
  });
  ui::Application::Instance()->RouteCommand(kCmContinuousRollCall, &client());
  EXPECT_EQ(listed, (std::vector<std::string>{"(2) UNIT2", "6", "(8) UNIT8"}));
}

TEST_F(RollCallTest, ContinuousRollCallListsTheLastPassAndShowsAConflictOnce) {
  AddUnits({2});
  Start();
  int conflicts = 0;
  ui::PromptScript script(FailTest);
  script.RunDialog(kPollBusDialog, [&](ui::Dialog& d) {
    auto& poll = static_cast<TPollBusDialog&>(d);
    const auto passes = [](int count) {
      for (int i = 0; i < count; ++i) {
        ui::test::PumpMessages(1);
        ui::test::PumpIdle(1);
      }
    };
    const auto listed = [&] {
      return static_cast<ui::ListView&>(ui::test::ControlOf(d, kFoundList)).Count();
    };
    passes(2);
    EXPECT_GE(poll.PassCount(), 1);
    EXPECT_EQ(listed(), 1);
    AddUnits({9});  // connected while the dialog polls: listed after the next pass
    passes(2);
    ui::test::GrabPng(d, OutputPath("poll-bus.png"));
    EXPECT_EQ(listed(), 2);
    // A second unit at address 9 makes every further pass a conflict.
    AddUnits({9});
    const int before = poll.PassCount();
    passes(3);
    EXPECT_GE(poll.PassCount(), before + 2) << "the passes go on";
    ui::test::Click(d, ui::kIdOk);
  });
  script.AnswerMessageBox(ui::kIdOk);  // the conflict, once
  ui::Application::Instance()->RouteCommand(kCmContinuousRollCall, &client());
  for (const ui::Prompt& p : script.Seen()) {
    if (p.text == "Address conflicts detected.  Please correct and perform roll call again.") {
      ++conflicts;
    }
  }
  EXPECT_EQ(conflicts, 1);
  EXPECT_EQ(client().BusList().Count(), 2) << "the devices of the last pass";
}

TEST_F(RollCallTest, APortThatCannotBeOpenedEndsTheRollCall) {
  SettingsKey().SetNumber("port number", kSimComNumber);
  Start();
  TheCommPort.SetPortNumber(77);  // no device holds this number
  EXPECT_EQ(RollCall().text,
            "Could not get a handle for the COM port.  Make sure that no other applications are "
            "already using this port.");
}

TEST_F(RollCallTest, AFullSlotTableListsNoFoundUnit) {
  AddUnits({1});
  Start();
  ui::PromptScript fill(FailTest);
  for (int i = 0; i < DeviceSlotTable::kSlotCount; ++i) {
    fill.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdOk); });
    ui::Application::Instance()->RouteCommand(kCmNewVirtual, &client());
  }
  ASSERT_EQ(client().VirtualList().Count(), DeviceSlotTable::kSlotCount + 2);

  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(kCmRollCall, &client());
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[0].text, "1 devices found.");
  EXPECT_EQ(script.Seen()[1].text, "Too many devices!");
  EXPECT_EQ(client().BusList().Count(), 0);
}

}  // namespace
}  // namespace apptest
