// What the user does while a bus operation holds the message loop, made through a real X server:
// once the operation is over, with no further input, it takes effect at once and whole, and a
// window closed meanwhile closes then, not in the middle of it. The window system keeps such
// input in the program's own connection, which the offscreen platform of the other tests lacks.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/Resources.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/support/EventLoopCpu.h"
#include "tests/support/HangBound.h"
#include "tests/xserver/XServerEnvironment.h"

namespace xserver {
namespace {

using namespace std::chrono_literals;

constexpr int kPanel = 9301;
constexpr int kField = 101;
constexpr int kApply = 102;
constexpr int kRead = 103;
constexpr int kReadTimer = 1;
constexpr int kAddress = 5;
constexpr int kFamily = 368;
constexpr int kMeterId = 21;
constexpr char kTyped = 'x';

// Input held through an operation takes effect this soon after it: at once, as the user sees it.
constexpr qint64 kPromptMs = 1000;
// So long after the operation input that never comes fails the test rather than hanging it.
constexpr auto kPatience = 5s;
// How long the operation goes on pausing after the input was sent: the program's connection has
// read it and the paint-only loop has left it queued before the operation ends.
constexpr auto kHeldFor = 100ms;

enum class Begun { kIdle, kTimer, kClick };
enum class Asked { kClickAndKey, kClose };

struct Case {
  const char* name;
  Begun begun;
  bool silent;  // the unit answers nothing: the operation lasts the line's time-out
  Asked asked;
};

const Case kCases[] = {
    {"IdlePollSilentUnitClickAndKey", Begun::kIdle, true, Asked::kClickAndKey},
    {"IdlePollAnsweringUnitClickAndKey", Begun::kIdle, false, Asked::kClickAndKey},
    {"TimerSilentUnitClickAndKey", Begun::kTimer, true, Asked::kClickAndKey},
    {"TimerAnsweringUnitClickAndKey", Begun::kTimer, false, Asked::kClickAndKey},
    {"ClickSilentUnitClickAndKey", Begun::kClick, true, Asked::kClickAndKey},
    {"ClickAnsweringUnitClickAndKey", Begun::kClick, false, Asked::kClickAndKey},
    {"IdlePollSilentUnitClose", Begun::kIdle, true, Asked::kClose},
    {"IdlePollAnsweringUnitClose", Begun::kIdle, false, Asked::kClose},
    {"TimerSilentUnitClose", Begun::kTimer, true, Asked::kClose},
    {"TimerAnsweringUnitClose", Begun::kTimer, false, Asked::kClose},
    {"ClickSilentUnitClose", Begun::kClick, true, Asked::kClose},
    {"ClickAnsweringUnitClose", Begun::kClick, false, Asked::kClose},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// A window with a field and two buttons whose idle action, once armed, polls the unit.
class Panel : public ui::Dialog {
 public:
  Panel() : Dialog(nullptr, kPanel) {}
  std::function<void()> poll;

  bool IdleAction(long idleCount) override {
    const bool more = Dialog::IdleAction(idleCount);
    if (auto once = std::exchange(poll, nullptr)) once();
    return more;
  }
};

QPoint CentreOf(ui::Window& control) {
  const QWidget& w = *control.Widget();
  return w.mapToGlobal(w.rect().center());
}

// What the user's input had done: at the operation's end, and in the end.
struct Done {
  int clicks = 0;
  std::string text;
  bool open = true;
  bool operator==(const Done&) const = default;
};

void PrintTo(const Done& d, std::ostream* os) {
  *os << d.clicks << " click(s), text \"" << d.text << "\", " << (d.open ? "open" : "closed");
}

class InputDuringOperationTest : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    ui::Resources::AddDialog({kPanel,
                              "Panel",
                              {0, 0, 150, 50},
                              ui::style::kNone,
                              {{kField, ui::ControlKind::Edit, "", {5, 5, 80, 12}},
                               {kApply, ui::ControlKind::PushButton, "Apply", {5, 25, 40, 14}},
                               {kRead, ui::ControlKind::PushButton, "Read", {55, 25, 40, 14}}}});
  }

  void SetUp() override {
    XSERVER_REQUIRED();
    sim::UnitIdentity identity{.address = kAddress, .family = kFamily};
    identity.modelId = {'1', 'v', '1', '0', '0', 0, 0, 0};
    line.bus.AddGenericUnit(identity, {{.id = kMeterId, .elementSize = 4, .isVolatile = true}});
    const auto found = line.RollCall({&type});
    ASSERT_EQ(found.size(), 1u);
    unit = found[0];
    line.port.SetPauseHook([this] { Pause(); });

    panel = std::make_unique<Panel>();
    panel->OnCommand(kApply, [this] {
      ++done.clicks;
      Took(clickedMs);
    });
    panel->OnCommand(kRead, [this] { Operate(); });
    panel->OnNotify(kField, ui::Notify::Changed, [this](const ui::Notification&) {
      done.text = panel->ControlById(kField)->Text();
      Took(typedMs);
      return ui::Param{0};
    });
    panel->OnMessage(ui::msg::kTimer, [this](const ui::Message&) {
      panel->KillTimer(kReadTimer);
      Operate();
      return ui::Param{0};
    });
    panel->OnClosed([this] {
      done.open = false;
      Took(closedMs);
    });
    panel->Create();
    panel->Show();
    panel->Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel->Widget()));
    panel->ControlById(kField)->SetFocus();
  }

  void TearDown() override {
    line.port.SetPauseHook(nullptr);
    if (panel != nullptr) LeaveNoFocusWait();
  }

  // When the active window loses the keyboard, or goes, Qt's connection waits a moment for
  // another window to take it before it says that none has it. A window of the test's takes the
  // keyboard, which ends any such wait, and gives it up, and the test waits for Qt's word, so
  // that the wait ends within the test.
  void LeaveNoFocusWait() {
    QWidget last;
    last.show();
    last.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&last));
    Input()->DropFocus();
    testsupport::RunLoopUntil([] { return QGuiApplication::focusWindow() == nullptr; });
  }

  // The bus operation: one read of the unit.
  void Operate() {
    ++operations;
    try {
      meter.Read(*unit);
    } catch (const IQException&) {
      // The silent unit: its time-out was the operation.
    }
    atEnd = done;
    atEnd.open = panel->IsCreated();
    sinceEnd.start();
    patience.start(kPatience);
  }

  // The port's pause inside the operation; the first sends the user's input and then keeps the
  // operation going until the program's connection has surely read it.
  void Pause() {
    ui::PaintPending();
    const auto send = std::exchange(during, nullptr);
    if (!send) return;
    send();
    const auto until = std::chrono::steady_clock::now() + kHeldFor;
    while (std::chrono::steady_clock::now() < until) {
      ui::PaintPending();
      std::this_thread::sleep_for(1ms);
    }
  }

  void Took(std::optional<qint64>& when) {
    if (!when) when = sinceEnd.isValid() ? sinceEnd.elapsed() : -1;
    if (Settled()) waiting.quit();
  }

  bool Settled() const {
    return GetParam().asked == Asked::kClose
               ? !done.open
               : done.clicks > 0 && done.text == std::string(1, kTyped);
  }

  // Begins the operation as the case says and runs the loop, with no input of the test's, until
  // what was asked during it has taken effect or the patience after it has run out.
  void RunCase(const Case& c) {
    if (c.silent) {
      line.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
    }
    during = [this, c] {
      if (c.asked == Asked::kClose) {
        Input()->AskToClose(panel->Widget()->winId());
        return;
      }
      const QPoint apply = CentreOf(*panel->ControlById(kApply));
      const QPoint field = CentreOf(*panel->ControlById(kField));
      Input()->Click(apply.x(), apply.y());
      Input()->Click(field.x(), field.y());
      Input()->Type(kTyped);
    };
    patience.setSingleShot(true);
    patience.start(testsupport::kHangBound);
    QObject::connect(&patience, &QTimer::timeout, &waiting, &QEventLoop::quit);
    switch (c.begun) {
      case Begun::kIdle:
        panel->poll = [this] { Operate(); };
        ui::Application::Instance()->Idle().NoteActivity();
        break;
      case Begun::kTimer:
        panel->StartTimer(kReadTimer, 10);
        break;
      case Begun::kClick: {
        const QPoint read = CentreOf(*panel->ControlById(kRead));
        Input()->Click(read.x(), read.y());
        break;
      }
    }
    waiting.exec();
  }

  bustest::PseudoTerminalBus line;
  bustest::TestDeviceType type{kFamily, "Test"};
  IQDevice* unit = nullptr;
  FloatUCodeObject meter{kMeterId, 1, true};
  std::unique_ptr<Panel> panel;
  std::function<void()> during;
  QEventLoop waiting;
  QTimer patience;
  QElapsedTimer sinceEnd;
  int operations = 0;
  Done done;
  Done atEnd;
  std::optional<qint64> clickedMs, typedMs, closedMs;
};

TEST_P(InputDuringOperationTest, TakesEffectAtOnceAfterTheOperationWithNoFurtherInput) {
  const Case& c = GetParam();
  RunCase(c);
  ASSERT_EQ(operations, 1);
  EXPECT_EQ(atEnd, Done{}) << "nothing the user did took effect in the middle of the operation";
  if (c.asked == Asked::kClose) {
    EXPECT_FALSE(done.open) << "the window closed after the operation";
    EXPECT_LE(closedMs.value_or(kPromptMs + 1), kPromptMs);
    return;
  }
  EXPECT_EQ(done.clicks, 1) << "the click took effect, press and release";
  EXPECT_EQ(done.text, std::string(1, kTyped)) << "the key reached the field";
  EXPECT_LE(clickedMs.value_or(kPromptMs + 1), kPromptMs);
  EXPECT_LE(typedMs.value_or(kPromptMs + 1), kPromptMs);
}

INSTANTIATE_TEST_SUITE_P(Cases, InputDuringOperationTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xserver
