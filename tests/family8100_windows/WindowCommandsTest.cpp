#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"
#include "tests/support/FailureInBox.h"

using namespace namespace8100;
using testsupport8100::OlderFamilyBus;

namespace {

void RunNode(TEdit8100Window& window, int id) {
  ui::TreeView& tree = window.Tree();
  const auto find = [&](auto& self, ui::TreeItem parent) -> ui::TreeItem {
    for (ui::TreeItem item = tree.FirstChild(parent); item; item = tree.NextSibling(item)) {
      if (static_cast<int>(tree.ItemData(item)) == id) return item;
      if (ui::TreeItem inner = self(self, item)) return inner;
    }
    return {};
  };
  tree.Select(find(find, tree.FirstRoot()));
  window.RunSelectedNode();
}

// Every command reached from the unit window's tree, the signal flow's switches and the memory
// page's buttons, on a unit that stops answering or refuses once they are open: the failure is
// told once, by the error dialog or at the head of the command's closing message, and no prompt
// follows it.
TEST(WindowCommandsTest, EveryCommandOfTheUnitsWindowsOnAFailingUnitIsToldOnceAndNothingFollows) {
  using namespace f8100res;
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = sim::family8100::Model::kRuneTide, .address = 5, .unitName = "Stage"});
  IQDevice8100& unit = *testsupport8100::OnlyUnit(bus);
  TEdit8100Window window(nullptr, unit);
  window.Create();
  TSigFlowDialog& flow = window.SignalFlow();
  TMemoryDialog& memory = window.Memory();
  const auto node = [&window](int id) { return [&window, id] { RunNode(window, id); }; };
  const auto click = [](ui::Window& owner, int button) {
    return [&owner, button] { ui::test::Click(owner, button); };
  };
  const auto answered = [](const std::string& text) {
    return [text](ui::PromptScript& script) {
      script.RunDialog(controls_res::kInputDialog, [text](ui::Dialog& d) {
        ui::test::ControlOf(d, controls_res::kInputField).SetText(text);
        d.CloseWindow(ui::kIdOk);
      });
    };
  };
  const auto yes = [](ui::PromptScript& script) { script.AnswerMessageBox(ui::kIdYes); };
  const auto ok = [](ui::PromptScript& script) { script.AnswerMessageBox(ui::kIdOk); };
  const auto none = [](ui::PromptScript&) {};
  const struct {
    const char* what;
    std::function<void()> run;
    std::function<void(ui::PromptScript&)> answers;
    int answeredFirst = 0;  // the requests the unit answers before it fails: the tree's lock read
  } routes[] = {
      {"strobe LEDs at the lock read", node(TEdit8100Window::kStrobeLeds), none},
      {"strobe LEDs", node(TEdit8100Window::kStrobeLeds), none, 1},
      {"set address", node(TEdit8100Window::kSetAddress), answered("7"), 1},
      {"rename", node(TEdit8100Window::kName), answered("Choir"), 2},
      {"factory initialise", node(TEdit8100Window::kFactoryInitialize), ok, 1},
      {"serial number", node(TEdit8100Window::kSerialNumber), none, 1},
      {"firmware version", node(TEdit8100Window::kFirmwareVersion), none, 1},
      {"left mute", click(flow, kLeftMuteSwitch), none},
      {"routing", click(flow, kRouteBox0), none},
      {"left noise", click(flow, kLeftNoiseSwitch), none},
      {"memory save", click(memory, kFirstSaveButton + 1), yes},
      {"memory recall", click(memory, kFirstRecallButton + 1), yes},
      {"preset map", click(memory, kPresetMapButton),
       [](ui::PromptScript& script) {
         script.RunDialog(kPresetDialog, [](ui::Dialog& d) { d.CloseWindow(ui::kIdOk); });
       }},
  };
  // Where each report comes among the prompts.
  static std::vector<std::size_t> reportedAt;
  static ui::PromptScript* current;
  controls::SetDeviceErrorReporter([](const IQException& e, IQDevice*, int) {
    reportedAt.push_back(current != nullptr ? current->Seen().size() : 0);
    test8100::ReportedErrors().push_back(e.GetText());
  });
  for (const bool refused : {false, true}) {
    for (const auto& route : routes) {
      SCOPED_TRACE(std::string(route.what) + (refused ? ", refused" : ", silent"));
      // What the previous route left to be read again is read while the unit answers.
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(20);
      ui::test::RestIdle();
      // The pages a factory initialise closed.
      for (const int page : {TEdit8100Window::kSignalFlow, TEdit8100Window::kMemory}) {
        RunNode(window, page);
      }
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
  controls::SetDeviceErrorReporter([](const IQException& e, IQDevice*, int) {
    test8100::ReportedErrors().push_back(e.GetText());
  });
  window.CloseWindow();
  ui::test::PumpMessages();
}

}  // namespace
