// Start with the settings as they are found, the menus that start builds, and the close check.

#include <gtest/gtest.h>

#include "app/AppKeys.h"
#include "app/ComMonitorDialog.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "bus/PortList.h"
#include "controls/ClientWindow.h"
#include "platform/registry/UserRoot.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

std::vector<std::string> MenuTexts(ui::Menu& menu) {
  std::vector<std::string> texts;
  for (int i = 0; i < menu.ItemCount(); ++i) {
    const int id = menu.ItemId(i);
    texts.push_back(id > 0 ? menu.ItemText(id) : "-");
  }
  return texts;
}

using StartTest = ShellTest;

TEST_F(StartTest, AFirstStartCreatesTheKeyKeepsPort1AndShowsBus) {
  Start();
  EXPECT_TRUE(registry::UserRoot().OpenSubKey("TelvoWin2 Settings", false).IsValid());
  EXPECT_EQ(TheCommPort.GetPortNumber(), 1);
  EXPECT_EQ(TheCommPort.GetBaudRate(), kBusBaudRate);
  EXPECT_EQ(ui::test::ControlOf(client(), kPortName).Text(), "Bus");
  EXPECT_EQ(client().ComMonitor(), nullptr);
  EXPECT_EQ(Items(client().VirtualList()), (std::vector<std::string>{"Report", "File"}));
  EXPECT_EQ(client().VirtualList().ItemData(0), TTelvo33DlgClient::kReportItem);
  EXPECT_EQ(client().VirtualList().ItemData(1), TTelvo33DlgClient::kFileItem);
  EXPECT_EQ(controls::ClientWindow(), &client()) << "the families' owner window";
}

TEST_F(StartTest, EnterAndEscapeLeaveTheClientInTheMainWindow) {
  Start();
  client().VirtualList().SetFocus();
  ui::test::PressKey(client().VirtualList(), Qt::Key_Escape);
  ui::test::PressKey(client().VirtualList(), Qt::Key_Return);
  ui::test::PumpMessages();
  EXPECT_TRUE(client().IsCreated());
  EXPECT_TRUE(frame().IsCreated());
}

TEST_F(StartTest, OnlyTheLowByteOfThePortNumberCounts) {
  SettingsKey().SetNumber("port number", 260);
  Start();
  EXPECT_EQ(TheCommPort.GetPortNumber(), kSimComNumber);
  ASSERT_NE(ThePortList().GetSelectedPort(), nullptr);
  EXPECT_EQ(ThePortList().GetSelectedPort()->portNumber, kSimComNumber);
  EXPECT_EQ(ui::test::ControlOf(client(), kPortName).Text(),
            ThePortList().GetSelectedPort()->displayName);
}

TEST_F(StartTest, TheComMonitorOpensFromTheSettingsAndLogsTrafficAsHex) {
  AddUnits({5});
  SettingsKey().SetNumber("port number", kSimComNumber);
  SettingsKey().SetNumber("COM monitor", 1);
  Start();
  TComMonitorDialog* monitor = client().ComMonitor();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->IsVisible());
  auto& log = static_cast<ui::Edit&>(ui::test::ControlOf(*monitor, kMonitorLog));

  RollCall();
  EXPECT_EQ(log.LineCount(), 0) << "nothing is logged until Log is checked";
  ui::test::Click(*monitor, kMonitorLogCheck);
  RollCall();
  const std::string text = log.Text();
  EXPECT_NE(text.find(">> "), std::string::npos) << text;
  EXPECT_NE(text.find("<< "), std::string::npos) << text;
  EXPECT_GT(log.LineCount(), 2);

  ASSERT_TRUE(frame().CanClose());
  EXPECT_EQ(SettingsKey().GetNumber("COM monitor"), 1u) << "it stays on for the next start";
}

TEST_F(StartTest, TheMenusHoldTheRegisteredTypesSpecialCommandAndTheManual) {
  Start();
  ui::Menu& devices = *frame().MenuBar()->SubMenu(1);
  EXPECT_EQ(MenuTexts(devices),
            (std::vector<std::string>{"&New Virtual ...", "&Delete Virtual", "-", "Test special",
                                      "-", "&Roll call", "-", "&Continuous roll call"}));
  ui::Menu& help = *frame().MenuBar()->SubMenu(3);
  EXPECT_EQ(MenuTexts(help), (std::vector<std::string>{"&How to get help", "-", "TelvoWindows Help",
                                                       "-", "&About..."}));

  devices.UpdateItems();
  EXPECT_FALSE(devices.IsEnabled(kCmDeleteVirtual)) << "nothing is selected";
  client().VirtualList().SelectItem(0);
  devices.UpdateItems();
  EXPECT_FALSE(devices.IsEnabled(kCmDeleteVirtual)) << "\"Report\" cannot be deleted";
}

TEST_F(StartTest, TheManualThatCannotBeOpenedIsReported) {
  Start();
  const ui::Prompt missing = OneMessageFrom(kCmFirstHelpItem);
  EXPECT_EQ(missing.text, "Could not find help file.") << "the manual is not shipped";
  EXPECT_EQ(missing.caption, "Error");

  ui::PromptScript script(FailTest);
  script.RunDialog(kHowToGetHelpDialog, [](ui::Dialog& d) {
    ui::test::GrabPng(d, OutputPath("how-to-get-help.png"));
    ui::test::Click(d, ui::kIdOk);
  });
  ui::Application::Instance()->RouteCommand(kCmHowToGetHelp, &client());
  EXPECT_EQ(script.Seen().size(), 1u);
}

TEST_F(StartTest, SpecialCommandsWaitUntilNoBusDeviceIsOpen) {
  AddUnits({3});
  SettingsKey().SetNumber("port number", kSimComNumber);
  Start();
  RollCall();
  IQDevice* unit = DeviceOf(client().BusList(), 0);
  ASSERT_NE(TheDeviceManager.Acquire(unit), nullptr);
  EXPECT_EQ(OneMessageFrom(kCmFirstSpecial).text,
            "Please close all open bus devices before executing this command.");
  TheDeviceManager.Release(unit);
}

TEST_F(StartTest, TheCloseCheckSavesFiveValuesAndAsksAboutUnsavedVirtualDevices) {
  SettingsKey().SetNumber("port number", kSimComNumber);
  Start();
  ASSERT_TRUE(frame().CanClose()) << "nothing unsaved: no question";
  const registry::Key key = SettingsKey();
  EXPECT_EQ(key.GetNumber("baud rate"), kBusBaudRate);
  EXPECT_EQ(key.GetNumber("port number"), static_cast<uint32_t>(kSimComNumber));
  EXPECT_EQ(key.GetNumber("timeout"), 80u);
  EXPECT_EQ(key.GetNumber("retry"), 1u);
  EXPECT_EQ(key.GetNumber("COM monitor"), 0u);

  IQDevice* unsaved = TheDeviceManager.NewVirtualDevice(client().Types()[0]);
  unsaved->SetModified(true);
  key.DeleteValue("retry");
  {
    ui::PromptScript script(FailTest);
    script.AnswerMessageBox(ui::kIdCancel);
    EXPECT_FALSE(frame().CanClose());
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text,
              "Some virtual devices have not been saved since last change.  Close application?");
    EXPECT_EQ(script.Seen()[0].caption, "Close");
  }
  EXPECT_EQ(key.GetNumber("retry"), 1u) << "written whatever the answer";
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(kCmExit, &client());
  EXPECT_TRUE(frame().IsCreated()) << "File, Exit asks the same question";
  ui::Application::Instance()->RouteCommand(kCmExit, &client());
  EXPECT_FALSE(frame().IsCreated());
}

TEST_F(StartTest, TheInterfaceChosenWithOkIsShownAndUsedForTheNextRollCall) {
  AddUnits({6});
  Start();
  auto choosePort = [](bool accept) {
    return [accept](ui::Dialog& d) {
      auto& ports = static_cast<ui::ListBox&>(ui::test::ControlOf(d, kPortList));
      for (int i = 0; i < ports.Count(); ++i) {
        if (ports.ItemData(i) == kSimComNumber) ports.SetSelection(i);
      }
      if (accept) {
        ui::test::Click(d, ui::kIdOk);
      } else {
        ui::test::PressKey(d, Qt::Key_Escape);
      }
    };
  };
  {
    ui::PromptScript script(FailTest);
    script.RunDialog(kInterfaceDialog, choosePort(false));
    ui::Application::Instance()->RouteCommand(kCmInterface, &client());
  }
  EXPECT_EQ(ui::test::ControlOf(client(), kPortName).Text(), "Bus");
  EXPECT_EQ(TheCommPort.GetPortNumber(), 1);
  {
    ui::PromptScript script(FailTest);
    script.RunDialog(kInterfaceDialog, choosePort(true));
    ui::Application::Instance()->RouteCommand(kCmInterface, &client());
  }
  EXPECT_EQ(ui::test::ControlOf(client(), kPortName).Text(), ComName(kSimComNumber));
  RollCall();
  EXPECT_EQ(client().BusList().Count(), 1);
}

TEST(CommandLineTest, AnyPrefixOfUnregisterUnregistersAndAnythingElseRegisters) {
  for (const char* option : {"/unregister", "-UNREGISTER", "/unreg", "-u"}) {
    EXPECT_TRUE(WantsUnregister({"file.ov2", option})) << option;
  }
  for (const char* option : {"-unregistered", "unregister", "-x", "/"}) {
    EXPECT_FALSE(WantsUnregister({option})) << option;
  }
  EXPECT_FALSE(WantsUnregister({}));
}

TEST(CommandLineTest, UnregisteringRemovesTheIconKeysAndLeavesTheDocumentKey) {
  const registry::Key root = registry::UserRoot();
  RegisterAppKeys(root, "/opt/telvo/telvowin");
  EXPECT_EQ(root.OpenSubKey("TelvoWin2.Application", false)
                .OpenSubKey("DefaultIcon", false)
                .GetString(""),
            "/opt/telvo/telvowin,1");
  UnregisterAppKeys(root);
  EXPECT_FALSE(root.OpenSubKey("TelvoWin2.Application", false).IsValid());
  EXPECT_TRUE(root.OpenSubKey("TelvoWin2.Document.1", false).IsValid());
  EXPECT_FALSE(
      root.OpenSubKey("TelvoWin2.Document.1", false).OpenSubKey("DefaultIcon", false).IsValid());
}

}  // namespace
}  // namespace apptest
