// Rename, address, firmware version, serial number, LED strobe and factory initialise of a bus
// unit: the objects each sends, and what the user sees.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TRTCWindows.h"
#include "familyov/unit/UnitCommands.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "sim/Fault.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/familyov_commands/CommandsTestSupport.h"
#include "tests/support/PrintedText.h"
#include "tests/support/SteppingClock.h"

namespace namespaceOV {
namespace {

using commandstest::Answer;
using commandstest::CommandsTest;
using commandstest::Script;
using ovtest::ReportedErrors;
using Trace = std::vector<std::string>;

using UnitCommandsTest = CommandsTest;

TEST_F(UnitCommandsTest, RenameSendsAtMostElevenCharactersAndRefusesAnEmptyName) {
  Script script;
  script.RunDialog(controls_res::kInputDialog, Answer("Stage left rack"));
  EXPECT_TRUE(RenameUnit(*unit8126, nullptr, {}));
  // "Stage left " and the terminator; the lock, for the windows' captions before and after.
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R15", "R18", "W15 5374616765206C6566742000", "R18"}));

  script.RunDialog(controls_res::kInputDialog, Answer("")).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(RenameUnit(*unit8126, nullptr, {}));
  EXPECT_EQ(script.Seen().back().text, "Null string.");
  EXPECT_EQ(bus.TakeTrace(), Trace{});
}

// Units 1 and 11 of one model, the second's name holding the first's: a rename of the first reaches
// its windows, by its list text (the timer) and by its display name (the others), and the title of
// its graph's printout, and leaves every window of the second as it was.
TEST_F(UnitCommandsTest, ARenameReachesTheCaptionOfEveryOpenWindowThatNamesTheUnit) {
  ovtest::FamilyBus named;
  named.port.SetRetries(0);
  for (const auto& [address, name] : {std::pair{1, "Stage"}, {11, "Stage left"}}) {
    sim::familyov::AddFamilyOvUnit(
        named.bus, {.model = sim::familyov::Model::k8126, .address = address, .unitName = name});
  }
  // Of each unit: its edit window, its summary, a channel's filters with their graph, its timer.
  std::vector<std::unique_ptr<TEdit8126Window>> edits;
  std::vector<std::vector<ui::Window*>> windows;
  for (IQDevice* device : named.RollCall({&type8126})) {
    auto& unit = dynamic_cast<IQDevice8126&>(*device);
    unit.autoOpenSummary = 0;
    TEditOVWindow& edit = *edits.emplace_back(std::make_unique<TEdit8126Window>(nullptr, unit));
    edit.Create();
    const NodeIds& ids = edit.Ids();
    for (int node : {ids.summary, ids.firstChannel, ids.timer}) edit.OpenChildWindow(node);
    auto* filters = dynamic_cast<TFilterDecoratedFrame*>(edit.ChildWindow(ids.firstChannel));
    auto* timer = dynamic_cast<TRTCDecoratedFrame*>(edit.ChildWindow(ids.timer));
    ASSERT_TRUE(filters != nullptr && timer != nullptr && filters->Layout().Panes().graph);
    windows.push_back(
        {&edit, edit.ChildWindow(ids.summary), filters->Layout().Panes().graph, &timer->Editor()});
  }
  std::vector<std::string> left;
  for (ui::Window* window : windows[1]) left.push_back(window->Text());
  EXPECT_EQ(left[1], "Unit Summary--11 (Ordavinex 26) Stage left");

  Script script;
  script.RunDialog(controls_res::kInputDialog, Answer("FOH"));
  edits[0]->CmRenameUnit(-1);
  for (ui::Window* window : windows[0]) {
    EXPECT_THAT(window->Text(), testing::AllOf(testing::HasSubstr("FOH"),
                                               testing::Not(testing::HasSubstr("Stage"))));
  }
  EXPECT_EQ(windows[0][1]->Text(), "Unit Summary--1 (Ordavinex 26) FOH");
  EXPECT_EQ(windows[0][3]->Text(), "Timer - (1) FOH");
  EXPECT_THAT(testsupport::PrintedText(*windows[0][2], TFilterGraphWindow::kCmPrint),
              testing::HasSubstr("Unit: '1 (Ordavinex 26) FOH'"));
  for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(windows[1][i]->Text(), left[i]);
  EXPECT_TRUE(ReportedErrors().empty());
  for (auto& edit : edits) edit->Destroy();
  ui::test::PumpMessages();
}

TEST_F(UnitCommandsTest, RenameRefusesANameASettingsFileCouldNotCarryWithTheReason) {
  Script script;
  for (const char* typed : {"[Globals]", "Say \"hi\""}) {
    SCOPED_TRACE(typed);
    script.RunDialog(controls_res::kInputDialog, Answer(typed)).AnswerMessageBox(ui::kIdOk);
    EXPECT_FALSE(RenameUnit(*unit8126, nullptr, {}));
    EXPECT_EQ(script.Seen().back().text, SettingsTextFile::kUncarriedReason);
    EXPECT_EQ(script.Seen().back().caption, "Unit name");
    for (const std::string& request : bus.TakeTrace()) EXPECT_NE(request[0], 'W') << request;
  }
}

TEST_F(UnitCommandsTest, TheDeviceFollowsItsUnitToANewAddressOnlyWhenTheUnitTookIt) {
  Script script;
  script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& dialog) {
    Answer("251")(dialog);  // refused by the field: the dialog stays
    Answer("7")(dialog);
  });
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_TRUE(ChangeAddress(*unit8126, nullptr));
  EXPECT_EQ(script.Seen()[1].caption, "New address");
  EXPECT_EQ(unit8126->GetInfo().address, 7);
  const Trace trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "W07 07");
  // The unit answers at its new address once it has stored it.
  EXPECT_EQ(trace.back(), "R06");
  EXPECT_EQ(gUnitNameObject.Read(*unit8126), "");
  EXPECT_TRUE(ReportedErrors().empty());

  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x07));
  script.RunDialog(controls_res::kInputDialog, Answer("9"));
  EXPECT_FALSE(ChangeAddress(*unit8126, nullptr));
  EXPECT_EQ(unit8126->GetInfo().address, 7);
  EXPECT_EQ(ReportedErrors().size(), 1u);
}

TEST_F(UnitCommandsTest, FirmwareSerialNumberAndStrobe) {
  // The 8148 carries its output digit in the second byte, the others in the first.
  EXPECT_EQ(FirmwareVersionText(*unit8148), "1.5");
  EXPECT_EQ(FirmwareVersionText(*unit8126), "1.5");

  Script script;
  script.AnswerMessageBox(ui::kIdOk);
  ShowSerialNumber(*unit8148, nullptr);
  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x17));
  unit8148->InvalidateValues();
  ShowSerialNumber(*unit8148, nullptr);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "SIM0001");
  EXPECT_EQ(script.Seen()[0].caption, "Serial Number");
  // A failed read is reported, and no box shows whatever it held.
  EXPECT_EQ(ReportedErrors().size(), 1u);
  bus.TakeTrace();

  StrobeLeds(*unit8148);
  EXPECT_EQ(bus.TakeTrace(), Trace{"W08 02"});
}

TEST_F(UnitCommandsTest, FactoryInitialiseResetsTheUnitAndWaitsForItWithinBounds) {
  Script script;
  script.AnswerMessageBox(ui::kIdCancel);
  EXPECT_FALSE(FactoryInitialize(*unit8148, nullptr));
  EXPECT_EQ(bus.TakeTrace(), Trace{});

  gChannelLevelObject.SetElement(0);
  gChannelLevelObject.Write(*unit8148, -12.0f);
  bus.TakeTrace();
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  EXPECT_TRUE(FactoryInitialize(*unit8148, nullptr));
  EXPECT_EQ(script.Seen()[2].text,
            "Wait until unit stops strobing LEDs, cycle power on unit, then press OK.");
  const Trace trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "W00 01");
  EXPECT_EQ(std::ranges::count(trace, "W01 01"), 1);
  EXPECT_EQ(trace.back(), "R06");
  EXPECT_EQ(bus.bus.Element(1, 0x1B, 0), (std::vector<uint8_t>{0x3F, 0x80, 0x00, 0x00}));
  EXPECT_TRUE(ReportedErrors().empty());

  // A unit that never gets ready again ends the wait with a clear error.
  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x06));
  unit8148->SetWaitBound({.limit = std::chrono::seconds(1),
                          .now = testsupport::SteppingClock(std::chrono::milliseconds(500))});
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  EXPECT_TRUE(FactoryInitialize(*unit8148, nullptr));
  EXPECT_EQ(ReportedErrors(), std::vector<std::string>{kReadyTimeoutText});

  // A unit silent at the first request is told of once, and nobody is sent to its power switch.
  bus.bus.ClearFaults();
  ReportedErrors().clear();
  bus.bus.AddFault(sim::Fault::Silence());
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(FactoryInitialize(*unit8148, nullptr));
  EXPECT_EQ(ReportedErrors().size(), 1u);
}

}  // namespace
}  // namespace namespaceOV
