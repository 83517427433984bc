#include <QtCore/qnamespace.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "bus/SettingsTextFile.h"
#include "family3300/Parameters3300.h"
#include "family3300/TDSPIDialog.h"
#include "family3300/TEdit3300Window.h"
#include "family3300/TMemoryDialog.h"
#include "family3300/TSecurityDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family3300Ids.h"
#include "sim/Fault.h"
#include "tests/family3300_windows/WindowsTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace {

using namespace namespace3300;

// The texts of the root's items, in tree order.
std::vector<std::string> ItemTexts(TEdit3300Window& window) {
  std::vector<std::string> texts;
  ui::TreeView& tree = window.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item; item = tree.NextSibling(item)) {
    texts.push_back(tree.ItemText(item));
  }
  return texts;
}

class EditWindowTest : public windows3300::WindowFixture {
 protected:
  void SetUp() override {
    owner.OnMessage(TEdit3300Window::kDeviceChangedMessage, [this](const ui::Message&) {
      ++changed;
      return ui::Param{0};
    });
    owner.OnMessage(TEdit3300Window::kDeviceWindowClosed, [this](const ui::Message&) {
      ++closed;
      return ui::Param{0};
    });
    owner.Create();
  }

  std::unique_ptr<TEdit3300Window> OpenWindow(IQDevice3300& device) {
    auto window = std::make_unique<TEdit3300Window>(device, &owner);
    window->Create();
    window->Show();
    return window;
  }

  ui::Window owner;
  int changed = 0;
  int closed = 0;
};

TEST_F(EditWindowTest, TreeShowsWhatTheModelAndTheUnitHave) {
  IQ3300Type type;
  IQDevice3300 single(&type, nullptr, nullptr, Model3300::kOneChannel);
  auto window = OpenWindow(single);
  EXPECT_EQ(window->Text(), " (Virtual 3300XL)");
  EXPECT_EQ(ItemTexts(*window),
            (std::vector<std::string>{"EQ A In", "Mute A (off)", "1/3 Octave EQ Chan A",
                                      "LPF Chan A", "HPF Chan A", "Gain Chan A", "Memory"}));
  EXPECT_EQ(window->Equaliser(1), nullptr);

  IQDevice3300* unit = AddUnit(7, true);
  ASSERT_NE(unit, nullptr);
  Store(g3300EqInB.GetId(), {0});
  Store(g3300MuteB.GetId(), {1});
  auto busWindow = OpenWindow(*unit);
  EXPECT_EQ(busWindow->Text(), "7 (3300-2XL) STAGE");
  EXPECT_EQ(ItemTexts(*busWindow),
            (std::vector<std::string>{
                "EQ A In", "Mute A (off)", "1/3 Octave EQ Chan A", "LPF Chan A", "HPF Chan A",
                "Gain Chan A", "EQ B Bypassed", "Mute B (on)", "1/3 Octave EQ Chan B", "LPF Chan B",
                "HPF Chan B", "Gain Chan B", "DSPI", "Name", "Memory", "Security", "Version"}));
  EXPECT_EQ(busWindow->Tree().ItemImage(busWindow->Item(kItemMuteB)), 3);

  // A switch flips on the unit and in the tree.
  TakeTrace();
  busWindow->RunItem(kItemMuteB);
  EXPECT_EQ(TakeTrace(), (std::vector<std::string>{"R0D", "R0B", "W0B 00", "R0D", "R0B"}));
  EXPECT_EQ(busWindow->Tree().ItemText(busWindow->Item(kItemMuteB)), "Mute B (off)");
  // The space bar acts as a double click on the selected item.
  busWindow->Tree().Select(busWindow->Item(kItemMuteA));
  busWindow->Tree().SetFocus();
  ui::test::PressKey(busWindow->Tree(), Qt::Key_Space);
  EXPECT_EQ(busWindow->Tree().ItemText(busWindow->Item(kItemMuteA)), "Mute A (on)");
}

TEST_F(EditWindowTest, LockedUnitBeepsExceptForSecurityAndVersionAndClosesItsDialogs) {
  IQDevice3300* unit = AddUnit(3, true, "01.00");
  ASSERT_NE(unit, nullptr);
  auto window = OpenWindow(*unit);
  window->RunItem(kItemEqB);
  window->RunItem(kItemGainA);
  ASSERT_TRUE(window->Equaliser(1)->IsCreated());

  Store(g3300Lock.GetId(), {1});
  window->Post(TEdit3300Window::kObjectChangedMessage, 0, g3300Lock.GetId());
  ui::test::PumpMessages();
  EXPECT_FALSE(window->Equaliser(1)->IsCreated());
  EXPECT_FALSE(window->Gain(0)->IsCreated());
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(window->Tree().ItemImage(window->Item(kItemEqA)), 6);
  EXPECT_EQ(window->Tree().ItemImage(window->Item(kItemVersion)), 7);

  const int beeps = ui::BeepCount();
  TakeTrace();
  window->RunItem(kItemMuteA);
  EXPECT_EQ(ui::BeepCount(), beeps + 1);
  EXPECT_EQ(TakeTrace(), std::vector<std::string>{"R0D"});

  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk);
  window->RunItem(kItemVersion);
  EXPECT_EQ(script.Seen().back().text, "Firmware version: 4.00");
  window->RunItem(kItemSecurity);
  EXPECT_TRUE(window->Security()->IsCreated());
}

TEST_F(EditWindowTest, RenameWritesOnlyWhatTheFieldAcceptedAndCancelWritesNothing) {
  IQDevice3300* unit = AddUnit(4, false);
  ASSERT_NE(unit, nullptr);
  // A full-length name from the unit; the field holds ten characters.
  Store(g3300UnitName.GetId(), windows3300::TextBytes("ABCDEFGHIJKLMNO"));
  auto window = OpenWindow(*unit);
  TakeTrace();
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) {
      EXPECT_EQ(ui::test::ControlOf(d, controls_res::kInputField).Text(), "ABCDEFGHIJ");
      d.CloseWindow(ui::kIdCancel);
    });
    window->RunItem(kItemName);
  }
  EXPECT_EQ(TakeTrace(), (std::vector<std::string>{"R0D", "R10"}));
  EXPECT_EQ(changed, 0);
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) {
      ui::test::ControlOf(d, controls_res::kInputField).SetText("");
      ui::test::Type(d, controls_res::kInputField, "FOH LEFT");
      d.CloseWindow(ui::kIdOk);
    });
    window->RunItem(kItemName);
  }
  EXPECT_EQ(TakeTrace().at(2), "W10 464F48204C454654");
  ui::test::PumpMessages();
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(window->Text(), "4 (3300XL) FOH LEFT");
}

TEST_F(EditWindowTest, ANameASettingsFileCouldNotCarryIsRefusedWithTheReasonUnwritten) {
  IQDevice3300* unit = AddUnit(4, false);
  ASSERT_NE(unit, nullptr);
  auto window = OpenWindow(*unit);
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  for (const char* typed : {"[EQ A]0 0", "Say \"hi\""}) {
    SCOPED_TRACE(typed);
    TakeTrace();
    script.RunDialog(controls_res::kInputDialog, [typed](ui::Dialog& d) {
      ui::test::ControlOf(d, controls_res::kInputField).SetText("");
      ui::test::Type(d, controls_res::kInputField, typed);
      d.CloseWindow(ui::kIdOk);
    });
    script.AnswerMessageBox(ui::kIdOk);
    window->RunItem(kItemName);
    EXPECT_EQ(script.Seen().back().text, SettingsTextFile::kUncarriedReason);
    for (const std::string& request : TakeTrace()) EXPECT_NE(request[0], 'W') << request;
  }
  ui::test::PumpMessages();
  EXPECT_EQ(changed, 0);
}

TEST_F(EditWindowTest, DropOnTheOtherChannelsTwinCopiesAfterTheQuestion) {
  IQDevice3300* unit = AddUnit(5, true);
  ASSERT_NE(unit, nullptr);
  Store(g3300GainB.GetId(), {17});
  auto window = OpenWindow(*unit);
  TakeTrace();
  window->CopyChannel(kItemLpfA, kItemHpfB);
  window->CopyChannel(kItemGainA, kItemGainA);
  EXPECT_TRUE(TakeTrace().empty());

  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdCancel);
  window->CopyChannel(kItemGainB, kItemGainA);
  EXPECT_EQ(script.Seen().at(0).text, "Copy Gain (B) to Gain (A)?");
  EXPECT_EQ(Byte(g3300GainA.GetId()), 17);
  TakeTrace();
  window->CopyChannel(kItemEqA, kItemEqB);
  EXPECT_EQ(TakeTrace(), std::vector<std::string>{"R0D"});
}

TEST_F(EditWindowTest, OpensFromTheDeviceSavesAndLoadsFromItsMenuAndTellsTheOwnerItClosed) {
  IQDevice3300* unit = AddUnit(9, true);
  ASSERT_NE(unit, nullptr);
  ASSERT_NE(manager.Acquire(unit), nullptr);
  ASSERT_TRUE(unit->Open(&owner));
  auto* window = dynamic_cast<TEdit3300Window*>(unit->EditWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(unit->ShowOpenWindow());
  EXPECT_EQ(window->Text(), "9 (3300-2XL) STAGE");

  // In the test's own folder: orders of this program that run at once share no file.
  const std::string path = Temp("edit-window-menu-test.332").string();
  Store(g3300GainA.GetId(), {10});
  Store(MemoryName3300(1).GetId(), windows3300::TextBytes("VERSE"));
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerSaveFile(path);
    ui::Application::Instance()->RouteCommand(res3300::kCmSaveSettings, window);
  }
  Store(g3300GainA.GetId(), {3});
  Store(MemoryName3300(1).GetId(), windows3300::TextBytes("CHORUS"));
  window->RunItem(kItemGainA);
  window->RunItem(kItemMemory);
  ui::test::Type(*window->Memory(), res3300::kFirstName + 1, "BRIDGE");
  // The file carries another name: the caption and the owner's list follow it.
  {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto at = text.find("STAGE");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 5, "HALLS");
    std::ofstream(path) << text;
  }
  ui::test::PumpMessages();
  const int changedBefore = changed;
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerOpenFile(path);
    ui::Application::Instance()->RouteCommand(res3300::kCmLoadSettings, window);
  }
  ui::test::PumpMessages();
  EXPECT_EQ(window->Text(), "9 (3300-2XL) HALLS");
  EXPECT_EQ(changed, changedBefore + 1);
  EXPECT_EQ(ui::test::ControlOf(*window->Gain(0), controls_res::kLevelText).Text(), "5.0");
  // The memory names shown, and written back when the dialog closes, are the file's, but for
  // one the user typed meanwhile.
  EXPECT_EQ(ui::test::ControlOf(*window->Memory(), res3300::kFirstName).Text(), "VERSE");
  EXPECT_EQ(ui::test::ControlOf(*window->Memory(), res3300::kFirstName + 1).Text(), "BRIDGE");
  std::filesystem::remove(path);

  ui::Application::Instance()->RouteCommand(res3300::kCmCloseUnit, window);
  ui::test::PumpMessages();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(unit->ShowOpenWindow());
}

// Opening the unit's window from the device list, or any of its windows, on a unit that does not
// answer is one user action told once, idle passes after it included: a window of a unit whose
// lock cannot be read stays closed. One that falls silent after its lock was read opens with what
// it could not read shown as unknown, until the unit answers again.
TEST_F(EditWindowTest, OpeningAnyWindowOnASilentUnitGivesOneReportAndShowsUnreadValuesUnknown) {
  const auto reportsAfterIdle = [] {
    ui::test::PumpIdle(10);
    return eqtest::TakeReportedErrors().size();
  };
  // The roll call finds the units in address order: each new one takes a lower address.
  for (const bool twoChannel : {true, false}) {
    SCOPED_TRACE(twoChannel ? "3300-2XL" : "3300XL");
    bus.ClearFaults();
    IQDevice3300* unit = AddUnit(twoChannel ? 5 : 4, twoChannel);
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(manager.Acquire(unit), nullptr);
    const auto silent = sim::Fault::Silence().ForUnit(unit->GetInfo().address);
    bus.AddFault(silent);
    ASSERT_TRUE(unit->Open(&owner));
    EXPECT_EQ(reportsAfterIdle(), 1u) << "the unit's window from the device list";
    auto& window = dynamic_cast<TEdit3300Window&>(*unit->EditWindow());
    const auto level = [](TLevelDialog* dialog) {
      return
          [dialog] { return ui::test::ControlOf(*dialog, controls_res::kLevelText).Text() == "?"; };
    };
    const auto dark = [](const TLEDButton& lamp) {
      return [&lamp] { return lamp.GetState() == TLEDButton::kOff; };
    };
    struct Opening {
      int item;
      ui::Window* dialog;
      std::function<bool()> unknown;
    };
    std::vector<Opening> windows = {
        {kItemDspi, window.Dspi(), dark(window.Dspi()->Lamp())},
        {kItemSecurity, window.Security(), dark(window.Security()->Lamp())},
        {kItemMemory, window.Memory(),
         [&] {
           const auto& fields = window.Memory()->Children();
           return std::none_of(fields.begin(), fields.end(), [](ui::Window* field) {
             return dynamic_cast<ui::Edit*>(field) != nullptr && !field->Text().empty();
           });
         }},
    };
    const int items[][4] = {{kItemEqA, kItemLpfA, kItemHpfA, kItemGainA},
                            {kItemEqB, kItemLpfB, kItemHpfB, kItemGainB}};
    for (int channel = 0; channel < unit->ChannelCount(); ++channel) {
      const auto& [eq, lpf, hpf, gain] = items[channel];
      windows.push_back({eq, window.Equaliser(channel), [&window, channel] {
                           for (int band = 1; band <= kBandCount; ++band) {
                             if (window.Equaliser(channel)->Slider(band).HasValue()) return false;
                           }
                           return true;
                         }});
      windows.push_back({lpf, window.Lpf(channel), level(window.Lpf(channel))});
      windows.push_back({hpf, window.Hpf(channel), level(window.Hpf(channel))});
      windows.push_back({gain, window.Gain(channel), level(window.Gain(channel))});
    }
    for (const auto& [item, dialog, unknown] : windows) {
      SCOPED_TRACE(item);
      bus.ClearFaults();
      bus.AddFault(silent);
      window.RunItem(item);
      EXPECT_EQ(reportsAfterIdle(), 1u);
      EXPECT_FALSE(dialog->IsCreated());
      bus.ClearFaults();
      bus.AddFault(silent.OnOccurrence(2).Times(sim::Fault::kForever));
      window.RunItem(item);
      EXPECT_EQ(reportsAfterIdle(), 1u);
      ASSERT_TRUE(dialog->IsCreated());
      EXPECT_TRUE(unknown());
      bus.ClearFaults();
      testsupport::ResumePollsAndSettle();
      EXPECT_FALSE(unknown()) << "read again once the unit answers";
      dialog->CloseWindow(ui::kIdCancel);
    }
    bus.ClearFaults();
    window.CloseWindow();
    ui::test::PumpMessages();
  }
}

}  // namespace
