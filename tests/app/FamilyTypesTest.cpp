// The program's own device types against simulated units of the newer family: what a user
// without hardware sees in the demo.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "bus/ComMonitor.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "family3300/IQDevice3300.h"
#include "family3300/TEdit3300Window.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/family3300/Family3300Unit.h"
#include "sim/family8100/Family8100Unit.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;
using f8100res::kMemorySelectDialog;

constexpr std::size_t kNewerFamilyTypes = 4;  // registered last

class FamilyTypesTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
  }
};

TEST_F(FamilyTypesTest, EveryFamilyIsRegisteredInOrderWithIconsAndSpecialCommands) {
  sim::family3300::AddFamily3300Unit(bus, {.address = 3});
  sim::family8100::AddFamily8100Unit(bus, {.model = sim::family8100::Model::kX, .address = 5});
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = 2});
  Start();
  std::vector<std::string> names;
  for (const IQDeviceType* type : client().Types()) names.push_back(type->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"3300XL", "3300-2XL", "Ordavinex", "Ordavinex+",
                                             "Ordavinex X", "Ordavinex Rune Tide", "Ordavinex 22",
                                             "Ordavinex 24", "Ordavinex 26", "Ordavinex 48"}));
  // Each model has an icon of its own, not the default icon that pads the type slots.
  const ui::ImageList& images = client().Images();
  const QImage defaultIcon = images.Image(static_cast<int>(names.size()));
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    EXPECT_NE(images.Image(i), defaultIcon) << names[i];
    for (int j = 0; j < i; ++j)
      EXPECT_NE(images.Image(i), images.Image(j)) << names[i] << " looks like " << names[j];
  }
  // The older families' large icons are not the newer family's picture, tree strip or the
  // shell's own picture, which once shared their numbers.
  const std::vector<IQDeviceType*>& types = client().Types();
  for (std::size_t i = 0; i < types.size() - kNewerFamilyTypes; ++i) {
    const auto large = types[i]->CreateIcon();
    if (!large) continue;
    for (const QImage& other :
         {ui::Resources::Image(kOrdavinexIcon), ui::Resources::Image(ovres::kTreeImages),
          ui::Resources::Image(kUnitPicture)}) {
      EXPECT_NE(ui::Resources::Image(*large), other) << names[i];
    }
  }
  // A unit's item shows its type's icon: the image index is the type's place in the order.
  RollCall();
  TDeviceListWindow& units = client().BusList();
  for (int item = 0; item < units.Count(); ++item) {
    const IQDevice* unit = DeviceOf(units, item);
    const auto type = std::ranges::find(types, unit->GetType());
    ASSERT_NE(type, types.end());
    EXPECT_EQ(units.ItemImage(item), type - types.begin()) << unit->GetTypeName();
  }
  ui::Menu& devices = *frame().MenuBar()->SubMenu(1);
  // The older family's four types announce their one command once, before the newer family's.
  EXPECT_EQ(devices.ItemText(kCmFirstSpecial), "Auto-address Ordavinex units");
  EXPECT_EQ(devices.ItemText(kCmFirstSpecial + 1), "Trigger Ordavinex Logic");
  EXPECT_EQ(devices.ItemId(5), 0) << "two special items, then the separator";
  // The type chooser's OK with no change makes the first type's device.
  ui::PromptScript script(FailTest);
  script.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdOk); });
  ui::Application::Instance()->RouteCommand(kCmNewVirtual, &client());
  EXPECT_EQ(DeviceOf(client().VirtualList(), 0)->GetTypeName(), "3300XL");
  EXPECT_EQ(client().VirtualList().ItemImage(0), 0);
}

TEST_F(FamilyTypesTest, ARollCallListsTheSimulatedUnitsUnderTheirModels) {
  using sim::familyov::Model;
  sim::familyov::AddFamilyOvUnit(bus,
                                 {.model = Model::k8126, .address = 1, .unitName = "Stage left"});
  sim::familyov::AddFamilyOvUnit(bus,
                                 {.model = Model::k8148, .address = 2, .unitName = "Main mix"});
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8124, .address = 3, .unitName = "Fills"});
  sim::familyov::AddFamilyOvUnit(bus,
                                 {.model = Model::k8122, .address = 4, .unitName = "Monitors"});
  sim::family8100::AddFamily8100Unit(
      bus, {.model = sim::family8100::Model::kX, .address = 5, .unitName = "Sub"});
  Start();
  EXPECT_EQ(RollCall().text, "5 devices found.");
  std::vector<std::string> typeNames, itemTexts;
  for (int i = 0; i < client().BusList().Count(); ++i) {
    typeNames.push_back(DeviceOf(client().BusList(), i)->GetTypeName());
    itemTexts.push_back(client().BusList().ItemText(i));
  }
  EXPECT_EQ(typeNames, (std::vector<std::string>{"Ordavinex X", "Ordavinex 22", "Ordavinex 24",
                                                 "Ordavinex 48", "Ordavinex 26"}));
  // Each item names its unit as the unit itself reports it.
  EXPECT_EQ(itemTexts, (std::vector<std::string>{"(5) Sub", "(4) Monitors", "(3) Fills",
                                                 "(2) Main mix", "(1) Stage left"}));
}

TEST_F(FamilyTypesTest, AUnitDroppedOnFileSavesItsSettingsAndFileDroppedOnItLoadsThem) {
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8122, .address = 4});
  Start();
  RollCall();
  TDeviceListWindow& units = client().BusList();
  TDeviceListWindow& virtuals = client().VirtualList();
  const QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/unit.ov2";
  ui::PromptScript script(FailTest);
  script.AnswerSaveFile(path).AnswerOpenFile(path);
  Drag(units, 0, ItemPoint(virtuals, ItemNamed(virtuals, "File")));
  std::ostringstream saved;
  saved << std::ifstream(path).rdbuf();
  EXPECT_NE(saved.str().find("[Memory Dump 15]"), std::string::npos);
  Drag(virtuals, ItemNamed(virtuals, "File"), ItemPoint(units, 0));
  EXPECT_EQ(script.Seen().size(), 2u) << "both went through without a message";
  EXPECT_FALSE(TheDeviceManager.IsInUse(DeviceOf(units, 0)));
}

TEST_F(FamilyTypesTest, AnOlderFamilyUnitDroppedOnFileSavesItsSettings) {
  sim::family8100::AddFamily8100Unit(
      bus, {.model = sim::family8100::Model::kPlus, .address = 6, .unitName = "Fill"});
  Start();
  RollCall();
  const QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/unit.ov0";
  ui::PromptScript script(FailTest);
  script.AnswerSaveFile(path).RunDialog(kMemorySelectDialog, [](ui::Dialog& d) {
    // Memory 2's box has the number of the main window's Roll Call button, and stays the dialog's.
    ui::test::Click(d, f8100res::kFirstMemoryCheck + 1);
    ui::test::Click(d, ui::kIdOk);
  });
  TDeviceListWindow& virtuals = client().VirtualList();
  Drag(client().BusList(), 0, ItemPoint(virtuals, ItemNamed(virtuals, "File")));
  std::ostringstream saved;
  saved << std::ifstream(path).rdbuf();
  EXPECT_NE(saved.str().find("[Unit Name]\n\"Fill\" "), std::string::npos);
  EXPECT_NE(saved.str().find("[Delay]"), std::string::npos);
}

TEST_F(FamilyTypesTest, EnterOrADoubleClickOpensAUnitsWindowOnceAndClosingGivesTheUnitBack) {
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = 2});
  Start();
  RollCall();
  ui::PromptScript newScript(FailTest);
  newScript.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) {
    ui::test::Click(d, ui::kIdOk);  // the first type, a graphic equaliser
  });
  ui::Application::Instance()->RouteCommand(kCmNewVirtual, &client());
  newScript.AnswerMessageBox(ui::kIdOk);  // an offline copy of the bus unit
  TDeviceListWindow& virtuals = client().VirtualList();
  Drag(client().BusList(), 0, EmptyPoint(virtuals));
  int virtualItem = 0;
  while (virtualItem < virtuals.Count() &&
         dynamic_cast<namespaceOV::IQDeviceOrdavinex*>(DeviceOf(virtuals, virtualItem)) == nullptr)
    ++virtualItem;
  for (TDeviceListWindow* list : {&client().BusList(), &virtuals}) {
    const int item = list == &virtuals ? virtualItem : 0;
    auto* unit = dynamic_cast<namespaceOV::IQDeviceOrdavinex*>(DeviceOf(*list, item));
    ASSERT_NE(unit, nullptr);
    list->SelectItem(item);
    list->SetFocus();
    ui::test::PumpMessages();
    // Enter on a bus unit, a double click on a virtual one.
    if (list == &virtuals) {
      client().SendNotify({list->Id(), ui::Notify::DoubleClick, list, item});
    } else {
      ui::test::PressKey(*list, Qt::Key_Return);
    }
    ui::Window* window = unit->EditWindow();
    ASSERT_NE(window, nullptr) << unit->GetTypeName();
    EXPECT_TRUE(unit->IsOpen());

    // Opened again, the window comes to the top: no second window, no beep.
    const int beeps = ui::BeepCount();
    client().SendNotify({list->Id(), ui::Notify::DoubleClick, list, item});
    EXPECT_EQ(unit->EditWindow(), window);
    EXPECT_EQ(ui::BeepCount(), beeps);

    window->CloseWindow();
    ui::test::PumpMessages();
    EXPECT_FALSE(unit->IsOpen());
    EXPECT_FALSE(TheDeviceManager.IsInUse(unit));
  }
  // A window left open goes with the program.
  client().BusList().SelectItem(0);
  client().SendNotify({kBusList, ui::Notify::DoubleClick, &client().BusList(), 0});
  EXPECT_TRUE(DeviceOf(client().BusList(), 0)->IsOpen());
}

TEST_F(FamilyTypesTest, ADoubleClickOpensAGraphicEqualisersWindowAndClosingGivesTheUnitBack) {
  sim::family3300::AddFamily3300Unit(bus, {.address = 3, .unitName = "Foyer"});
  Start();
  RollCall();
  auto* unit = dynamic_cast<namespace3300::IQDevice3300*>(DeviceOf(client().BusList(), 0));
  ASSERT_NE(unit, nullptr);
  client().BusList().SelectItem(0);
  client().SendNotify({kBusList, ui::Notify::DoubleClick, &client().BusList(), 0});
  ui::Window* window = unit->EditWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Text(), "3 (3300-2XL) Foyer");
  EXPECT_FALSE(window->Widget()->windowIcon().isNull());
  EXPECT_TRUE(unit->IsOpen());
  window->CloseWindow();
  ui::test::PumpMessages();
  EXPECT_FALSE(unit->IsOpen());
  EXPECT_FALSE(TheDeviceManager.IsInUse(unit));
}

template <typename Device>
ui::Window* EditWindowOf(IQDevice* unit) {
  auto* device = dynamic_cast<Device*>(unit);
  return device != nullptr ? device->EditWindow() : nullptr;
}

// Opening a unit from the device list is one command, whatever its family: the reads of its
// window and of the panes it opens tell of a silent unit once, and the polls the window then
// starts rest and back off without telling of it again.
TEST_F(FamilyTypesTest, OpeningASilentUnitFromTheDeviceListGivesOneReport) {
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = 1});
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8126, .address = 2});
  sim::family8100::AddFamily8100Unit(bus, {.model = sim::family8100::Model::kX, .address = 3});
  sim::family3300::AddFamily3300Unit(bus, {.address = 4});
  Start();
  RollCall();
  struct Row {
    const char* name;
    int address;
    bool byEnter;
    ui::Window* (*window)(IQDevice*);
  };
  const Row rows[] = {
      {"Ordavinex 48", 1, false, EditWindowOf<namespaceOV::IQDeviceOrdavinex>},
      {"Ordavinex 26", 2, true, EditWindowOf<namespaceOV::IQDeviceOrdavinex>},
      {"Ordavinex X", 3, false, EditWindowOf<namespace8100::IQDevice8100>},
      {"3300-2XL", 4, true, EditWindowOf<namespace3300::IQDevice3300>},
  };
  TDeviceListWindow& list = client().BusList();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int item = 0;
    while (item < list.Count() && DeviceOf(list, item)->GetInfo().address != row.address) ++item;
    ASSERT_LT(item, list.Count());
    IQDevice* unit = DeviceOf(list, item);
    bus.AddFault(sim::Fault::Silence().ForUnit(row.address));
    {
      ui::PromptScript script(FailTest);
      script.RunDialog(kErrorDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdCancel); });
      list.SelectItem(item);
      if (row.byEnter) {
        list.SetFocus();
        ui::test::PumpMessages();
        ui::test::PressKey(list, Qt::Key_Return);
      } else {
        client().SendNotify({.controlId = kBusList,
                             .code = ui::Notify::DoubleClick,
                             .control = &list,
                             .item = item});
      }
      ASSERT_NE(row.window(unit), nullptr);
      // The window's polls, through pauses that grow to the longest, tell nothing more.
      for (int pause = 0; pause < 2; ++pause) {
        ui::test::PumpIdle(20);
        PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      }
      EXPECT_EQ(script.Seen().size(), 1u);
    }
    bus.ClearFaults();
    row.window(unit)->CloseWindow();
    ui::test::PumpMessages();
    EXPECT_FALSE(TheDeviceManager.IsInUse(unit));
  }
}

// What a window opened on a silent unit shows while the unit is silent, and, once it answers,
// that every node, pane button and Windows-menu entry opens its window. Each family's own.
void NewerWhileSilent(ui::Window& window, ui::PromptScript& script) {
  auto& edit = dynamic_cast<namespaceOV::TEditOVWindow&>(window);
  EXPECT_EQ(edit.NodeList().size(), 1u) << "the summary alone";
  script.RunDialog(kErrorDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdCancel); });
  edit.OpenChildWindow(edit.Ids().summary);
  auto* summary = dynamic_cast<namespaceOV::TSummaryWindow*>(edit.ChildWindow(edit.Ids().summary));
  ASSERT_NE(summary, nullptr);
  // A button whose window cannot open yet says why.
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(summary->Panes().Input(0), ovsummary_res::kLevelButton);
  EXPECT_EQ(script.Seen().size(), 3u);
}

void NewerAnswered(ui::Window& window, const std::string& name) {
  using namespace namespaceOV;
  auto& edit = dynamic_cast<TEditOVWindow&>(window);
  const NodeIds& ids = edit.Ids();
  auto& summary = dynamic_cast<TSummaryWindow&>(*edit.ChildWindow(ids.summary));
  EXPECT_NE(summary.Text().find(name), std::string::npos) << summary.Text();
  EXPECT_NE(ids.timer, NodeIds::kAbsent);
  if (dynamic_cast<IQDevice8148*>(&edit.Device()) != nullptr) {
    EXPECT_NE(ids.compressors, NodeIds::kAbsent);
    ui::test::Click(summary.Panes().Input(0), ovsummary_res::kCompressorsButton);
    EXPECT_NE(edit.ChildWindow(ids.compressors), nullptr);
  }
  ui::test::GrabPng(edit, OutputPath("recovered-" + name + ".png"));
  ui::test::GrabPng(summary, OutputPath("recovered-" + name + "-summary.png"));
  ui::test::Click(summary.Panes().Input(0), ovsummary_res::kLevelButton);
  ui::test::Click(summary.Panes().Output(0), ovsummary_res::kFiltersButton);
  ui::Application::Instance()->RouteCommand(ovsummary_res::kCmMemory, &summary);
  for (const int id : {ids.inputLevel, edit.ChannelNodeId(edit.Device().firstOutput), ids.memory}) {
    EXPECT_NE(edit.ChildWindow(id), nullptr) << id;
  }
  for (const TNodeInfo* node : edit.NodeList()) {
    if (node->command != &TEditOVWindow::OpenChildWindow) continue;
    edit.OpenChildWindow(node->id);
    EXPECT_NE(edit.ChildWindow(node->id), nullptr) << node->text;
  }
}

void OlderAnswered(ui::Window& window, const std::string&) {
  using namespace8100::TEdit8100Window;
  auto& edit = dynamic_cast<TEdit8100Window&>(window);
  ui::TreeView& tree = edit.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstChild({})); item;
       item = tree.NextSibling(item)) {
    const int node = static_cast<int>(tree.ItemData(item));
    if (node != TEdit8100Window::kSignalFlow && node != TEdit8100Window::kMemory &&
        node != TEdit8100Window::kSecurity) {
      continue;
    }
    tree.Select(item);
    edit.RunSelectedNode();
  }
  EXPECT_TRUE(edit.SignalFlow().IsCreated());
  EXPECT_TRUE(edit.Memory().IsCreated());
  EXPECT_TRUE(edit.Security().IsCreated());
}

// The equaliser's switches show no state until they are read.
void EqualiserSwitches(ui::Window& window, bool known) {
  auto& edit = dynamic_cast<namespace3300::TEdit3300Window&>(window);
  for (const int code : {namespace3300::kItemEqInA, namespace3300::kItemMuteA,
                         namespace3300::kItemEqInB, namespace3300::kItemMuteB}) {
    const ui::TreeItem item = edit.Item(code);
    if (!item) continue;
    const std::string text = edit.Tree().ItemText(item);
    EXPECT_EQ(text.ends_with(controls::kUnknownValue), !known) << text;
  }
}

void EqualiserAnswered(ui::Window& window, const std::string&) {
  using namespace namespace3300;
  EqualiserSwitches(window, true);
  auto& edit = dynamic_cast<TEdit3300Window&>(window);
  ui::test::GrabPng(edit, OutputPath("recovered-" + window.Text() + ".png"));
  for (const int code : {kItemEqA, kItemLpfA, kItemHpfA, kItemGainA, kItemEqB, kItemLpfB, kItemHpfB,
                         kItemGainB, kItemDspi, kItemMemory, kItemSecurity}) {
    if (edit.Item(code)) edit.RunItem(code);
  }
  const int channels = edit.Item(kItemEqB) ? 2 : 1;
  for (int c = 0; c < channels; ++c) {
    for (ui::Window* dialog : std::initializer_list<ui::Window*>{edit.Equaliser(c), edit.Lpf(c),
                                                                 edit.Hpf(c), edit.Gain(c)}) {
      EXPECT_TRUE(dialog->IsCreated()) << dialog->Text();
    }
  }
  EXPECT_TRUE(edit.Dspi()->IsCreated() && edit.Memory()->IsCreated() &&
              edit.Security()->IsCreated());
}

// A window opened on a silent unit is made whole at the first idle pass that finds the unit
// answering, whatever its family and model: its tree, its captions with the unit's name, and
// every node, button and menu entry opening its window.
TEST_F(FamilyTypesTest, AWindowOpenedOnASilentUnitIsMadeWholeOnceTheUnitAnswers) {
  namespace ov = sim::familyov;
  namespace older = sim::family8100;
  ov::AddFamilyOvUnit(
      bus,
      {.model = ov::Model::k8148, .address = 1, .compressorOption = true, .unitName = "Main mix"});
  ov::AddFamilyOvUnit(bus, {.model = ov::Model::k8126, .address = 2, .unitName = "Stage"});
  ov::AddFamilyOvUnit(bus, {.model = ov::Model::k8122, .address = 3, .unitName = "Fills"});
  older::AddFamily8100Unit(bus, {.model = older::Model::kBase, .address = 4, .unitName = "Sub"});
  older::AddFamily8100Unit(bus, {.model = older::Model::kPlus, .address = 5, .unitName = "Sub+"});
  older::AddFamily8100Unit(bus, {.model = older::Model::kX, .address = 6, .unitName = "SubX"});
  older::AddFamily8100Unit(bus,
                           {.model = older::Model::kRuneTide, .address = 7, .unitName = "Tide"});
  using sim::family3300::Model;
  sim::family3300::AddFamily3300Unit(bus,
                                     {.model = Model::k3300_2XL, .address = 8, .unitName = "Hall"});
  sim::family3300::AddFamily3300Unit(bus,
                                     {.model = Model::k3300XL, .address = 9, .unitName = "Foyer"});
  Start();
  RollCall();
  const auto eqSilent = [](ui::Window& w, ui::PromptScript&) { EqualiserSwitches(w, false); };
  const auto nothing = [](ui::Window&, ui::PromptScript&) {};
  struct Row {
    int address;
    std::string name;
    void (*whileSilent)(ui::Window&, ui::PromptScript&);
    void (*answered)(ui::Window&, const std::string&);
    ui::Window* (*window)(IQDevice*);
  };
  const Row rows[] = {
      {1, "Main mix", NewerWhileSilent, NewerAnswered,
       EditWindowOf<namespaceOV::IQDeviceOrdavinex>},
      {2, "Stage", NewerWhileSilent, NewerAnswered, EditWindowOf<namespaceOV::IQDeviceOrdavinex>},
      {3, "Fills", NewerWhileSilent, NewerAnswered, EditWindowOf<namespaceOV::IQDeviceOrdavinex>},
      {4, "Sub", nothing, OlderAnswered, EditWindowOf<namespace8100::IQDevice8100>},
      {5, "Sub+", nothing, OlderAnswered, EditWindowOf<namespace8100::IQDevice8100>},
      {6, "SubX", nothing, OlderAnswered, EditWindowOf<namespace8100::IQDevice8100>},
      {7, "Tide", nothing, OlderAnswered, EditWindowOf<namespace8100::IQDevice8100>},
      {8, "Hall", eqSilent, EqualiserAnswered, EditWindowOf<namespace3300::IQDevice3300>},
      {9, "Foyer", eqSilent, EqualiserAnswered, EditWindowOf<namespace3300::IQDevice3300>},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    bus.AddFault(sim::Fault::Silence().ForUnit(row.address));
    ui::PromptScript script(FailTest);
    script.RunDialog(kErrorDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdCancel); });
    ui::Window* window = row.window(&OpenBusUnit(row.address));
    ASSERT_NE(window, nullptr);
    row.whileSilent(*window, script);
    bus.ClearFaults();
    for (int round = 0; round < 10 && window->Text().find(row.name) == std::string::npos; ++round) {
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(20);
    }
    EXPECT_NE(window->Text().find(row.name), std::string::npos) << window->Text();
    row.answered(*window, row.name);
    window->CloseWindow();
    ui::test::PumpMessages();
  }
}

// Notes for every packet the program sends whether the wait cursor shows.
class CursorWhileSending : public ComMonitor {
 public:
  void LogSentPacket(const UCodePacket&) override { shown.push_back(ui::WaitCursor::Active()); }
  void LogReceivedPacket(const UCodePacket&) override {}
  void LogSentBytes(std::span<const uint8_t>) override {}
  void LogReceivedBytes(std::span<const uint8_t>) override {}
  void BeginMask() override {}
  void EndMask() override {}
  std::vector<bool> shown;
};

TEST_F(FamilyTypesTest, AUnitThatIgnoresItsAcknowledgementEndsTheRollCallAtOnceWithAConflict) {
  using sim::familyov::Model;
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8126, .address = 1, .unitName = "Stage"});
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8148, .address = 5});
  bus.AddFault(sim::Fault::AcknowledgementIgnored().ForUnit(5));
  Start();
  CursorWhileSending cursor;
  TheDeviceManager.GetEncoder().SetMonitor(&cursor);
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(kCmRollCall, &client());
  TheDeviceManager.GetEncoder().SetMonitor(nullptr);

  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[0].text,
            "Address conflicts detected.  Please correct and perform roll call again.");
  EXPECT_EQ(script.Seen()[1].text, "2 devices found.");
  EXPECT_EQ(Items(client().BusList()), (std::vector<std::string>{"(5) ", "(1) Stage"}));
  int queries = 0;
  for (const sim::TrafficEntry& entry : bus.Traffic()) {
    if (entry.direction == sim::Direction::kToUnits && entry.bytes.size() > 5 &&
        entry.bytes[0] == 0xFC && entry.bytes[4] == 0x81) {
      ++queries;
    }
  }
  EXPECT_EQ(queries, 4) << "one for the first unit, then three answers of the other";
  EXPECT_FALSE(cursor.shown.empty());
  EXPECT_EQ(std::count(cursor.shown.begin(), cursor.shown.end(), false), 0)
      << "the wait cursor shows while the units are polled and their names read";
  EXPECT_FALSE(ui::WaitCursor::Active());
}

TEST_F(FamilyTypesTest, BusFailuresOfTheFamilyAndOfTheControlsShowTheErrorDialogs) {
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = 2});
  Start();
  RollCall();
  auto* unit = dynamic_cast<namespaceOV::IQDeviceOrdavinex*>(DeviceOf(client().BusList(), 0));
  ASSERT_NE(unit, nullptr);
  bus.AddFault(sim::Fault::Silence().ForUnit(2));
  std::vector<std::string> descriptions;
  const auto read = [&](ui::Dialog& d) {
    descriptions.push_back(ui::test::ControlOf(d, kErrorDescription).Text());
    ui::test::Click(d, ui::kIdCancel);
  };
  ui::PromptScript script(FailTest);
  for (int i = 0; i < 4; ++i) script.RunDialog(kErrorDialog, read);
  script.RunDialog(kErrorObjectDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdOk); });
  unit->FitChannelDelay(10, 0);
  unit->FitCrosspointDelay(10);
  unit->ReadTimerEvents();
  unit->GetGroupLevelRange();
  controls::ReportDeviceError(ErrorObject(3), unit, 3);
  EXPECT_EQ(script.Seen().size(), 5u);
  EXPECT_EQ(descriptions, std::vector<std::string>(4, ReadTimeout().GetText()));
}

}  // namespace
}  // namespace apptest
