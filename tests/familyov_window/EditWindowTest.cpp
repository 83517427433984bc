// The unit edit window against the simulated bus: the tree of each model, the lock, the child
// windows it opens and remembers, the filter propagation to linked channels, and closing.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/ClientWindow.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/ChildWindowFactory.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/FamilyOvCommandIds.h"
#include "resources/FamilyOvIds.h"
#include "sim/Fault.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using sim::familyov::Model;

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_window_tests");

constexpr int kClockPresentObject = 0x3E;
constexpr int kCompressorOptionObject = 0x4C;
constexpr int kChannelNameObject = 0x30;

// A child window that keeps the codes of the records it receives.
class RecordingWindow : public OVChild<ui::Frame> {
 public:
  RecordingWindow(TEditOVWindow& edit, const std::string& title)
      : OVChild<ui::Frame>(edit, title, std::string(), nullptr) {
    SetRect({400, 100, 600, 250});
  }
  void Notify(NotifyRecord* record) override {
    received.push_back(*record);
    TDataWindow::Notify(record);
  }
  std::vector<NotifyRecord> received;
};

// Registers recording windows for the kinds the tests open, and counts what the factory makes.
class Windows {
 public:
  Windows() {
    for (ChildKind kind : {ChildKind::Memory, ChildKind::Security, ChildKind::Logic}) {
      RegisterChildWindow(kind, [this](TEditOVWindow& edit, int) {
        ++made;
        return std::make_unique<RecordingWindow>(edit, "Memory");
      });
    }
  }
  ~Windows() {
    for (ChildKind kind : {ChildKind::Memory, ChildKind::Security, ChildKind::Logic}) {
      RegisterChildWindow(kind, nullptr);
    }
  }
  int made = 0;
};

// Every node below the title: its depth, id, text and image, one line each.
std::vector<std::string> TreeLines(TEditOVWindow& window) {
  std::vector<std::string> lines;
  for (const TNodeInfo* node : window.NodeList()) {
    int depth = 0;
    for (ui::TreeItem i = window.Tree().ParentOf(node->item); i != window.TitleItem();
         i = window.Tree().ParentOf(i)) {
      ++depth;
    }
    lines.push_back(std::string(2 * depth, ' ') + std::to_string(node->id) + " " + node->text +
                    " " + std::to_string(window.Tree().ItemImage(node->item)));
  }
  return lines;
}

// Selects the node and double-clicks it, as the user does.
void DoubleClick(TEditOVWindow& window, int id) {
  window.Tree().Select(window.FindNodeInfo(id)->item);
  window.RunSelectedNode();
}

class EditWindowTest : public testing::Test {
 protected:
  EditWindowTest() {
    bus.port.SetRetries(0);
    unit8148 = bus.AddModelUnit(Model::k8148, 5);
    bus.StoreByte(unit8148, kCompressorOptionObject, 0, 1);
    bus.StoreByte(unit8148, kClockPresentObject, 0, 1);
    for (int c = 0; c < 12; ++c) StoreName(c, c == 0 ? "Left Main 1" : ChannelLabel(c));
    const auto found = bus.RollCall({&type8148});
    device = &dynamic_cast<IQDevice8148&>(*found.at(0));
    device->autoOpenSummary = 0;
    ovtest::ReportedErrors().clear();
  }

  static std::string ChannelLabel(int c) {
    return c < 4 ? std::to_string(c + 1) : std::string(1, static_cast<char>('A' + c - 4));
  }
  void StoreName(int channel, const std::string& name) {
    std::vector<uint8_t> text(name.begin(), name.end());
    text.resize(12);
    bus.bus.StoreElement(unit8148, kChannelNameObject, channel, text);
  }

  std::unique_ptr<TEdit8148Window> Open() {
    auto window = std::make_unique<TEdit8148Window>(nullptr, *device);
    window->Create();
    window->Show();
    return window;
  }

  // The unit locks at once and unlocks with its password ("" until one is set).
  void SetLocked(bool locked) {
    if (locked) {
      gLockedObject.Write(*device, true);
    } else {
      gPasswordObject.Write(*device, "");
    }
  }

  ovtest::FamilyBus bus;
  IQ8148Type type8148;
  int unit8148 = 0;
  IQDevice8148* device = nullptr;
};

TEST_F(EditWindowTest, An8148OnTheBusHasEveryNodeInOrder) {
  auto window = Open();
  EXPECT_EQ(window->Tree().ItemText(window->TitleItem()), "Ordavinex 48");
  const std::vector<std::string> expected = {"0 Unit summary 0",
                                             "1 Filters 0",
                                             "  2 Left Main 1 0",
                                             "  3 2 0",
                                             "  4 3 0",
                                             "  5 4 0",
                                             "  6 A 0",
                                             "  7 B 0",
                                             "  8 C 0",
                                             "  9 D 0",
                                             "  10 E 0",
                                             "  11 F 0",
                                             "  12 G 0",
                                             "  13 H 0",
                                             "  14 Linking 0",
                                             "15 Crossovers 0",
                                             "16 Inputs 0",
                                             "  17 Level 0",
                                             "  18 Delay 0",
                                             "  19 Compressors 0",
                                             "  20 Names 0",
                                             "21 Outputs 0",
                                             "  22 Level 0",
                                             "  23 Delay 0",
                                             "  24 Limiting 0",
                                             "  25 Names 0",
                                             "26 In -> Out Mixing 0",
                                             "27 Advanced Mixing 0",
                                             "28 Pink noise 7",
                                             "29 DSP Capacity 7",
                                             "30 Security 7",
                                             "31 Memory 7",
                                             "32 Logic 7",
                                             "33 Timer 7",
                                             "34 Unit Name 7",
                                             "35 Special 7",
                                             "  36 Reflash 7",
                                             "  37 Strobe LEDs 7",
                                             "  38 Factory Init 7",
                                             "  39 Address 7",
                                             "  40 Firmware Version 7",
                                             "  41 Serial Number 7"};
  EXPECT_EQ(TreeLines(*window), expected);
  const NodeIds& ids = window->Ids();
  EXPECT_EQ((std::vector{ids.firstChannel, ids.linking, ids.compressors, ids.advancedMixer,
                         ids.security, ids.memory, ids.timer}),
            (std::vector{2, 14, 19, 27, 30, 31, 33}));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());

  // Without the compressor option and the clock, Names follows Delay and there is no Timer.
  window.reset();
  bus.StoreByte(unit8148, kCompressorOptionObject, 0, 0);
  bus.StoreByte(unit8148, kClockPresentObject, 0, 0);
  device->InvalidateValues();
  window = Open();
  const auto lines = TreeLines(*window);
  EXPECT_EQ(lines.at(19), "  19 Names 0");
  EXPECT_EQ(lines.at(31), "31 Logic 7");
  EXPECT_EQ(lines.at(32), "32 Unit Name 7");
  EXPECT_EQ(KindOfNode(window->Ids(), device->channels, 33), ChildKind::None);
}

TEST_F(EditWindowTest, AVirtualUnitHasNoSecurityNameOrSpecialCommands) {
  auto virtual8126 = ovtest::NewVirtual<IQDevice8126>(6);
  virtual8126->autoOpenSummary = 0;
  TEdit8126Window window(nullptr, *virtual8126);
  window.Create();
  EXPECT_EQ(window.Tree().ItemText(window.TitleItem()), "Ordavinex 26");
  const auto lines = TreeLines(window);
  ASSERT_EQ(lines.size(), 27u);
  EXPECT_EQ(lines.at(9), "  9 F 0");  // 2 inputs, 6 outputs: channels at ids 2 to 9
  EXPECT_EQ(lines.at(14), "  14 Delay 0");
  EXPECT_EQ(lines.at(15), "  15 Names 0");
  EXPECT_EQ(lines.at(24), "24 Memory 7");
  EXPECT_EQ(lines.back(), "26 Timer 7");
  EXPECT_EQ(window.Ids().security, -2);
  EXPECT_EQ(window.Ids().advancedMixer, NodeIds::kAbsent);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(EditWindowTest, TheChannelItemsOfAThreeInputModelSkipToItsFirstOutput) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(7);  // outputs at channels 4..10
  unit->autoOpenSummary = 0;
  const auto name = [&](int channel, const std::string& text) {
    gChannelNameObject.SetElement(channel);
    gChannelNameObject.Write(*unit, text);
  };
  for (const int c : unit->ChannelIndexes()) name(c, "Ch" + std::to_string(c));
  TEdit8148Window window(nullptr, *unit);
  window.Create();
  const int first = window.Ids().firstChannel;
  const auto item = [&](int k) { return window.FindNodeInfo(first + k)->text; };
  std::vector<std::string> items;
  for (int k = 0; k < unit->channels; ++k) items.push_back(item(k));
  EXPECT_EQ(items, (std::vector<std::string>{"Ch0", "Ch1", "Ch2", "Ch4", "Ch5", "Ch6", "Ch7", "Ch8",
                                             "Ch9", "Ch10"}));
  // Renames reach the last output's item, one by one and all at once.
  name(10, "Sub");
  NotifyRecord renamed{ChannelRenamed, 10, 0, nullptr};
  window.Notify(&renamed);
  EXPECT_EQ(item(9), "Sub");
  name(4, "Main");
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  window.Notify(&refresh);
  EXPECT_EQ(item(3), "Main");

  // The last item opens the filters of the last output.
  int opened = -1;
  RegisterChildWindow(ChildKind::Filters, [&](TEditOVWindow& edit, int channel) {
    opened = channel;
    return std::make_unique<RecordingWindow>(edit, "Filters");
  });
  DoubleClick(window, first + 9);
  RegisterChildWindow(ChildKind::Filters, nullptr);
  EXPECT_EQ(opened, 10);
}

TEST_F(EditWindowTest, WindowsOpenOncePerNodeAndReopenWhereTheyClosed) {
  Windows windows;
  auto window = Open();
  const int memory = window->Ids().memory;
  DoubleClick(*window, memory);
  DoubleClick(*window, memory);
  EXPECT_EQ(windows.made, 1);
  auto* child = dynamic_cast<RecordingWindow*>(window->ChildWindow(memory));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->kind, memory);
  EXPECT_EQ(child->Text(), "Memory--" + device->GetDisplayName());
  EXPECT_TRUE(child->IsVisible());

  // The user moves it and closes it; it comes back there. Logic does not remember its place.
  const ui::Rect moved{250, 300, 480, 420};
  child->SetRect(moved);
  const ui::Rect closedAt = child->WindowRect();
  child->CloseWindow(ui::kIdCancel);
  EXPECT_EQ(window->ChildWindow(memory), nullptr);
  EXPECT_EQ(window->FindNodeInfo(memory)->window, nullptr);
  ui::test::PumpMessages();
  DoubleClick(*window, memory);
  EXPECT_EQ(window->ChildWindow(memory)->WindowRect(), closedAt);

  const int logic = window->Ids().logic;
  DoubleClick(*window, logic);
  const ui::Rect logicDefault = window->ChildWindow(logic)->WindowRect();
  window->ChildWindow(logic)->SetRect(moved);
  window->ChildWindow(logic)->CloseWindow(ui::kIdCancel);
  DoubleClick(*window, logic);
  EXPECT_EQ(window->ChildWindow(logic)->WindowRect(), logicDefault);

  // A folder or a node whose window is not there yet opens nothing.
  DoubleClick(*window, 1);
  DoubleClick(*window, window->Ids().crossovers);
  EXPECT_EQ(windows.made, 4);
}

TEST_F(EditWindowTest, OpeningANodeWhoseWindowIsOpenBringsThatWindowToTheFront) {
  Windows windows;
  auto window = Open();
  const int memory = window->Ids().memory;
  DoubleClick(*window, memory);
  ui::Window& child = *window->ChildWindow(memory);
  for (const bool minimised : {false, true}) {
    SCOPED_TRACE(minimised ? "minimised" : "behind the unit's window");
    if (minimised) child.ShowMinimized();
    window->BringToTop();
    ui::test::PumpMessages();
    ASSERT_EQ(QApplication::activeWindow(), window->Widget());
    DoubleClick(*window, memory);
    // The click on the tree goes on to activate the unit's window after the node has run.
    window->Widget()->activateWindow();
    ui::test::PumpMessages();
    EXPECT_EQ(windows.made, 1);
    EXPECT_FALSE(child.IsMinimized());
    EXPECT_EQ(QApplication::activeWindow(), child.Widget()->window());
  }
}

// The group window inside `window`, or the window itself.
TGroupWindow* GroupIn(ui::Window& window) {
  if (auto* group = dynamic_cast<TGroupWindow*>(&window)) return group;
  for (ui::Window* child : window.Children()) {
    if (TGroupWindow* group = GroupIn(*child)) return group;
  }
  return nullptr;
}

bool ScrollBarShows(const TGroupWindow& group) {
  const auto* area = qobject_cast<const QAbstractScrollArea*>(group.Widget());
  return area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible();
}

TEST_F(EditWindowTest, EveryWindowOfPanesShowsAllItsPanesGrowsNoFurtherAndHasTheModelIcon) {
  auto window = Open();
  const NodeIds& ids = window->Ids();
  // Enter on a node opens it, as a double click does.
  window->Tree().Select(window->FindNodeInfo(ids.inputLevel)->item);
  window->Tree().SetFocus();
  ui::test::PressKey(window->Tree(), Qt::Key_Return);
  ASSERT_NE(window->ChildWindow(ids.inputLevel), nullptr);
  window->ChildWindow(ids.inputLevel)->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  for (const int node : {ids.inputLevel, ids.outputLevel, ids.inputDelay, ids.outputDelay,
                         ids.inputNames, ids.outputNames, ids.limiter, ids.memory, ids.compressors,
                         ids.advancedMixer, ids.linking}) {
    SCOPED_TRACE(window->FindNodeInfo(node)->text);
    DoubleClick(*window, node);
    ui::Window* child = window->ChildWindow(node);
    ASSERT_NE(child, nullptr);
    ui::test::PumpMessages();
    TGroupWindow* group = GroupIn(*child);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(ScrollBarShows(*group));
    const ui::Rect fitted = child->ClientRect();
    child->SetClientSize({fitted.Width() + 300, fitted.Height() + 300});
    ui::test::PumpMessages();
    EXPECT_EQ(child->ClientRect(), fitted);
    // Smaller than its content, it scrolls a twentieth of what shows per line.
    child->SetClientSize({fitted.Width() / 2, fitted.Height() / 2});
    ui::test::PumpMessages();
    EXPECT_TRUE(ScrollBarShows(*group));
    const QWidget* viewport = qobject_cast<QAbstractScrollArea*>(group->Widget())->viewport();
    EXPECT_EQ(group->LineStep(), (ui::Size{viewport->width() / 20, viewport->height() / 20}));
    // An eight-output unit's windows carry its picture too, but for the memory window: its icon
    // goes by the output counts that have one.
    EXPECT_EQ(child->Widget()->windowIcon().isNull(), node == ids.memory);
    child->CloseWindow(ui::kIdCancel);
    ui::test::PumpMessages();
  }
  EXPECT_FALSE(window->Widget()->windowIcon().isNull());
}

TEST_F(EditWindowTest, AFailingNodeIsReportedAndTheWindowStaysUsable) {
  Windows windows;
  RegisterChildWindow(ChildKind::Memory, [](TEditOVWindow&, int) -> std::unique_ptr<ui::Window> {
    throw OrdavinexError("The memory window failed.");
  });
  auto window = Open();
  DoubleClick(*window, window->Ids().memory);
  EXPECT_EQ(ovtest::ReportedErrors(), std::vector<std::string>{"The memory window failed."});
  DoubleClick(*window, window->Ids().logic);
  EXPECT_NE(window->ChildWindow(window->Ids().logic), nullptr);
}

TEST_F(EditWindowTest, AFailedNameReadEndsTheTreeWithItsIdsConsistent) {
  bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(kChannelNameObject).OnOccurrence(3));
  int opened = 0;
  RegisterChildWindow(ChildKind::Filters, [&](TEditOVWindow& edit, int) {
    ++opened;
    return std::make_unique<RecordingWindow>(edit, "Filters");
  });
  auto window = Open();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(TreeLines(*window), std::vector<std::string>{"0 Unit summary 0"});
  const NodeIds ids = window->Ids();
  EXPECT_EQ(ids.summary, 0);
  EXPECT_EQ(ids.firstChannel, NodeIds::kAbsent) << "no channel node until the names are read";
  EXPECT_EQ(ids.linking, NodeIds::kAbsent);
  // The channels' ids name no node, so nothing opens for them, the user hears why, and no record
  // renames another node.
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  for (int c = 0; c < device->channels; ++c) {
    script.AnswerMessageBox(ui::kIdOk);
    window->OpenChildWindow(2 + c);
  }
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(script.Seen().size(), static_cast<std::size_t>(device->channels));
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  window->Notify(&refresh);
  for (int c = 0; c < 12; ++c) {
    NotifyRecord renamed{ChannelRenamed, c, 0, nullptr};
    window->Notify(&renamed);
  }
  EXPECT_EQ(TreeLines(*window), std::vector<std::string>{"0 Unit summary 0"});
  RegisterChildWindow(ChildKind::Filters, nullptr);
}

TEST_F(EditWindowTest, LockingClosesLockableWindowsAndUnlockingRefreshesTheRest) {
  Windows windows;
  auto window = Open();
  const NodeIds ids = window->Ids();
  DoubleClick(*window, ids.memory);
  DoubleClick(*window, ids.security);

  SetLocked(true);
  NotifyRecord lock{LockChanged, 0, 0, nullptr};
  window->Notify(&lock);
  EXPECT_EQ(window->ChildWindow(ids.memory), nullptr);
  ASSERT_NE(window->ChildWindow(ids.security), nullptr);
  const auto lines = TreeLines(*window);
  EXPECT_EQ(lines.at(2), "  2 Left Main 1 6");
  EXPECT_EQ(lines.at(30), "30 Security 7");
  EXPECT_EQ(lines.at(31), "31 Memory 6");
  EXPECT_EQ(lines.at(41), "  41 Serial Number 7");
  const int beeps = ui::BeepCount();
  DoubleClick(*window, ids.memory);
  EXPECT_EQ(ui::BeepCount(), beeps + 1);
  EXPECT_EQ(window->ChildWindow(ids.memory), nullptr);

  SetLocked(false);
  window->Notify(&lock);
  EXPECT_EQ(TreeLines(*window).at(31), "31 Memory 7");
  auto* security = dynamic_cast<RecordingWindow*>(window->ChildWindow(ids.security));
  std::vector<uint32_t> codes;
  // Every channel's name is read again with the rest.
  for (const NotifyRecord& r : security->received) {
    if (r.code != ChannelRenamed) codes.push_back(r.code);
  }
  EXPECT_EQ(codes, (std::vector<uint32_t>{LockChanged, FilterSetChanged, RefreshAll, LockChanged}));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// A lock the unit did not give after it changed is neither locked nor free: the lockable nodes show
// neither image and their windows stay, until the unit answers and says.
TEST_F(EditWindowTest, ALockASilentUnitDoesNotGiveShowsNeitherWayUntilItAnswers) {
  Windows windows;
  auto window = Open();
  const NodeIds ids = window->Ids();
  DoubleClick(*window, ids.memory);
  SetLocked(true);
  bus.bus.AddFault(sim::Fault::Unheard());
  NotifyRecord lock{LockChanged, 0, 0, nullptr};
  window->Notify(&lock);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(TreeLines(*window).at(31), "31 Memory -1");
  EXPECT_EQ(TreeLines(*window).at(30), "30 Security 7");
  EXPECT_NE(window->ChildWindow(ids.memory), nullptr);
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(20);
  ui::test::RestIdle();
  EXPECT_EQ(TreeLines(*window).at(31), "31 Memory 6");
  EXPECT_EQ(window->ChildWindow(ids.memory), nullptr);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// An opening cut short at its last read, of the lock, is told once; the summary the user has open
// with the unit opens once the unit answers.
TEST_F(EditWindowTest, AnOpeningCutShortAtItsLockReadIsToldOnceAndOpensTheSummaryLater) {
  device->autoOpenSummary = 1;
  bus.TakeTrace();
  std::size_t lockReads = 0;
  {
    const auto window = Open();
    ASSERT_NE(window->ChildWindow(window->Ids().summary), nullptr);
    lockReads = static_cast<std::size_t>(std::ranges::count(bus.TakeTrace(), "R18"));
    ASSERT_GT(lockReads, 0u);
  }
  device->InvalidateValues();
  bus.port.SetRetries(0);
  bus.bus.AddFault(sim::Fault::Silence()
                       .ForObject(gLockedObject.GetId())
                       .ForOpcode(sim::kOpcodeGet)
                       .OnOccurrence(static_cast<int>(lockReads)));
  const auto window = Open();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(window->ChildWindow(window->Ids().summary), nullptr);
  bus.bus.ClearFaults();
  for (int pass = 0; pass < 4 && window->ChildWindow(window->Ids().summary) == nullptr; ++pass) {
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(20);
  }
  ui::test::RestIdle();
  EXPECT_NE(window->ChildWindow(window->Ids().summary), nullptr);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

TEST_F(EditWindowTest, AFilterOnALinkedChannelIsClonedToTheOtherLinkedChannels) {
  Windows windows;
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  unit->autoOpenSummary = 0;
  TEdit8126Window window(nullptr, *unit);
  window.Create();
  DoubleClick(window, window.Ids().memory);
  unit->linkedChannels[0] = unit->linkedChannels[2] = unit->linkedChannels[3] = true;
  auto made = std::make_unique<TParametricFilter>();
  made->channel = 2;
  TFilter* head = unit->AddFilter(std::move(made));
  NotifyRecord added{FilterAdded, 2, 0, head};
  window.Notify(&added);

  ASSERT_EQ(unit->Filters().size(), 3u);
  // The chain runs in the order the clones were made, as a fresh read of the unit links it.
  TFilter* clone0 = head->nextInChain;
  ASSERT_NE(clone0, nullptr);
  EXPECT_EQ(clone0->channel, 0);
  TFilter* clone3 = clone0->nextInChain;
  ASSERT_NE(clone3, nullptr);
  EXPECT_EQ(clone3->channel, 3);
  EXPECT_EQ(clone3->nextInChain, nullptr);
  EXPECT_EQ(clone3->linkHead, head);
  EXPECT_EQ(clone3->linkNumber, head->number + 1);
  auto* memory = dynamic_cast<RecordingWindow*>(window.ChildWindow(window.Ids().memory));
  std::vector<std::pair<int, int>> channelAndFlag;
  for (const NotifyRecord& r : memory->received) channelAndFlag.emplace_back(r.channel, r.flag);
  EXPECT_EQ(channelAndFlag, (std::vector<std::pair<int, int>>{{0, 1}, {3, 1}, {2, 0}}));

  // A change to a clone reaches the head and the other clone.
  clone3->frequency = 2500;
  NotifyRecord changed{FilterChanged, 3, 0, clone3};
  window.Notify(&changed);
  EXPECT_EQ(head->frequency, 2500);
  EXPECT_EQ(clone0->frequency, 2500);

  // On an unlinked channel, and for a crossover section, nothing is cloned.
  auto unlinked = std::make_unique<TParametricFilter>();
  unlinked->channel = 1;
  NotifyRecord other{FilterAdded, 1, 0, unit->AddFilter(std::move(unlinked))};
  window.Notify(&other);
  head->crossover = true;
  window.Notify(&added);
  EXPECT_EQ(unit->Filters().size(), 4u);
}

TEST_F(EditWindowTest, OpeningFromTheDeviceShowsTheWindowAndClosingReleasesTheUnit) {
  ui::Window owner;
  std::vector<ui::Param> closed;
  owner.OnMessage(TEditOVWindow::kDeviceWindowClosed, [&](const ui::Message& m) {
    closed.push_back(m.lParam);
    return ui::Param{0};
  });
  owner.Create();
  owner.Show();
  ASSERT_NE(bus.manager.Acquire(device), nullptr);
  ASSERT_TRUE(device->Open(&owner));
  auto* window = dynamic_cast<TEditOVWindow*>(device->EditWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsVisible());
  EXPECT_TRUE(device->ShowOpenWindow());
  EXPECT_EQ(window->Text(), device->GetDisplayName());

  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(*window, GALLERY_DIR "/unit-window-8148.png"));
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(*window, DOCS_DIR "/unit-window-8148.png"));
  }

  ui::Application::Instance()->RouteCommand(ovres::kCmCloseUnit, window);
  ui::test::PumpMessages();
  EXPECT_EQ(device->EditWindow(), nullptr);
  EXPECT_FALSE(device->ShowOpenWindow());
  EXPECT_EQ(closed, std::vector<ui::Param>{reinterpret_cast<ui::Param>(device)});
  EXPECT_NE(bus.manager.Acquire(device), nullptr);  // released: it can be opened again
}

// The main window's device lists, as the unit's windows tell them of a change to the unit.
class DeviceLists {
 public:
  explicit DeviceLists(IQDevice* device) {
    client_.OnMessage(controls::kDeviceChangedMessage, [this, device](const ui::Message& m) {
      if (m.lParam == reinterpret_cast<ui::Param>(device)) ++told;
      return ui::Param{0};
    });
    client_.Create();
    controls::SetClientWindow(&client_);
  }
  ~DeviceLists() { controls::SetClientWindow(nullptr); }
  int told = 0;

 private:
  ui::Window client_;
};

// A rename whose answer was lost may have been taken: the read again that mends the captions
// tells the device lists too, which show the unit's name.
TEST_F(EditWindowTest, ARenameWhoseAnswerWasLostReachesTheDeviceListsOnceTheUnitAnswers) {
  DeviceLists lists(device);
  int& told = lists.told;
  const auto window = Open();
  bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeSet).ForUnit(5));
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& dialog) {
      ui::test::Type(dialog, controls_res::kInputField, "Main mix");
      ui::test::Click(dialog, ui::kIdOk);
    });
    ui::Application::Instance()->RouteCommand(ovres::kCmRenameUnit, window.get());
  }
  ui::test::PumpMessages();
  EXPECT_EQ(told, 0);
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(20);
  ui::test::RestIdle();
  ui::test::PumpMessages();
  EXPECT_EQ(told, 1);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// A lock reaches the device lists, which name the unit by it; a read again after a write in doubt
// builds the tree anew and keeps the nodes the user opened and the one chosen.
TEST_F(EditWindowTest, ALockReachesTheDeviceListsAndAReadAgainKeepsTheTreeAsOpened) {
  DeviceLists lists(device);
  const auto window = Open();
  ui::TreeView& tree = window->Tree();
  const NodeIds ids = window->Ids();
  const auto opened = [&] {
    std::vector<std::string> lines;
    for (const TNodeInfo* node : window->NodeList()) {
      if (tree.IsExpanded(node->item)) lines.push_back(node->text);
    }
    lines.push_back("chosen " + tree.ItemText(tree.Selected()));
    return lines;
  };
  for (const int child : {ids.firstChannel, ids.inputLevel}) {
    tree.Expand(tree.ParentOf(window->FindNodeInfo(child)->item));
  }
  tree.Select(window->FindNodeInfo(ids.outputDelay)->item);
  const std::vector<std::string> before = opened();
  ASSERT_EQ(before, (std::vector<std::string>{"Filters", "Inputs", "Outputs", "chosen Delay"}));

  device->MarkInDoubt();
  ui::test::PumpIdle(20);
  ui::test::RestIdle();
  ui::test::PumpMessages();
  EXPECT_FALSE(device->InDoubt());
  EXPECT_EQ(opened(), before);
  EXPECT_EQ(lists.told, 1);

  SetLocked(true);
  NotifyRecord lock{LockChanged, 0, 0, nullptr};
  window->Notify(&lock);
  ui::test::PumpMessages();
  EXPECT_EQ(lists.told, 2);
  std::string listed;
  ASSERT_TRUE(device->GetListText(listed));
  EXPECT_EQ(listed, "(5) LOCKED");
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// A lock the unit took whose read back goes unanswered: the security lamp, the tree and the device
// lists show the lock unknown by the time the box that tells why opens.
TEST_F(EditWindowTest, ALockWhoseReadBackIsLostShowsUnknownEverywhereBeforeItsBox) {
  static TEdit8148Window* edit = nullptr;
  static ui::Window* security = nullptr;
  static DeviceLists* lists = nullptr;
  static std::vector<std::string> shownAtBox;
  DeviceLists told(device);
  const auto window = Open();
  DoubleClick(*window, window->Ids().security);
  edit = window.get();
  security = window->ChildWindow(window->Ids().security);
  ASSERT_NE(security, nullptr);
  lists = &told;
  shownAtBox.clear();
  const CommErrorReporter previous = SetCommErrorReporter([](const IQException&, IQDevice&) {
    // The box's own message loop hands the device lists what was posted to them.
    ui::test::PumpMessages();
    shownAtBox = {ui::test::ControlOf(*security, ovres::kLockText).Text(), TreeLines(*edit).at(31),
                  "lists told " + std::to_string(lists->told)};
  });
  // The lock read before the change is answered; the one after it and every one since are not.
  bus.bus.AddFault(sim::Fault::Silence()
                       .ForObject(gLockedObject.GetId())
                       .ForOpcode(sim::kOpcodeGet)
                       .OnOccurrence(2)
                       .Times(sim::Fault::kForever));
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(*security, ovres::kLockButton);
  }
  SetCommErrorReporter(previous);
  EXPECT_EQ(shownAtBox, (std::vector<std::string>{"?", "31 Memory -1", "lists told 1"}));
}

}  // namespace
}  // namespace namespaceOV
