#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <stdexcept>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TimerService.h"
#include "platform/ui/Window.h"
#include "tests/platform_ui/UiTestEnvironment.h"
#include "tests/support/HangBoundTimer.h"

namespace ui {
namespace {

constexpr MessageId kFirst = 101;
constexpr MessageId kSecond = 102;

// Counts idle calls and can ask for more idle time a given number of times.
class IdleCounter : public Window {
 public:
  using Window::Window;
  bool IdleAction(long idleCount) override {
    counts.push_back(idleCount);
    if (onIdle) onIdle();
    return static_cast<int>(counts.size()) < wantMore;
  }
  std::vector<long> counts;
  int wantMore = 0;
  std::function<void()> onIdle;
};

TEST(Messages, PostedMessagesArriveInOrderAfterTheCurrentHandlerAndSendIsImmediate) {
  Window w;
  w.Create();
  std::vector<std::string> log;
  w.OnMessage(kFirst, [&](const Message& m) {
    log.push_back("first " + std::to_string(m.wParam));
    if (m.wParam == 1) {
      w.Post(kSecond, 7, 8);
      log.push_back("first returns");
    }
    return Param{0};
  });
  w.OnMessage(kSecond, [&](const Message& m) {
    log.push_back("second " + std::to_string(m.wParam) + "," + std::to_string(m.lParam));
    return Param{42};
  });
  w.Post(kFirst, 1);
  w.Post(kFirst, 2);
  EXPECT_TRUE(log.empty());
  test::PumpMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"first 1", "first returns", "first 2", "second 7,8"}));
  EXPECT_EQ(w.Send(kSecond, 1, 2), 42);
  EXPECT_EQ(w.Send(999), 0) << "an unhandled message answers 0";
}

TEST(Messages, EachWindowDispatchesTheSameNumberToItsOwnHandler) {
  Window a;
  Window b;
  a.Create();
  b.Create();
  a.OnMessage(kFirst, [](const Message&) { return Param{1}; });
  b.OnMessage(kFirst, [](const Message&) { return Param{2}; });
  EXPECT_EQ(a.Send(kFirst), 1);
  EXPECT_EQ(b.Send(kFirst), 2);
}

TEST(Messages, MessagesToADestroyedWindowAreDropped) {
  Window w;
  w.Create();
  int calls = 0;
  w.OnMessage(kFirst, [&](const Message&) { return Param{++calls}; });
  w.Post(kFirst);
  w.Destroy();
  w.Post(kFirst);
  test::PumpMessages();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(w.Send(kFirst), 0);
}

TEST(Messages, AnExceptionInAHandlerIsReportedAndGoesNoFurther) {
  Window w;
  w.Create();
  w.OnMessage(kFirst, [](const Message&) -> Param { throw std::runtime_error("boom"); });
  testing_support::CollectedErrors reports;
  w.Post(kFirst);
  test::PumpMessages();
  EXPECT_EQ(w.Send(kFirst), 0);
  EXPECT_EQ(reports.errors, (std::vector<std::string>{"message: boom", "message: boom"}));
}

TEST(Messages, AnOwnersFailureOnBeingToldOfACloseIsReportedAtItsOwnEntry) {
  Window w;
  w.Create();
  w.OnClosed([] { throw std::runtime_error("owner failed"); });
  testing_support::CollectedErrors reports;
  w.CloseWindow();
  test::PumpMessages();
  EXPECT_EQ(reports.errors, (std::vector<std::string>{"closed: owner failed"}));
}

TEST(Commands, RouteFromTheStartWindowThroughItsParentsToTheApplication) {
  auto& app = *Application::Instance();
  Window frame;
  Window client(&frame);
  Window control(&client);
  frame.Create();
  std::vector<std::string> log;
  frame.OnCommand(500, [&] { log.push_back("frame 500"); });
  client.OnCommand(500, [&] { log.push_back("client 500"); });
  frame.OnCommand(501, [&] { log.push_back("frame 501"); });
  app.OnCommand(502, [&] { log.push_back("app 502"); });

  EXPECT_TRUE(app.RouteCommand(500, &control));
  EXPECT_TRUE(app.RouteCommand(501, &control));
  EXPECT_TRUE(app.RouteCommand(502, &control));
  EXPECT_FALSE(app.RouteCommand(503, &control));
  EXPECT_EQ(log, (std::vector<std::string>{"client 500", "frame 501", "app 502"}));
}

TEST(Commands, EnablersDecideAndUnhandledCommandsAreDisabled) {
  auto& app = *Application::Instance();
  Window frame;
  Window client(&frame);
  frame.Create();
  bool busy = true;
  client.OnCommand(600, [] {});
  client.OnEnable(600, [&](CommandState& s) {
    s.enabled = !busy;
    s.checked = busy;
  });
  frame.OnCommand(601, [] {});
  EXPECT_FALSE(app.QueryCommand(600, &client).enabled);
  EXPECT_TRUE(app.QueryCommand(600, &client).checked.value_or(false));
  busy = false;
  EXPECT_TRUE(app.QueryCommand(600, &client).enabled);
  EXPECT_TRUE(app.QueryCommand(601, &client).enabled) << "a handler without enabler is enabled";
  EXPECT_FALSE(app.QueryCommand(602, &client).enabled) << "nobody handles 602";
}

// Each test counts passes from a loop at rest: one that an earlier test's loop left due, or a
// wake-up its windows asked for, would run among this test's own.
class Idle : public ::testing::Test {
 protected:
  void SetUp() override { test::RestIdle(); }
};

TEST_F(Idle, ServesOnlyTheInnermostModalTree) {
  auto& app = *Application::Instance();
  IdleCounter top;
  IdleCounter modal;
  IdleCounter modalChild(&modal);
  top.Create();
  modal.Create();
  test::PumpIdle();
  EXPECT_EQ(top.counts.size(), 1u);
  EXPECT_EQ(modalChild.counts.size(), 1u);

  app.PushModal(&modal);
  test::PumpIdle();
  app.PopModal(&modal);
  EXPECT_EQ(top.counts.size(), 1u) << "the window under the modal one gets no idle time";
  EXPECT_EQ(modalChild.counts.size(), 2u);
}

TEST_F(Idle, CountsPassesUntilNoActionWantsMoreAndIsNeverReentered) {
  auto& app = *Application::Instance();
  IdleCounter w;
  w.Create();
  w.wantMore = 3;
  int nestedPasses = 0;
  w.onIdle = [&] { nestedPasses += app.Idle().RunPass() ? 1 : 0; };
  test::PumpMessages();
  app.NoteMessage();
  test::PumpIdle();
  ASSERT_EQ(w.counts.size(), 3u);
  EXPECT_EQ(w.counts, (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(nestedPasses, 0);
}

TEST_F(Idle, ARepaintCausedByAnIdleActionLeavesTheCountGoingOn) {
  auto& app = *Application::Instance();
  IdleCounter w;
  w.Create();
  w.wantMore = 3;
  // A meter that repaints what it read: only input restarts the count and its count-0 work.
  w.onIdle = [&] { QCoreApplication::postEvent(w.Widget(), new QEvent(QEvent::UpdateRequest)); };
  test::PumpMessages();
  app.NoteMessage();
  test::PumpIdle();
  EXPECT_EQ(w.counts, (std::vector<long>{0, 1, 2}));
}

TEST_F(Idle, RunsFromTheRealLoopWhenTheQueueRunsEmpty) {
  IdleCounter w;
  w.Create();
  w.onIdle = [] { QApplication::exit(0); };
  w.Post(kFirst);  // wakes the loop; the idle pass after it ends it
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(w.counts.empty());
}

TEST_F(Idle, ATimerDueDuringAPassThatWantsMoreFiresBeforeTheNextPass) {
  IdleCounter w;
  w.Create();
  w.wantMore = 1000;  // a window that polls a unit on every pass
  QTimer due;
  due.setSingleShot(true);
  std::size_t passesAtStart = 0;
  std::size_t passesWhenFired = 0;
  w.onIdle = [&] {
    if (passesAtStart != 0) return;
    passesAtStart = w.counts.size();
    due.start(0);
  };
  QObject::connect(&due, &QTimer::timeout, [&] {
    passesWhenFired = w.counts.size();
    QApplication::exit(0);
  });
  w.Post(kFirst);
  QApplication::exec();
  EXPECT_EQ(passesWhenFired, passesAtStart);
}

// Counts the idle events the dispatcher is sent.
class IdleEventCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (IdleDispatcher::IsIdleEvent(e)) ++count;
    return false;
  }
  int count = 0;
};

TEST_F(Idle, NoneWhileAPromptIsOpenSoTheLoopSleepsAndItResumesWhenThePromptCloses) {
  auto& app = *Application::Instance();
  IdleCounter w;
  w.Create();
  IdleEventCounter idleEvents;
  app.Idle().installEventFilter(&idleEvents);
  QTimer ticker;  // wakes every loop iteration, so waiting is bounded
  ticker.start(0);
  const auto iterate = [] {
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  };
  app.BeginPrompt();
  iterate();
  app.EndPrompt();
  EXPECT_LE(idleEvents.count, 1) << "a posted idle event would wake the loop at once";
  EXPECT_TRUE(w.counts.empty());
  iterate();
  EXPECT_FALSE(w.counts.empty()) << "idle runs again once the prompt has closed";
  app.Idle().removeEventFilter(&idleEvents);
}

TEST_F(Idle, AWakeUpAskedForByWindowsThatAreAllGoneNeverComes) {
  auto& app = *Application::Instance();
  {
    IdleCounter asker;
    asker.Create();
    app.Idle().PassAfter(0);  // a unit of its fell silent
  }
  IdleEventCounter idleEvents;
  app.Idle().installEventFilter(&idleEvents);
  test::PumpMessages();
  app.Idle().removeEventFilter(&idleEvents);
  EXPECT_EQ(idleEvents.count, 0);
}

TEST(Timers, FireAtTheirPeriodUntilKilledOrTheWindowIsDestroyed) {
  Window a;
  Window b;
  a.Create();
  b.Create();
  std::vector<std::string> log;
  a.OnMessage(msg::kTimer, [&](const Message& m) {
    log.push_back("a" + std::to_string(m.wParam));
    return Param{0};
  });
  b.OnMessage(msg::kTimer, [&](const Message& m) {
    log.push_back("b" + std::to_string(m.wParam));
    return Param{0};
  });
  a.StartTimer(1, 10);
  b.StartTimer(2, 25);
  test::StepTimers(50);
  EXPECT_EQ(log, (std::vector<std::string>{"a1", "a1", "b2", "a1", "a1", "a1", "b2"}));
  log.clear();
  a.KillTimer(1);
  b.Destroy();
  test::StepTimers(100);
  EXPECT_TRUE(log.empty());
}

TEST(Timers, QtsOwnTimersDriveThemOutsideTests) {
  auto& timers = Application::Instance()->Timers();
  timers.SetManual(false);
  Window w;
  w.Create();
  QEventLoop loop;
  int ticks = 0;
  w.OnMessage(msg::kTimer, [&](const Message&) {
    if (++ticks == 3) loop.quit();
    return Param{0};
  });
  w.StartTimer(7, 1);
  const testsupport::HangBoundTimer bound([&] { loop.exit(1); });  // never reached if it works
  EXPECT_EQ(loop.exec(), 0);
  w.KillTimer(7);
  EXPECT_FALSE(timers.IsRunning(w, 7));
  timers.SetManual(true);
  EXPECT_EQ(ticks, 3);
}

TEST(MainWindow, ClosingTheMainWindowEndsTheMessageLoop) {
  auto& app = *Application::Instance();
  Window main;
  main.Create();
  app.SetMainWindow(&main);
  main.OnMessage(kFirst, [&](const Message&) {
    main.CloseWindow();
    return Param{0};
  });
  main.Post(kFirst);
  EXPECT_EQ(app.RunLoop(), 0);
  EXPECT_FALSE(main.IsCreated());
  app.SetMainWindow(nullptr);
}

TEST(MainWindow, TheExitCommandClosesTheMainWindowUnlessItRefuses) {
  auto& app = *Application::Instance();
  class Refusing : public Window {
   public:
    bool CanClose() override { return allow; }
    bool allow = false;
  } main;
  main.Create();
  app.SetMainWindow(&main);
  EXPECT_TRUE(app.RouteCommand(kExitCommand, &main));
  EXPECT_TRUE(main.IsCreated());
  main.allow = true;
  main.Post(kFirst);  // the loop runs until the exit below ends it
  main.OnMessage(kFirst,
                 [&](const Message&) { return Param{app.RouteCommand(kExitCommand, &main)}; });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(main.IsCreated());
  app.SetMainWindow(nullptr);
}

TEST(WaitCursorAndBeep, TheCursorIsRestoredEvenWhenTheWorkThrowsAndBeepsAreCounted) {
  try {
    WaitCursor outer;
    {
      WaitCursor inner;
      EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_TRUE(WaitCursor::Active());
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(WaitCursor::Active());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const int before = BeepCount();
  Beep();
  EXPECT_EQ(BeepCount(), before + 1);
}

}  // namespace
}  // namespace ui
