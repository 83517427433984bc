#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

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
  EXPECT_TRUE(window->SignalFlow().IsCreated());
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

// A unit that stops answering part way through is reported, once, and the window stays usable.
TEST_F(EditWindowTest, FactoryInitializeReportsAUnitThatStopsAnswering) {
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  IQDevice8100* unit = OnlyUnit(bus);
  TEdit8100Window window(nullptr, *unit);
  window.Create();
  bus.TakeTrace();
  bus.bus.AddFault(sim::Fault::Silence().ForObject(1));
  test8100::ReportedErrors().clear();
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerMessageBox(ui::kIdOk);
    RunNode(window, TEdit8100Window::kFactoryInitialize);
  }
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  bus.bus.ClearFaults();
  RunNode(window, TEdit8100Window::kStrobeLeds);
  EXPECT_THAT(bus.TakeTrace(), testing::Contains("W08 01"));
}

}  // namespace
