// What the user does while a bus operation holds the message loop, made through a real X server:
// once the operation is over, with no further input, it takes effect whole and where it was made,
// and a window closed meanwhile closes then, not in the middle of it. The window system keeps such
// input in the program's own connection, which the offscreen platform of the other tests lacks.
//
// What the rows guard:
// - the rows begun by an idle pass: the wake-up at the operation's end, without which the input
//   waits in the connection for the user's next input event (but the click-then-move row, whose
//   held refresh wakes the loop by itself);
// - the close rows: that a window manager's close made during an operation closes the window after
//   it, never in its middle; Qt's connection keeps such a close as input until the operation is
//   over, so they pass without the paint-only loop's own hold of a close, which is proved
//   offscreen, where a close reaches the loop in the middle of an operation;
// - the rows that click and move on: that a click the layer keeps behind a refresh the operation
//   held is delivered where it was made, not where the pointer has gone since. The layer keeps the
//   click only when the window system hands it over before the refresh has been delivered: after
//   an operation a timer or an idle pass began, the plain event dispatcher reads the connection
//   first and the glib one delivers the refresh first, so those rows guard this on the plain one
//   only. After an operation a click began, the window system goes on handing over what it read
//   with that click, on both dispatchers, so that row's user clicks on at once, before the program
//   has read the first click: input read only after the operation would come after the refresh;
// - every row: that input an operation kept waiting is neither delivered in its middle nor lost.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WindowBridge.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/support/HangBound.h"
#include "tests/xserver/HeldInput.h"
#include "tests/xserver/XServerEnvironment.h"

namespace xserver {
namespace {

constexpr int kPanel = 9301;
constexpr int kField = 101;
constexpr int kApply = 102;
constexpr int kRead = 103;
constexpr int kReadTimer = 1;
constexpr int kAddress = 5;
constexpr int kFamily = 368;
constexpr int kMeterId = 21;
constexpr char kTyped = 'x';

enum class Begun { kIdle, kTimer, kClick };
// What the user does during the operation.
enum class Asked {
  kClickAndKey,  // clicks a button, then the field, and types a key
  kClose,        // closes the window with the window manager's close box
  kHeldClick,    // presses the button before the operation and releases it during it
  kDoubleClick,  // double-clicks the button
  // clicks the button and moves on to the field at once, while the operation holds a refresh (or,
  // when a click begins it, at once after that click), so that the layer itself keeps the click
  // until the refresh has been delivered
  kClickThenMove,
};

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
    {"IdlePollSilentUnitHeldClick", Begun::kIdle, true, Asked::kHeldClick},
    {"TimerAnsweringUnitHeldClick", Begun::kTimer, false, Asked::kHeldClick},
    {"IdlePollAnsweringUnitDoubleClick", Begun::kIdle, false, Asked::kDoubleClick},
    {"TimerSilentUnitDoubleClick", Begun::kTimer, true, Asked::kDoubleClick},
    {"ClickAnsweringUnitDoubleClick", Begun::kClick, false, Asked::kDoubleClick},
    {"IdlePollAnsweringUnitClickThenMove", Begun::kIdle, false, Asked::kClickThenMove},
    {"TimerSilentUnitClickThenMove", Begun::kTimer, true, Asked::kClickThenMove},
    {"TimerAnsweringUnitClickThenMove", Begun::kTimer, false, Asked::kClickThenMove},
    {"ClickSilentUnitClickThenMove", Begun::kClick, true, Asked::kClickThenMove},
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

// What the user's input had done: at the operation's end, and in the end.
struct Done {
  int clicks = 0;
  std::string text;
  bool open = true;
  bool operator==(const Done&) const = default;
};

Done Expected(Asked asked) {
  switch (asked) {
    case Asked::kClickAndKey:
      return {1, std::string(1, kTyped), true};
    case Asked::kClose:
      return {0, "", false};
    case Asked::kHeldClick:
    case Asked::kClickThenMove:
      return {1, "", true};
    case Asked::kDoubleClick:
      return {2, "", true};
  }
  return {};
}

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
    line.port.SetPauseHook([this] { PauseForInput(during); });

    panel = std::make_unique<Panel>();
    panel->OnCommand(kApply, [this] {
      ++done.clicks;
      Took();
    });
    panel->OnCommand(kRead, [this] { Operate(); });
    panel->OnNotify(kField, ui::Notify::Changed, [this](const ui::Notification&) {
      done.text = panel->ControlById(kField)->Text();
      Took();
      return ui::Param{0};
    });
    panel->OnMessage(ui::msg::kTimer, [this](const ui::Message&) {
      panel->KillTimer(kReadTimer);
      Operate();
      return ui::Param{0};
    });
    panel->OnClosed([this] {
      done.open = false;
      Took();
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

  // The bus operation: one read of the unit, after a refresh posted for later if the case asks.
  void Operate() {
    ++operations;
    if (GetParam().asked == Asked::kClickThenMove) {
      ui::PostCall(*panel->Widget(), [this] { ++refreshes; });
    }
    try {
      meter.Read(*unit);
    } catch (const IQException&) {
      // The silent unit: its time-out was the operation.
    }
    atEnd = done;
    atEnd.open = panel->IsCreated();
    patience.start(kPatience);
  }

  void Took() {
    if (done == Expected(GetParam().asked) && waiting != nullptr) waiting->quit();
  }

  // Begins the operation as the case says and runs the loop, with no input of the test's, until
  // what was asked during it has taken effect or the patience after it has run out.
  void RunCase(const Case& c) {
    if (c.silent) {
      line.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
    }
    const QPoint apply = CentreOf(*panel->ControlById(kApply));
    if (c.asked == Asked::kHeldClick) Input()->Press(apply.x(), apply.y());
    during = [this, c, apply] {
      switch (c.asked) {
        case Asked::kClickAndKey: {
          const QPoint field = CentreOf(*panel->ControlById(kField));
          Input()->Click(apply.x(), apply.y());
          Input()->Click(field.x(), field.y());
          Input()->Type(kTyped);
          break;
        }
        case Asked::kClose:
          Input()->AskToClose(panel->Widget()->winId());
          break;
        case Asked::kHeldClick:
          Input()->Release();
          break;
        case Asked::kDoubleClick:
          Input()->Click(apply.x(), apply.y());
          Input()->Click(apply.x(), apply.y());
          break;
        case Asked::kClickThenMove: {
          const QPoint field = CentreOf(*panel->ControlById(kField));
          Input()->Click(apply.x(), apply.y());
          Input()->MoveTo(field.x(), field.y());
          break;
        }
      }
    };
    QEventLoop loop;
    waiting = &loop;
    patience.setSingleShot(true);
    patience.start(testsupport::kHangBound);
    QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
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
        if (c.asked == Asked::kClickThenMove) SendAhead(during);
        break;
      }
    }
    loop.exec();
    waiting = nullptr;
    outOfPatience = !patience.isActive();
  }

  bustest::PseudoTerminalBus line;
  bustest::TestDeviceType type{kFamily, "Test"};
  IQDevice* unit = nullptr;
  FloatUCodeObject meter{kMeterId, 1, true};
  std::unique_ptr<Panel> panel;
  std::function<void()> during;
  QEventLoop* waiting = nullptr;  // while the case runs
  QTimer patience;
  int operations = 0;
  int refreshes = 0;
  // The patience ran out, whatever the input did in the same turn of the loop: the timer's own
  // wake-up can deliver input that waited for one.
  bool outOfPatience = false;
  Done done;
  Done atEnd;
};

TEST_P(InputDuringOperationTest, TakesEffectAtOnceAfterTheOperationWithNoFurtherInput) {
  const Case& c = GetParam();
  RunCase(c);
  ASSERT_EQ(operations, 1);
  EXPECT_EQ(atEnd, Done{}) << "nothing the user did took effect in the middle of the operation";
  EXPECT_EQ(done, Expected(c.asked)) << "all the user did took effect after the operation";
  EXPECT_FALSE(outOfPatience) << "with no further input";
  EXPECT_EQ(refreshes, c.asked == Asked::kClickThenMove ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, InputDuringOperationTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xserver
