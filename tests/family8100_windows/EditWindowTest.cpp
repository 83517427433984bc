#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "bus/PollBackoff.h"
#include "bus/SettingsTextFile.h"
#include "controls/TLEDButton.h"
#include "controls/TSwitchButton.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/filters/TFrequencyGraph.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familycommon/GraphWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"
#include "tests/support/PrintedText.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;
using testsupport8100::WriteFailure;

namespace {

const auto* const kEnvironment = test8100::AddGuiEnvironment("family8100_windows_tests");

std::vector<std::string> NodeTexts(ui::TreeView& tree, ui::TreeItem parent) {
  std::vector<std::string> texts;
  for (ui::TreeItem item = tree.FirstChild(parent); item; item = tree.NextSibling(item)) {
    texts.push_back(tree.ItemText(item));
    for (const std::string& text : NodeTexts(tree, item)) texts.push_back("  " + text);
  }
  return texts;
}

ui::TreeItem FindNode(ui::TreeView& tree, ui::TreeItem parent, int id) {
  for (ui::TreeItem item = tree.FirstChild(parent); item; item = tree.NextSibling(item)) {
    if (static_cast<int>(tree.ItemData(item)) == id) return item;
    if (ui::TreeItem inner = FindNode(tree, item, id)) return inner;
  }
  return {};
}

void RunNode(TEdit8100Window& window, int id) {
  window.Tree().Select(FindNode(window.Tree(), window.Tree().FirstRoot(), id));
  window.RunSelectedNode();
}

class EditWindowTest : public testing::Test {
 protected:
  void SetUp() override { test8100::ReportedErrors().clear(); }
  void TearDown() override { ui::test::PumpMessages(); }
  OlderFamilyBus bus;
};

// A page of the unit window by its tree node, or a window of its signal flow by the button there.
ui::Window* OpenPage(TEdit8100Window& window, int node, int button) {
  TSigFlowDialog& flow = window.SignalFlow();
  if (node != 0) {
    RunNode(window, node);
    return node == TEdit8100Window::kSignalFlow ? &flow
           : node == TEdit8100Window::kMemory   ? static_cast<ui::Window*>(&window.Memory())
                                                : &window.Security();
  }
  ui::test::Click(flow, button);
  return flow.SubDialog(button) != nullptr         ? flow.SubDialog(button)
         : button == f8100res::kLowCrossoverButton ? flow.Editor(EditorView::Crossovers)
                                                   : flow.Editor(EditorView::LeftInput);
}

TEST_F(EditWindowTest, VirtualUnitHasOnlyItsPagesAndNamesItselfVirtual) {
  std::unique_ptr<IQDevice> device(bus.plus.CreateDevice(&bus.manager, nullptr));
  device->SetName("Spare");
  auto& unit = dynamic_cast<IQDevice8100&>(*device);
  TEdit8100Window window(nullptr, unit);
  window.Create();
  EXPECT_EQ(window.Text(), "Spare (Virtual Ordavinex+)");
  EXPECT_THAT(NodeTexts(window.Tree(), {}),
              ElementsAre("Ordavinex ", "  Signal Flow ", "  Memory"));
  EXPECT_TRUE(window.SignalFlow().IsCreated());
}

TEST_F(EditWindowTest, BusUnitOpensFromTheDeviceWithItsTreeAndReportsClosing) {
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kX, .address = 12, .unitName = "Stage"});
  IQDevice8100* unit = OnlyUnit(bus);
  ui::Window client;
  std::vector<ui::Param> closed;
  client.OnMessage(TEdit8100Window::kWindowClosed, [&](const ui::Message& m) {
    closed.push_back(m.lParam);
    return ui::Param{0};
  });
  client.Create();
  ASSERT_NE(bus.manager.Acquire(unit), nullptr);
  ASSERT_TRUE(unit->Open(&client));
  EXPECT_TRUE(unit->ShowOpenWindow());
  auto* window = dynamic_cast<TEdit8100Window*>(unit->EditWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Text(), "12 (Ordavinex X) Stage");
  EXPECT_THAT(
      NodeTexts(window->Tree(), {}),
      ElementsAre("Ordavinex ", "  Signal Flow ", "  Name", "  Memory", "  Security", "  Special",
                  "    Set Address", "    Factory Initialize", "    Reflash Unit",
                  "    Strobe LEDs", "    Serial Number", "    Firmware Version"));
  // An unlocked unit's signal flow opens with the window.
  EXPECT_TRUE(window->SignalFlow().IsVisible());
  // The memory page and the firmware version are reached from the tree.
  RunNode(*window, TEdit8100Window::kMemory);
  EXPECT_TRUE(window->Memory().IsCreated());
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerMessageBox(ui::kIdOk);
    RunNode(*window, TEdit8100Window::kFirmwareVersion);
  }
  window->CloseWindow();
  ui::test::PumpMessages();
  EXPECT_THAT(closed, ElementsAre(reinterpret_cast<ui::Param>(static_cast<IQDevice*>(unit))));
  EXPECT_EQ(unit->EditWindow(), nullptr);
  EXPECT_TRUE(test8100::ReportedErrors().empty());
}

TEST_F(EditWindowTest, LockedUnitKeepsItsPagesClosedAndBeepsAtThem) {
  const int index = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 3});
  bus.bus.StoreElement(index, sim::family8100::kLockedId, 0, {1});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  EXPECT_FALSE(window.SignalFlow().IsCreated());
  const ui::TreeItem memory = FindNode(window.Tree(), window.Tree().FirstRoot(), 8);
  EXPECT_EQ(window.Tree().ItemImage(memory), 6);
  const int beeps = ui::BeepCount();
  RunNode(window, TEdit8100Window::kMemory);
  RunNode(window, TEdit8100Window::kSpecial);
  EXPECT_EQ(ui::BeepCount(), beeps + 2);
  EXPECT_FALSE(window.Memory().IsCreated());
}

// A rebooting unit leaves ready polls unanswered: they count as not ready, the normal-mode reboot
// still goes out and nothing is reported. A unit that never answers again is reported once, and
// the window stays usable, as it does after a unit that did not take the initialise request.
TEST_F(EditWindowTest, FactoryInitializeWaitsThroughAUnitThatRebootsSilently) {
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  bus.TakeTrace();
  // Three ready polls go before the first reboot command; the three after it are not answered.
  bus.bus.AddFault(sim::Fault::Silence().ForObject(6).OnOccurrence(4).Times(3));
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk);
  RunNode(window, TEdit8100Window::kFactoryInitialize);
  const std::vector<std::string> trace = bus.TakeTrace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "W01 01"), 2);
  EXPECT_THAT(trace, testing::IsSupersetOf({"W00 01", "W01 01", "R06"}));
  EXPECT_TRUE(test8100::ReportedErrors().empty());

  bus.bus.AddFault(sim::Fault::Silence().ForObject(6).OnOccurrence(4).Times(sim::Fault::kForever));
  script.AnswerMessageBox(ui::kIdOk);
  RunNode(window, TEdit8100Window::kFactoryInitialize);
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);

  // A unit that does not take the initialise request is told once; no reboot follows.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::Unheard().ForObject(0).ForOpcode(sim::kOpcodeSet));
  script.AnswerMessageBox(ui::kIdOk);
  bus.TakeTrace();
  RunNode(window, TEdit8100Window::kFactoryInitialize);
  EXPECT_EQ(test8100::ReportedErrors().size(), 2u);
  EXPECT_THAT(bus.TakeTrace(), testing::Not(testing::Contains("W01 01")));
  bus.bus.ClearFaults();
  bus.TakeTrace();
  RunNode(window, TEdit8100Window::kStrobeLeds);
  EXPECT_THAT(bus.TakeTrace(), testing::Contains("W08 01"));
}

// The unit moves to the address it is given; the window follows it there and checks it answers,
// and says so plainly when it does not. Cancel changes nothing and reads nothing.
TEST_F(EditWindowTest, SetAddressFollowsTheUnitAndChecksItAnswersThere) {
  const int index = sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = Model::kX, .address = 9, .unitName = "Stage"});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  const auto answer = [](const char* address, int result) {
    return [=](ui::Dialog& d) {
      ui::test::ControlOf(d, controls_res::kInputField).SetText("");
      ui::test::Type(d, controls_res::kInputField, address);
      d.CloseWindow(result);
    };
  };
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  bus.TakeTrace();
  script.RunDialog(controls_res::kInputDialog, answer("20", ui::kIdCancel));
  RunNode(window, TEdit8100Window::kSetAddress);
  script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) { d.CloseWindow(ui::kIdCancel); });
  RunNode(window, TEdit8100Window::kName);
  // Only each node's own lock check: the tree is not refreshed.
  EXPECT_THAT(bus.TakeTrace(), testing::ElementsAre("R1C", "R1C"));

  script.RunDialog(controls_res::kInputDialog, answer("20", ui::kIdOk));
  RunNode(window, TEdit8100Window::kSetAddress);
  EXPECT_EQ(window.Text(), "20 (Ordavinex X) Stage");
  bus.bus.WithUnit(index, [](sim::Unit& u) { EXPECT_EQ(u.Identity().address, 20); });
  RunNode(window, TEdit8100Window::kStrobeLeds);
  EXPECT_TRUE(test8100::ReportedErrors().empty());

  // A unit gone silent at its new address is not followed without a word.
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(30));
  script.RunDialog(controls_res::kInputDialog, answer("30", ui::kIdOk)).AnswerMessageBox(ui::kIdOk);
  RunNode(window, TEdit8100Window::kSetAddress);
  EXPECT_EQ(script.Seen().back().text,
            "The unit does not answer at its new address 30.\nCheck the unit, then make a roll "
            "call.");
  EXPECT_EQ(unit->GetInfo().address, 30);
}

TEST_F(EditWindowTest, ANameASettingsFileCouldNotCarryIsRefusedWithTheReasonUnwritten) {
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kX, .address = 9, .unitName = "Stage"});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  for (const char* typed : {"[Delay]99 99", "Say \"hi\""}) {
    SCOPED_TRACE(typed);
    bus.TakeTrace();
    script.RunDialog(controls_res::kInputDialog, [typed](ui::Dialog& d) {
      ui::test::ControlOf(d, controls_res::kInputField).SetText("");
      ui::test::Type(d, controls_res::kInputField, typed);
      d.CloseWindow(ui::kIdOk);
    });
    script.AnswerMessageBox(ui::kIdOk);
    RunNode(window, TEdit8100Window::kName);
    EXPECT_EQ(script.Seen().back().text, SettingsTextFile::kUncarriedReason);
    for (const std::string& request : bus.TakeTrace()) EXPECT_NE(request[0], 'W') << request;
  }
  EXPECT_EQ(window.Text(), "9 (Ordavinex X) Stage");
}

// The response graph within a window, if any.
familycommon::GraphWindow* GraphIn(ui::Window& window) {
  if (auto* graph = dynamic_cast<familycommon::GraphWindow*>(&window)) return graph;
  for (ui::Window* child : window.Children()) {
    if (familycommon::GraphWindow* graph = GraphIn(*child)) return graph;
  }
  return nullptr;
}

// A rename reaches the caption of every window of the unit that names it, the editors and the
// small dialogs the signal flow opens among them, and the title its graphs print. Unit 11, named
// as the renamed unit's list text, so that its captions hold that text, keeps its captions, and a
// memory name typed with the unit's list text in it stays as typed.
TEST_F(EditWindowTest, ARenameReachesTheCaptionOfEveryOpenWindowThatNamesTheUnit) {
  RegisterBankEditor();
  RegisterCrossoverEditor();
  const std::shared_ptr<void> unregister(nullptr, [](void*) {
    RegisterBankEditorMaker(nullptr);
    RegisterCrossoverMaker(nullptr);
  });
  using namespace f8100res;
  using Has = bool (IQDevice8100::*)() const;
  const struct {
    const char* name;
    Has has;     // null: every model has it
    int node;    // in the tree, else
    int button;  // on the signal flow
    int print;   // the print command of the graph within, if any
  } windows[] = {
      {"signal flow", nullptr, TEdit8100Window::kSignalFlow, 0, 0},
      {"attenuation", nullptr, 0, kLeftAttenuationButton, 0},
      {"delay", &IQDevice8100::HasDelay, 0, kLeftDelayButton, 0},
      {"limiter", &IQDevice8100::HasLimiter, 0, kLeftLimiterButton, 0},
      {"noise", &IQDevice8100::HasNoise, 0, kNoiseButton, 0},
      {"filter bank", nullptr, 0, kLeftInputButton, TFrequencyGraph::kCmPrint},
      {"crossovers", &IQDevice8100::HasCrossovers, 0, kLowCrossoverButton,
       TCrossoverGraph::kCmPrint},
      {"memory", nullptr, TEdit8100Window::kMemory, 0, 0},
      {"security", nullptr, TEdit8100Window::kSecurity, 0, 0},
  };
  for (const Model model : {Model::kX, Model::kRuneTide}) {
    SCOPED_TRACE(static_cast<int>(model));
    OlderFamilyBus named;
    for (const auto& [address, name] : {std::pair{1, "Stage"}, {11, "(1) Stage"}}) {
      sim::family8100::AddFamily8100Unit(named.bus,
                                         {.model = model, .address = address, .unitName = name});
    }
    struct Shown {
      const char* name;
      ui::Window* page;
      int print;
      std::string caption;
    };
    std::vector<std::unique_ptr<TEdit8100Window>> edits;
    std::vector<std::vector<Shown>> shown;
    for (IQDevice* device : named.RollCall()) {
      auto& unit = dynamic_cast<IQDevice8100&>(*device);
      TEdit8100Window& edit = *edits.emplace_back(std::make_unique<TEdit8100Window>(nullptr, unit));
      edit.Create();
      std::vector<Shown>& pages = shown.emplace_back();
      for (const auto& [name, has, node, button, print] : windows) {
        if (has != nullptr && !(unit.*has)()) continue;
        ui::Window* page = OpenPage(edit, node, button);
        ASSERT_TRUE(page != nullptr && page->IsCreated()) << name;
        EXPECT_THAT(page->Text(), testing::HasSubstr(unit.ListTextOrName())) << name;
        pages.push_back({name, page, print, page->Text()});
      }
    }
    ASSERT_EQ(edits.size(), 2u);
    ASSERT_THAT(edits[1]->Text(), testing::StartsWith("11 "));
    ui::Window& memory = edits[0]->Memory();
    ui::test::ControlOf(memory, kFirstMemoryName).SetText("");
    ui::test::Type(memory, kFirstMemoryName, "(1) Stage");

    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) {
      ui::test::ControlOf(d, controls_res::kInputField).SetText("");
      ui::test::Type(d, controls_res::kInputField, "Choir");
      d.CloseWindow(ui::kIdOk);
    });
    RunNode(*edits[0], TEdit8100Window::kName);
    for (const auto& [name, page, print, caption] : shown[0]) {
      EXPECT_THAT(page->Text(), testing::AllOf(testing::HasSubstr("(1) Choir"),
                                               testing::Not(testing::HasSubstr("Stage"))))
          << name;
      if (print == 0) continue;
      familycommon::GraphWindow* graph = GraphIn(*page);
      ASSERT_NE(graph, nullptr) << name;
      EXPECT_THAT(testsupport::PrintedText(*graph, print), testing::HasSubstr("Unit: '(1) Choir'"))
          << name;
    }
    EXPECT_THAT(edits[0]->Text(), testing::EndsWith(") Choir"));
    EXPECT_EQ(ui::test::ControlOf(memory, kFirstMemoryName).Text(), "(1) Stage");
    for (const auto& [name, page, print, caption] : shown[1])
      EXPECT_EQ(page->Text(), caption) << name;
    EXPECT_THAT(edits[1]->Text(), testing::EndsWith(") (1) Stage"));
    EXPECT_TRUE(test8100::ReportedErrors().empty());
    for (auto& edit : edits) edit->CloseWindow();
    ui::test::PumpMessages();
  }
}

// An editor or a dialog the signal flow opens while its unit is silent names the unit by its
// address; once the unit answers and is read again whole, its caption and its graph's name the
// unit as the unit's other windows do.
TEST_F(EditWindowTest, AWindowOpenedOnASilentUnitTakesTheUnitsNameOnceItAnswers) {
  RegisterBankEditor();
  RegisterCrossoverEditor();
  const std::shared_ptr<void> unregister(nullptr, [](void*) {
    RegisterBankEditorMaker(nullptr);
    RegisterCrossoverMaker(nullptr);
  });
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kX, .address = 6, .unitName = "Sub"});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  OpenPage(window, TEdit8100Window::kSignalFlow, 0);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(6).Times(sim::Fault::kForever));
  const struct {
    int button;
    const char* caption;
  } opened[] = {
      {f8100res::kLeftInputButton, "Left Input Filters - "},
      {f8100res::kLowCrossoverButton, "Crossovers - "},
      {f8100res::kLeftDelayButton, "Delay - "},
  };
  std::vector<ui::Window*> windows;
  for (const auto& [button, caption] : opened) {
    windows.push_back(OpenPage(window, 0, button));
    ASSERT_NE(windows.back(), nullptr);
    EXPECT_EQ(windows.back()->Text(), std::string(caption) + "6");
  }
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(3);
  ui::test::PumpMessages();
  EXPECT_EQ(window.SignalFlow().Text(), "Signal Flow - (6) Sub");
  for (std::size_t i = 0; i < windows.size(); ++i) {
    EXPECT_EQ(windows[i]->Text(), std::string(opened[i].caption) + "(6) Sub");
    if (familycommon::GraphWindow* graph = GraphIn(*windows[i])) {
      EXPECT_THAT(graph->Text(), testing::StartsWith("Unit: '(6) Sub';"));
    }
  }
  window.CloseWindow();
}

// Locking with the memory page open writes the typed names while the unit still takes them; the
// page then closes without a failed write.
TEST_F(EditWindowTest, LockingWithTheMemoryPageOpenKeepsTheTypedNames) {
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 6});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  RunNode(window, TEdit8100Window::kMemory);
  ui::test::ControlOf(window.Memory(), f8100res::kFirstMemoryName).SetText("");
  ui::test::Type(window.Memory(), f8100res::kFirstMemoryName, "CHOIR");
  RunNode(window, TEdit8100Window::kSecurity);
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk);
  bus.TakeTrace();
  ui::test::Click(window.Security(), f8100res::kLockLamp);
  ui::test::PumpMessages();
  const std::vector<std::string> trace = bus.TakeTrace();
  const auto name = std::find(trace.begin(), trace.end(), "W1E 43484F495200");
  ASSERT_NE(name, trace.end());
  EXPECT_LT(name - trace.begin(), std::find(trace.begin(), trace.end(), "W1C 01") - trace.begin());
  EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                          [](const std::string& r) { return r.rfind("W1E", 0) == 0; }),
            1);
  EXPECT_FALSE(window.Memory().IsCreated());
  EXPECT_TRUE(test8100::ReportedErrors().empty());
}

// A locked unit that did not answer as its window opened: once it answers, the caption names it
// and the tree shows the nodes it refuses locked.
TEST_F(EditWindowTest, AWindowOpenedOnASilentLockedUnitShowsItsLockOnceItAnswers) {
  const int index =
      sim::family8100::AddFamily8100Unit(bus.bus, {.address = 3, .unitName = "Stage"});
  bus.bus.StoreElement(index, sim::family8100::kLockedId, 0, {1});
  IQDevice8100* unit = OnlyUnit(bus);
  ASSERT_NE(bus.manager.Acquire(unit), nullptr);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(3));
  ASSERT_TRUE(unit->Open(nullptr));
  auto& window = dynamic_cast<TEdit8100Window&>(*unit->EditWindow());
  ui::TreeView& tree = window.Tree();
  const ui::TreeItem memory = FindNode(tree, tree.FirstRoot(), TEdit8100Window::kMemory);
  EXPECT_NE(tree.ItemImage(memory), 6);
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(3);
  EXPECT_EQ(tree.ItemImage(memory), 6);
  EXPECT_EQ(tree.ItemImage(FindNode(tree, tree.FirstRoot(), TEdit8100Window::kSignalFlow)), 6);
  EXPECT_THAT(window.Text(), testing::EndsWith(") Stage"));
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  window.CloseWindow();
}

// What the unit's open windows show: every caption and text, every box checked, every switch and
// lamp, and the tree's lock images.
std::vector<std::string> Shown(ui::Window& window) {
  std::vector<std::string> shown{window.Text()};
  if (const auto* box = dynamic_cast<const ui::CheckBox*>(&window)) {
    shown.push_back(box->IsChecked() ? "checked" : "clear");
  } else if (const auto* lamp = dynamic_cast<const TLEDButton*>(&window)) {
    shown.push_back(std::to_string(lamp->GetState()));
  } else if (const auto* button = dynamic_cast<const TSwitchButton*>(&window)) {
    shown.push_back(std::to_string(button->GetState()));
  } else if (auto* unitWindow = dynamic_cast<TEdit8100Window*>(&window)) {
    ui::TreeView& tree = unitWindow->Tree();
    for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item;
         item = tree.NextSibling(item)) {
      shown.push_back(std::to_string(tree.ItemImage(item)));
    }
  }
  for (ui::Window* child : window.Children()) {
    if (child->IsCreated()) std::ranges::copy(Shown(*child), std::back_inserter(shown));
  }
  return shown;
}

// A click, a choice, a memory save or recall or a rename whose write fails, with the unit's
// windows open: one report. Once the unit answers, every open window shows what the unit holds,
// the same as the windows opened on it anew: the change after a write the unit carried out, what
// it held before after one it never took or refused.
TEST_F(EditWindowTest, AWriteThatFailsLeavesEveryOpenWindowShowingWhatTheUnitHolds) {
  using namespace f8100res;
  const auto clicking = [](int id, bool page) {
    return [id, page](TEdit8100Window& window, ui::PromptScript&) {
      TSigFlowDialog& flow = window.SignalFlow();
      ui::test::Click(page ? static_cast<ui::Window&>(flow) : *flow.SubDialog(kLeftLimiterButton),
                      id);
    };
  };
  const auto memoryCommand = [](int button) {
    return [button](TEdit8100Window& window, ui::PromptScript& script) {
      script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
      ui::test::Click(window.Memory(), button);
    };
  };
  const struct {
    const char* what;
    std::function<void(TEdit8100Window&, ui::PromptScript&)> act;
    bool shows;  // whether the windows show the change
    // The object whose writes fail, 0 for every one: a memory command selects the memory to read
    // its name for the question first.
    int failing = 0;
  } paths[] = {
      {"mute", clicking(kLeftMuteSwitch, true), true},
      {"routing", clicking(kRouteBox0 + 1, true), true},
      {"release", clicking(kLeftSlow + 1, false), true},
      {"limiter link", clicking(kLinkLed, false), true},
      {"memory recall", memoryCommand(kFirstRecallButton + 4), true, g8100RestoreMemory.GetId()},
      {"memory save", memoryCommand(kFirstSaveButton + 2), false, g8100SaveMemory.GetId()},
      {"rename",
       [](TEdit8100Window& window, ui::PromptScript& script) {
         script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) {
           ui::test::ControlOf(d, controls_res::kInputField).SetText("");
           ui::test::Type(d, controls_res::kInputField, "Choir");
           d.CloseWindow(ui::kIdOk);
         });
         RunNode(window, TEdit8100Window::kName);
       },
       true},
  };
  const auto openWindows = [](IQDevice8100& unit) {
    auto window = std::make_unique<TEdit8100Window>(nullptr, unit);
    window->Create();
    ui::test::Click(window->SignalFlow(), kLeftLimiterButton);
    RunNode(*window, TEdit8100Window::kMemory);
    return window;
  };
  for (const auto& [path, act, shows, failing] : paths) {
    for (const WriteFailure failure : testsupport8100::kEachWriteFailure) {
      SCOPED_TRACE(std::string(path) + ", " + NameOf(failure));
      OlderFamilyBus unitBus;
      sim::family8100::AddFamily8100Unit(unitBus.bus,
                                         {.model = Model::kX, .address = 9, .unitName = "Stage"});
      IQDevice8100& unit = *OnlyUnit(unitBus);
      // Memory 5 holds levels and a mute the current settings lack.
      g8100LeftAttenuation.Write(unit, 20);
      g8100LeftMute.Write(unit, true);
      unit.SaveMemory(5);
      g8100LeftAttenuation.Write(unit, 0);
      g8100LeftMute.Write(unit, false);
      std::unique_ptr<TEdit8100Window> window = openWindows(unit);
      const std::vector<std::string> before = Shown(*window);
      test8100::ReportedErrors().clear();
      ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
      const sim::Fault fault = FailingWrites(failure, 9);
      unitBus.bus.AddFault(failing == 0 ? fault : fault.ForObject(failing));
      act(*window, script);
      ui::test::PumpMessages();
      // Told by the error dialog, or at the head of a memory command's closing message.
      const auto told = [&script] {
        return test8100::ReportedErrors().size() +
               std::ranges::count_if(script.Seen(), [](const ui::Prompt& prompt) {
                 return prompt.text.starts_with(ReadTimeout().GetText()) ||
                        prompt.text.starts_with(ErrorObject(3).GetText());
               });
      };
      EXPECT_EQ(told(), 1u);

      unitBus.bus.ClearFaults();
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(3);
      ui::test::PumpMessages();
      const std::vector<std::string> after = Shown(*window);
      EXPECT_EQ(after != before, failure == WriteFailure::kCarriedOut && shows);
      window->CloseWindow();
      window.reset();
      ui::test::PumpMessages();
      unit.ResetValueStore();
      window = openWindows(unit);
      EXPECT_EQ(after, Shown(*window));
      EXPECT_EQ(told(), 1u);
      window->CloseWindow();
      ui::test::PumpMessages();
    }
  }
}

// The texts of the window's fields that show a value although the unit gave none.
std::vector<std::string> FilledFields(ui::Window& window) {
  std::vector<std::string> filled;
  for (ui::Window* child : window.Children()) {
    if (dynamic_cast<ui::Edit*>(child) != nullptr && !child->Text().empty()) {
      filled.push_back(child->Text());
    }
  }
  return filled;
}

// A unit that does not answer from the moment it is opened in the device list: its own window
// and then each window of its model opened on it, every field read as it opens, is one user action
// told once, also when the unit answered just before; the polls the window starts rest and back
// off without a word; and a value the unit never gave shows as unknown.
TEST_F(EditWindowTest, OpeningAnyWindowOnASilentUnitGivesOneReportAndShowsUnreadValuesUnknown) {
  // The program's own editors, taken out again for the other tests.
  RegisterBankEditor();
  RegisterCrossoverEditor();
  const std::shared_ptr<void> unregister(nullptr, [](void*) {
    RegisterBankEditorMaker(nullptr);
    RegisterCrossoverMaker(nullptr);
  });
  const auto fault = sim::Fault::Silence().ForUnit(5).Times(sim::Fault::kForever);
  const auto reportsAfterIdle = [] {
    ui::test::PumpIdle(10);
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::RestIdle();
    ui::test::PumpIdle(10);
    return std::exchange(test8100::ReportedErrors(), {}).size();
  };
  for (const Model model : {Model::kBase, Model::kPlus, Model::kX, Model::kRuneTide}) {
    SCOPED_TRACE(static_cast<int>(model));
    OlderFamilyBus silent;
    const int index =
        sim::family8100::AddFamily8100Unit(silent.bus, {.model = model, .address = 5});
    // Levels no template or default holds, so that a figure shown is the unit's own.
    silent.bus.StoreElement(index, g8100LeftAttenuation.GetId(), 0, {7});
    silent.bus.StoreElement(index, g8100RightAttenuation.GetId(), 0, {9});
    IQDevice8100* unit = OnlyUnit(silent);
    ASSERT_NE(silent.manager.Acquire(unit), nullptr);
    silent.bus.AddFault(fault);
    ASSERT_TRUE(unit->Open(nullptr));
    EXPECT_EQ(reportsAfterIdle(), 1u) << "the unit's window from the device list";
    auto& window = dynamic_cast<TEdit8100Window&>(*unit->EditWindow());
    using namespace f8100res;
    using Has = bool (IQDevice8100::*)() const;
    const struct {
      const char* name;
      Has has;     // null: every model has it
      int node;    // in the tree, else
      int button;  // on the signal flow
      // What its fields show, the only ones filled: "?" for a value never read; the unit
      // answered the polls just before, and the program read it all again then, so the values
      // it gave are its own.
      std::vector<std::pair<int, std::string>> shows;
    } windows[] = {
        {"signal flow",
         nullptr,
         TEdit8100Window::kSignalFlow,
         0,
         {{kLeftAttenuationButton, "-3.5 dB"}, {kRightAttenuationButton, "-4.5 dB"}}},
        {"attenuation",
         nullptr,
         0,
         kLeftAttenuationButton,
         {{controls_res::kFirstText, "-3.5 dB"}, {controls_res::kSecondText, "-4.5 dB"}}},
        {"delay",
         &IQDevice8100::HasDelay,
         0,
         kLeftDelayButton,
         {{kLeftDelayEdit, "0.000"}, {kRightDelayEdit, "0.000"}}},
        {"limiter",
         &IQDevice8100::HasLimiter,
         0,
         kLeftLimiterButton,
         {{kLeftThresholdEdit, "16.0"}, {kRightThresholdEdit, "16.0"}}},
        {"noise",
         &IQDevice8100::HasNoise,
         0,
         kNoiseButton,
         {{kLeftNoiseLevelEdit, "0.0"}, {kRightNoiseLevelEdit, "0.0"}}},
        {"filter bank", nullptr, 0, kLeftInputButton, {}},
        {"crossovers", &IQDevice8100::HasCrossovers, 0, kLowCrossoverButton, {}},
        {"memory", nullptr, TEdit8100Window::kMemory, 0, {}},
        {"security", nullptr, TEdit8100Window::kSecurity, 0, {{kLockCaption, "?"}}},
    };
    for (const auto& [name, has, node, button, shows] : windows) {
      if (has != nullptr && !(unit->*has)()) continue;
      SCOPED_TRACE(name);
      // The unit answers the polls again, then falls silent as the window opens.
      silent.bus.ClearFaults();
      reportsAfterIdle();
      silent.bus.AddFault(fault);
      ui::Window* shown = OpenPage(window, node, button);
      EXPECT_EQ(reportsAfterIdle(), 1u);
      ASSERT_TRUE(shown != nullptr && shown->IsCreated());
      std::size_t fields = 0;
      for (const auto& [id, text] : shows) {
        ui::Window& control = ui::test::ControlOf(*shown, id);
        EXPECT_EQ(control.Text(), text) << id;
        if (dynamic_cast<ui::Edit*>(&control) != nullptr) ++fields;
      }
      EXPECT_EQ(FilledFields(*shown).size(), fields);
    }
    EXPECT_EQ(window.Security().Lamp().GetState(), TLEDButton::kOff);
    window.CloseWindow();
    ui::test::PumpMessages();
  }
}

}  // namespace
