// The commands reached from the unit edit window's tree, and a picture of each of this part's
// windows in the build's gallery.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/TInputDialog.h"
#include "controls/TQuadButton.h"
#include "familycommon/SetPassDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TPinkDialog.h"
#include "familyov/unit/LogicPanes.h"
#include "familyov/unit/NewSettingsCheck.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TLogicWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "familyov/unit/TNetLogicDialog.h"
#include "familyov/unit/TRTCWindows.h"
#include "familyov/unit/TSecurityDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvCommandIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "tests/familyov_commands/CommandsTestSupport.h"
#include "tests/support/FailureInBox.h"

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

// Every command reached from a menu, a button or a drop in the unit's windows, on a unit that
// stops answering or refuses once they are open: the failure is told once, by the error dialog or
// at the head of the command's closing message, and no prompt follows it.
TEST_F(WindowCommandsTest, EveryCommandOfTheUnitsWindowsOnAFailingUnitIsToldOnceAndNothingFollows) {
  const NodeIds& ids = window->Ids();
  for (const int node : {ids.summary, ids.logic, ids.memory, ids.security, ids.timer, ids.limiter,
                         ids.pinkNoise, ids.inputLevel, ids.inputDelay, ids.mixing}) {
    window->OpenChildWindow(node);
  }
  ui::Window& summary = *window->ChildWindow(ids.summary);
  auto& logic = dynamic_cast<TLogicWindow&>(*window->ChildWindow(ids.logic));
  auto& memory = dynamic_cast<TMemoryWindow&>(*window->ChildWindow(ids.memory));
  ui::Window& security = *window->ChildWindow(ids.security);
  auto& timer = dynamic_cast<TRTCDecoratedFrame&>(*window->ChildWindow(ids.timer));
  TLimiterDialog& limiter =
      dynamic_cast<TLimiterWindow&>(*window->ChildWindow(ids.limiter)).Pane(0);
  auto& pink = dynamic_cast<TPinkDialog&>(*window->ChildWindow(ids.pinkNoise));
  ui::Window& delays = *window->ChildWindow(ids.inputDelay);
  ui::Window& mixer = *window->ChildWindow(ids.mixing);
  ui::test::Click(logic.Dialog(), ovfunctions_res::kFirstLogicInBit);
  ASSERT_NE(unit8148->selectedLogicIn, 0);
  timer.Commands().Run(ovfunctions_res::kCmNewEvent);
  ASSERT_TRUE(ovtest::ReportedErrors().empty());
  const auto menu = [](ui::Window& owner, int command) {
    return [&owner, command] { owner.Commands().Run(command); };
  };
  const auto click = [](ui::Window& owner, int button) {
    return [&owner, button] { ui::test::Click(owner, button); };
  };
  const auto spin = [](ui::Window& owner, int id) {
    return [&owner, id] {
      auto& quad = dynamic_cast<TQuadButton&>(ui::test::ControlOf(owner, id));
      const ui::Rect r = quad.ZoneRect(TQuadButton::kUpperRight);
      const ui::Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ui::test::MouseDown(quad, centre);
      ui::test::MouseUp(quad, centre);
      ui::test::PumpMessages();
    };
  };
  const auto dropRow = [&logic] {
    TLogicListWindow& list = logic.List();
    list.SendNotify(
        {.controlId = ovfunctions_res::kLogicList, .code = ui::Notify::BeginDrag, .item = 1});
    const ui::Rect target = list.List().ItemRect(6);
    const ui::Point drop = list.ScreenToClient(
        list.List().ClientToScreen({target.left + 5, (target.top + target.bottom) / 2}));
    ui::test::MouseMove(list, drop);
    ui::test::MouseUp(list, drop);
  };
  const auto pickMemory = [&logic] {
    auto& memories = dynamic_cast<ui::ComboBox&>(
        ui::test::ControlOf(logic.Dialog(), ovfunctions_res::kRecalledMemory));
    memories.SetSelection(memories.Selection() == 1 ? 2 : 1);
    logic.Dialog().SendNotify(
        {.controlId = ovfunctions_res::kRecalledMemory, .code = ui::Notify::SelChange});
  };
  // What a command asks before it reaches the unit is answered so that it goes on; a command
  // that stops earlier leaves its answers unused.
  const auto ok = [](ui::PromptScript& script) { script.AnswerMessageBox(ui::kIdOk); };
  const auto named = [](ui::PromptScript& script) {
    script.RunDialog(controls_res::kInputDialog, commandstest::Answer("Silent1"));
  };
  const auto addressed = [](ui::PromptScript& script) {
    script.RunDialog(controls_res::kInputDialog, commandstest::Answer("7"));
  };
  const auto none = [](ui::PromptScript&) {};
  // The long commands cut off part way: past their first requests, with their files chosen and
  // their closing messages answered.
  QTemporaryDir folder;
  const std::string settings = folder.filePath("unit.ov8").toStdString();
  const std::string listing = folder.filePath("unit.txt").toStdString();
  {
    ui::PromptScript saving([](const std::string&) {});
    saving.AnswerSaveFile(settings);
    ASSERT_TRUE(unit8148->SaveFile());
  }
  const auto savedTo = [](const std::string& path) {
    return [path](ui::PromptScript& script) {
      script.AnswerSaveFile(path);
      if (std::filesystem::exists(path)) script.AnswerMessageBox(ui::kIdYes);
      script.AnswerMessageBox(ui::kIdOk);
    };
  };
  const auto loadedFrom = [](const std::string& path) {
    return [path](ui::PromptScript& script) {
      script.AnswerOpenFile(path).AnswerMessageBox(ui::kIdOk);
    };
  };
  // A silent unit is waited for no longer than the put-back's own wait may last.
  unit8148->SetWaitBound({.limit = std::chrono::milliseconds(300)});
  const auto onEvent = [&timer](std::function<void()> run) {
    return [&timer, run] {
      timer.List().List().SelectItem(0);
      ui::test::PumpMessages();
      run();
    };
  };
  struct Route {
    const char* what;
    std::function<void()> run;
    std::function<void(ui::PromptScript&)> answers;
    int answeredFirst = 0;  // the requests the unit answers before it fails
  };
  const Route routes[] = {
      {"summary File Open", menu(summary, ovsummary_res::kCmFileOpen), none},
      {"summary File Save As", menu(summary, ovsummary_res::kCmFileSaveAs), none},
      {"summary File Report", menu(summary, ovsummary_res::kCmFileReport), none},
      {"summary unit name", menu(summary, ovsummary_res::kCmUnitName), named},
      {"summary delay in feet", menu(summary, ovsummary_res::kCmUnitsFeet), none},
      {"unit load", menu(*window, ovres::kCmLoadSettings), none},
      {"unit save", menu(*window, ovres::kCmSaveSettings), none},
      {"unit report", menu(*window, ovres::kCmPrintReport), none},
      {"unit load part way", menu(*window, ovres::kCmLoadSettings), loadedFrom(settings), 60},
      {"unit save part way", menu(*window, ovres::kCmSaveSettings), savedTo(settings), 60},
      {"unit report part way", menu(*window, ovres::kCmPrintReport), savedTo(listing), 60},
      {"unit rename", menu(*window, ovres::kCmRenameUnit), named},
      {"unit strobe", menu(*window, ovres::kCmStrobeLeds), none},
      {"unit factory initialise", menu(*window, ovres::kCmFactoryInit), ok},
      {"unit address", menu(*window, ovres::kCmChangeAddress), addressed},
      {"logic Trigger Now", click(logic.Dialog(), ovfunctions_res::kTriggerNow), ok},
      {"logic memory choice", pickMemory, none},
      {"logic output bit", click(logic.Dialog(), ovfunctions_res::kFirstLogicOutBit), none},
      {"logic row dropped", dropRow, none},
      {"memory save", click(memory.Row(1), ovfunctions_res::kMemorySave), ok},
      {"memory recall", click(memory.Row(1), ovfunctions_res::kMemoryRecall), ok},
      // The title pane, with its button, comes before the rows.
      {"memory save all", click(memory, ovfunctions_res::kSaveToAll), ok},
      {"security lock", click(security, ovres::kLockButton), ok},
      {"security service status", click(security, ovres::kServiceStatusButton), none},
      // On the event made before the routes: a new one the unit never heard of is not there to
      // change once the unit has been read again.
      {"clock afternoon", onEvent(click(timer.Editor(), ovfunctions_res::kAfternoon)), none},
      {"clock copy to every day", onEvent(menu(timer, ovfunctions_res::kCmAllDays)), ok},
      {"clock delete", onEvent(menu(timer, ovfunctions_res::kCmDeleteEvents)), ok},
      {"clock new event", menu(timer, ovfunctions_res::kCmNewEvent), none},
      {"summary mute", click(summary, ovsummary_res::kMute), none},
      {"delay bypass", click(delays, ovchannels_res::kDelayBypass), none},
      {"delay in feet", click(delays, ovchannels_res::kUnitsFeet), none},
      {"mixer crosspoint", click(mixer, ovprocessing_res::kCrosspointBox), none},
      {"limiter switched", click(limiter, ovprocessing_res::kLimEnable), none},
      {"limiter threshold stepped", spin(limiter, ovprocessing_res::kLimThresholdSpin), none},
      {"pink noise switched", click(pink, ovprocessing_res::kPinkEnable), none},
      {"pink noise level stepped", spin(pink, ovprocessing_res::kPinkLevelSpin), none},
      {"pink noise output muted", click(pink, ovprocessing_res::kFirstPinkMute), none},
  };
  // Where each report comes among the prompts.
  static std::vector<std::size_t> reportedAt;
  static ui::PromptScript* current;
  const CommErrorReporter previous = SetCommErrorReporter([](const IQException&, IQDevice&) {
    reportedAt.push_back(current != nullptr ? current->Seen().size() : 0);
  });
  for (const bool refused : {false, true}) {
    for (const Route& route : routes) {
      SCOPED_TRACE(std::string(route.what) + (refused ? ", refused" : ", silent"));
      // What the previous route left to be read again is read while the unit answers.
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(20);
      ui::test::RestIdle();
      // The memory's name, read again, is named in the question before a save or a recall.
      gMemoryNameObject.SetElement(0);
      GuardedUnitCall(*unit8148, [&] { gMemoryNameObject.Read(*unit8148); });
      ui::PromptScript script([](const std::string&) {});
      current = &script;
      reportedAt.clear();
      route.answers(script);
      sim::Fault fault = (refused ? sim::Fault::ErrorObject(3) : sim::Fault::Unheard()).ForUnit(5);
      fault.firstOccurrence += route.answeredFirst;
      bus.bus.AddFault(fault);
      route.run();
      ui::test::PumpMessages();
      bus.bus.ClearFaults();
      current = nullptr;
      std::vector<std::size_t> toldAt = reportedAt;
      for (const std::size_t at : testsupport::BoxesTellingAFailure(script)) toldAt.push_back(at);
      EXPECT_EQ(toldAt.size(), 1u) << testing::PrintToString(reportedAt);
      if (toldAt.size() == 1) {
        EXPECT_EQ(toldAt.front(), script.Seen().size())
            << "a prompt after the failure: " << script.Seen().back().text;
      }
    }
  }
  SetCommErrorReporter(previous);
}

}  // namespace
}  // namespace namespaceOV
