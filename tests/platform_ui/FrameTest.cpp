#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <optional>
#include <stdexcept>

#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/Frame.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/TestHooks.h"
#include "tests/platform_ui/UiTestEnvironment.h"

namespace ui {
namespace {

using testing_support::FailTest;

constexpr int kMenu = 9300;
constexpr int kAccelerators = 9300;
constexpr int kExit = 24310;
constexpr int kNewVirtual = 51684;
constexpr int kDeleteVirtual = 51683;
constexpr int kRollCall = 51682;
constexpr int kAbout = 2009;
constexpr int kUnhandled = 24326;
constexpr int kClientDialog = 9301;
constexpr int kKeysDialog = 9302;

void RegisterResources() {
  Resources::AddMenu(kMenu, {{"&File", 0, {{"E&xit\tAlt+F4", kExit}}},
                             {"&Devices",
                              0,
                              {{"&New Virtual ...", kNewVirtual},
                               {"&Delete Virtual", kDeleteVirtual},
                               {},
                               {"&Roll call", kRollCall},
                               {"Nothing", kUnhandled}}},
                             {"&Help", 0, {{"&About...", kAbout}}}});
  Resources::AddAccelerators(kAccelerators, {{key::kInsert, kNoModifier, kNewVirtual},
                                             {key::kDelete, kControlKey, kRollCall},
                                             {'R', kControlKey, kRollCall},
                                             {key::kDelete, kNoModifier, kDeleteVirtual},
                                             {key::kInsert, kShiftKey, kRollCall},
                                             {key::kBack, kAltKey, kUnhandled},
                                             {key::kF1 + 2, kNoModifier, kUnhandled}});
  Resources::AddDialog({kKeysDialog,
                        "Keys",
                        {0, 0, 100, 40},
                        style::kNone,
                        {{kIdOk, ControlKind::PushButton, "OK", {5, 5, 40, 14}}}});
  Resources::AddString(kMenu, kAbout, "About the Telvo Windows application");
  Resources::AddString(kMenu, kRollCall, "Finds the units on the bus");
}

class FrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterResources(); }
  void SetUp() override {
    client->SetRect({0, 0, 200, 120});
    client->OnCommand(kNewVirtual, [this] { log.push_back("client new"); });
    client->OnCommand(kRollCall, [this] { log.push_back("client roll call"); });
    client->OnEnable(kRollCall, [this](CommandState& s) { s.enabled = !rolling; });
    frame.OnCommand(kDeleteVirtual, [this] { log.push_back("frame delete"); });
    frame.SetMenu(kMenu);
    frame.SetAccelerators(kAccelerators);
    frame.AddStatusBar();
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    frame.AddToolButton(kRollCall, picture);
    frame.SetShrinkToClient(true);
    frame.Create();
    frame.Show();
    test::PumpMessages();
  }
  Window* client = new Window;  // adopted by the frame
  std::unique_ptr<Window> clientOwner{client};
  Frame frame{"Telvo Windows 2.3", client};
  std::vector<std::string> log;
  bool rolling = false;
};

TEST_F(FrameTest, MenuItemsAreReachedByPositionAndIdAndChangeAtRunTime) {
  Menu& bar = *frame.MenuBar();
  ASSERT_EQ(bar.ItemCount(), 3);
  Menu* devices = bar.SubMenu(1);
  ASSERT_NE(devices, nullptr);
  EXPECT_EQ(devices->ItemId(0), kNewVirtual);
  EXPECT_EQ(devices->ItemId(2), 0) << "separator";
  EXPECT_EQ(devices->ItemId(9), -1);
  EXPECT_EQ(bar.ItemText(kRollCall), "&Roll call") << "ids are found in sub-menus";

  bar.SetItemText(kRollCall, "&Roll call now");
  bar.CheckItem(kRollCall, true);
  EXPECT_EQ(devices->ItemText(kRollCall), "&Roll call now");
  EXPECT_TRUE(bar.IsChecked(kRollCall));
  devices->InsertItem(0, 51701, "&Special1");
  EXPECT_EQ(devices->ItemId(0), 51701);
  bar.DeleteItem(kDeleteVirtual);
  EXPECT_EQ(devices->ItemCount(), 5);
  EXPECT_EQ(bar.ItemText(kDeleteVirtual), "");
  devices->DeleteAt(0);
  EXPECT_EQ(devices->ItemId(0), kNewVirtual);
}

TEST_F(FrameTest, EnablersRunBeforeAMenuOpensAndUnhandledItemsAreGreyed) {
  Menu* devices = frame.MenuBar()->SubMenu(1);
  rolling = true;
  devices->UpdateItems();
  EXPECT_FALSE(devices->IsEnabled(kRollCall));
  EXPECT_TRUE(devices->IsEnabled(kNewVirtual));
  EXPECT_TRUE(devices->IsEnabled(kDeleteVirtual)) << "handled by the frame";
  EXPECT_FALSE(devices->IsEnabled(kUnhandled));
  rolling = false;
  devices->UpdateItems();
  EXPECT_TRUE(devices->IsEnabled(kRollCall));
}

TEST_F(FrameTest, MenuCommandsGoFromTheClientUpThroughTheFrameToTheApplication) {
  int about = 0;
  Application::Instance()->OnCommand(kAbout, [&] { ++about; });
  auto* main = static_cast<QMainWindow*>(frame.Widget());
  for (QAction* top : main->menuBar()->actions()) {
    for (QAction* item : top->menu()->actions()) {
      if (!item->isSeparator() && item->data().toInt() != kExit) item->trigger();
    }
  }
  EXPECT_EQ(log, (std::vector<std::string>{"client new", "frame delete", "client roll call"}));
  EXPECT_EQ(about, 1);
}

TEST_F(FrameTest, AFailureOnTheWayFromAMenuIsReportedAndTheMenuStaysUsable) {
  frame.MenuBar()->SetCommandWindow([]() -> Window* { throw std::runtime_error("no window"); });
  testing_support::CollectedErrors reports;
  auto* main = static_cast<QMainWindow*>(frame.Widget());
  QMenu* devices = main->menuBar()->actions().at(1)->menu();
  emit devices->aboutToShow();
  devices->actions().at(0)->trigger();
  EXPECT_EQ(reports.errors,
            (std::vector<std::string>{"menu enablers: no window", "menu command: no window"}));
  EXPECT_TRUE(log.empty());
}

TEST_F(FrameTest, AMenuClosedWithEscapeLeavesTheNextOneEnabledByTheClient) {
  auto* bar = static_cast<QMainWindow*>(frame.Widget())->menuBar();
  QMenu* devices = bar->actions()[1]->menu();
  client->Widget()->setFocusPolicy(Qt::StrongFocus);
  frame.BringToTop();
  client->SetFocus();
  for (int round = 0; round < 2; ++round) {
    bar->setActiveAction(bar->actions()[1]);
    test::PumpMessages();
    ASSERT_TRUE(devices->isVisible());
    EXPECT_TRUE(devices->actions()[0]->isEnabled()) << "the client's item, opening " << round;
    QTest::keyClick(devices, Qt::Key_Escape);  // the menu bar keeps the keyboard
    test::PumpMessages();
  }
}

TEST_F(FrameTest, TheStatusBarShowsTheHintOfTheItemUnderTheMouse) {
  auto* main = static_cast<QMainWindow*>(frame.Widget());
  QMenu* help = main->menuBar()->actions()[2]->menu();
  // What an open menu does for the item under the mouse: it tells the menu bar that opened it.
  help->actions()[0]->showStatusText(main->menuBar());
  EXPECT_EQ(frame.StatusText(), "About the Telvo Windows application");
}

TEST_F(FrameTest, AcceleratorsSendTheirCommandsFromTheFocusWindow) {
  frame.OnMessage(msg::kKeyDown, [this](const Message& m) {
    log.push_back("key " + std::to_string(m.wParam));
    return Param{0};
  });
  test::PressKey(frame, Qt::Key_Insert);
  test::PressKey(frame, Qt::Key_R, kControlKey);
  test::PressKey(frame, Qt::Key_R);
  test::PressKey(frame, Qt::Key_F3);
  EXPECT_EQ(log, (std::vector<std::string>{"client new", "client roll call", "key 82", "key 114"}))
      << "a key whose command nobody handles goes on to the focus window";
}

// Counts the key presses that reach a widget, the modifier keys' own aside.
class KeyPressCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt) ++presses;
    return false;
  }
  int presses = 0;
};

TEST_F(FrameTest, AFieldKeepsItsEditingKeysAndAModalDialogNeverSeesTheAccelerators) {
  auto* field = new QLineEdit("Lobby speakers", client->Widget());  // as a label edited in place
  field->show();
  frame.BringToTop();
  field->setFocus();
  KeyPressCounter reached;
  field->installEventFilter(&reached);
  const std::vector<std::pair<int, unsigned>> strokes = {
      {Qt::Key_Delete, kNoModifier}, {Qt::Key_Insert, kNoModifier}, {Qt::Key_Insert, kShiftKey},
      {Qt::Key_Delete, kControlKey}, {Qt::Key_Backspace, kAltKey},  {Qt::Key_F3, kNoModifier}};
  for (const auto& [key, modifiers] : strokes) test::PressKey(frame, key, modifiers);
  EXPECT_EQ(reached.presses, static_cast<int>(strokes.size()));
  EXPECT_TRUE(log.empty()) << log.front();
  delete field;
  log.clear();

  PromptScript script(FailTest);
  script.RunDialog(kKeysDialog, [](Dialog& d) {
    d.ControlById(kIdOk)->SetFocus();
    test::PressKey(d, Qt::Key_Insert);
    test::PressKey(d, Qt::Key_R, kControlKey);
    d.EndDialog(kIdOk);
  });
  Dialog keys(client, kKeysDialog);
  keys.Execute();
  EXPECT_TRUE(log.empty()) << log.front();
}

TEST_F(FrameTest, ToolButtonsSendTheirCommandAndFollowTheirEnablerAtIdle) {
  auto* toolBar = static_cast<QMainWindow*>(frame.Widget())->findChild<QToolBar*>();
  ASSERT_NE(toolBar, nullptr);
  QAction* roll = toolBar->actions().front();
  EXPECT_EQ(roll->toolTip(), "Finds the units on the bus");
  roll->trigger();
  EXPECT_EQ(log, (std::vector<std::string>{"client roll call"}));
  rolling = true;
  Application::Instance()->NoteMessage();
  test::PumpIdle();
  EXPECT_FALSE(roll->isEnabled());
}

TEST_F(FrameTest, TheFrameFitsItsClientAndStatusBar) {
  auto* main = static_cast<QMainWindow*>(frame.Widget());
  EXPECT_EQ(client->Widget()->size(), QSize(200, 120));
  EXPECT_GE(main->height(), 120 + main->statusBar()->height());
  EXPECT_EQ(client->Parent(), &frame);

  frame.SetStatusText("Ready");
  for (bool maximised : {false, true}) {
    if (maximised) main->showMaximized();
    test::PumpMessages();
    const QStatusBar* bar = main->statusBar();
    EXPECT_GE(bar->height(), bar->fontMetrics().height() + 4) << "the text at its full height";
    EXPECT_EQ(bar->geometry().bottom(), main->rect().bottom());
    const Point top{bar->width() / 2, bar->y()};
    EXPECT_NE(test::SamplePixel(frame, top), test::SamplePixel(frame, {top.x, top.y + 8}))
        << "a recessed edge shows where the bar is";
  }
}

TEST_F(FrameTest, APopupTrackedAtThePointSendsTheChosenCommandToItsOwner) {
  Menu popup;
  popup.AppendItem(24323, "Mark for copy");
  popup.AppendItem(24324, "Paste");
  popup.AppendSeparator();
  popup.EnableItem(24324, false);
  int marked = 0;
  client->OnCommand(24323, [&] { ++marked; });
  client->OnCommand(24324, [] { ADD_FAILURE() << "a greyed item was run"; });
  PromptScript script(FailTest);
  script.ChooseFromPopup(24323).ChooseFromPopup(24324).ChooseFromPopup(0);
  EXPECT_EQ(popup.Track(*client, client->ClientToScreen({10, 10})), 24323);
  EXPECT_EQ(popup.Track(*client, {0, 0}), 0) << "greyed items cannot be chosen";
  EXPECT_EQ(popup.Track(*client, {0, 0}), 0);
  EXPECT_EQ(marked, 1);
  EXPECT_FALSE(popup.IsEnabled(24324)) << "an item greyed by code stays greyed";
}

// A client dialog that counts its idle calls.
class ClientDialog : public Dialog {
 public:
  ClientDialog() : Dialog(nullptr, kClientDialog) {}
  bool IdleAction(long count) override {
    ++idleCalls;
    return Dialog::IdleAction(count);
  }
  int idleCalls = 0;
};

TEST(FrameClient, ADialogClientFillsTheFrameAndIsServedOncePerIdlePass) {
  Resources::AddDialog({kClientDialog,
                        "Dialog Client",
                        {0, 0, 120, 80},
                        style::kNone,
                        {{103, ControlKind::PushButton, "Roll Call", {10, 10, 50, 14}}}});
  ClientDialog client;
  Frame frame("Telvo Windows 2.3", &client);
  frame.SetShrinkToClient(true);
  frame.Create();
  frame.Show();
  test::PumpMessages();
  EXPECT_FALSE(client.Widget()->isWindow());
  EXPECT_EQ(client.Widget()->parentWidget(), frame.Widget());
  EXPECT_EQ(client.ClientRect().Width(), client.Units().ToPixelsX(120));
  Application::Instance()->NoteMessage();
  test::PumpIdle(1);
  EXPECT_EQ(client.idleCalls, 1);
}

TEST(FrameClient, TheClientCanBeReplacedWhileTheFrameIsOpen) {
  Window first;
  Frame frame("Parameters", &first);
  frame.Create();
  frame.Show();
  auto second = std::make_unique<Window>();
  frame.SetClient(second.get());
  first.Destroy();
  test::PumpMessages();
  auto* main = static_cast<QMainWindow*>(frame.Widget());
  EXPECT_EQ(main->centralWidget(), second->Widget());
  EXPECT_EQ(second->Parent(), &frame);
  EXPECT_TRUE(second->IsVisible());
  int handled = 0;
  frame.OnCommand(700, [&] { ++handled; });
  Application::Instance()->RouteCommand(700, second.get());
  EXPECT_EQ(handled, 1) << "commands go from the new client to the frame";
}

TEST(LayoutWindowTest, ChildrenFollowTheirEdgeRulesWhenTheWindowResizes) {
  LayoutWindow layout;
  Window frame(&layout);
  Window list(&layout);
  Window editor(&layout);
  layout.SetRect({0, 0, 400, 300});
  layout.Create();
  layout.Show();
  using E = Edge;
  // The list's rules name the frame, which is placed in the same pass.
  layout.SetChildMetrics(
      list,
      {EdgeRule::SameAs(E::Left, &frame, E::Right), EdgeRule::SameAs(E::Right, nullptr, E::Right),
       EdgeRule::SameAs(E::Top, nullptr, E::Top), EdgeRule::SameAs(E::Bottom, &editor, E::Top)});
  layout.SetChildMetrics(
      frame,
      {EdgeRule::SameAs(E::Left, nullptr, E::Left), EdgeRule::Absolute(E::Width, 142),
       EdgeRule::SameAs(E::Top, nullptr, E::Top), EdgeRule::SameAs(E::Bottom, &editor, E::Top)});
  layout.SetChildMetrics(
      editor, {EdgeRule::SameAs(E::Left, nullptr, E::Left),
               EdgeRule::PercentOf(E::Right, nullptr, E::Right, 100),
               EdgeRule::SameAs(E::Bottom, nullptr, E::Bottom), EdgeRule::Absolute(E::Height, 50)});
  EXPECT_EQ(editor.WindowRect(), (Rect{0, 250, 400, 300}));
  EXPECT_EQ(frame.WindowRect(), (Rect{0, 0, 142, 250}));
  EXPECT_EQ(list.WindowRect(), (Rect{142, 0, 400, 250}));
  layout.SetRect({0, 0, 500, 200});
  EXPECT_EQ(list.WindowRect(), (Rect{142, 0, 500, 150}));

  // A height in layout units follows the font, as the dialogs' units do.
  layout.SetChildMetrics(
      editor,
      {EdgeRule::SameAs(E::Left, nullptr, E::Left), EdgeRule::SameAs(E::Right, nullptr, E::Right),
       EdgeRule::SameAs(E::Bottom, nullptr, E::Bottom), EdgeRule::Absolute(E::Height, 50, true)});
  const int height = DialogUnits(QApplication::font()).ToPixelsY(50);
  EXPECT_EQ(editor.WindowRect(), (Rect{0, 200 - height, 500, 200}));
  EXPECT_EQ(list.WindowRect().bottom, 200 - height);

  // A deleted child's rules go with it: a window made later in its place is not laid out.
  std::optional<Window> pane;
  pane.emplace(&layout);
  layout.SetChildMetrics(*pane, LayoutMetrics::FillingClientArea());
  pane.reset();
  pane.emplace(nullptr);
  pane->SetRect({10, 10, 60, 40});
  pane->Create();
  layout.SetRect({0, 0, 450, 250});
  EXPECT_EQ(pane->PlacementRect(), (Rect{10, 10, 60, 40}));
}

TEST(SplitterTest, AClosedPaneGivesItsRoomAwayAndComesBackWithIt) {
  Splitter splitter(nullptr, Splitter::Orientation::SideBySide);
  Window list(&splitter);
  Window graph(&splitter);
  splitter.SetRect({0, 0, 400, 200});
  splitter.Create();
  splitter.Show();
  splitter.SetFirstShare(0.25);
  test::PumpMessages();
  const int listWidth = splitter.PaneSize(list);
  EXPECT_NEAR(listWidth, 100, 8);
  splitter.ClosePane(graph);
  test::PumpMessages();
  EXPECT_FALSE(splitter.IsPaneOpen(graph));
  EXPECT_GT(splitter.PaneSize(list), 350);
  splitter.ReopenPane(graph);
  test::PumpMessages();
  EXPECT_TRUE(splitter.IsPaneOpen(graph));
  EXPECT_NEAR(splitter.PaneSize(list), listWidth, 8);
  splitter.SetPaneSize(graph, 120);
  EXPECT_NEAR(splitter.PaneSize(graph), 120, 8);
}

}  // namespace
}  // namespace ui
