// The program's own windows on simulated units, polling them from idle passes as they do for the
// user, on a real X server, with the program's error boxes opening for real: a button clicked while
// a poll waits for the unit opens its window once the poll is over, with no further input, and not
// in the middle of it, whether the unit answers or has been silent for a while. A click made during
// the poll that finds the unit silent goes with the error box that poll opens: Qt drops input
// queued for a window that a modal one has blocked since, as it does in any program.
//
// These windows ask for another idle pass after every poll, which wakes the event loop by itself:
// the rows guard the click against a change there (the paint-only loop's own wake-up at the end of
// an operation is proved by InputDuringOperationTest).

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/ErrorDialogs.h"
#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/HangBound.h"
#include "tests/support/RealPrompts.h"
#include "tests/xserver/HeldInput.h"
#include "tests/xserver/XServerEnvironment.h"

namespace xserver {
namespace {

constexpr int kAddress = 7;

// A unit's window on its simulated bus, shown as the user meets it, and a button in it that opens
// another window.
class UnitWindow {
 public:
  virtual ~UnitWindow() = default;
  virtual bustest::PseudoTerminalBus& Line() = 0;
  virtual IQDevice& Unit() = 0;
  virtual ui::Window& Shown() = 0;
  virtual ui::Window& Button() = 0;
  // Whether the window the button opens is open and seen.
  virtual bool Opened() const = 0;
};

bool Seen(const ui::Window* window) {
  return window != nullptr && window->IsCreated() && window->IsVisible();
}

// The older family's edit window on an Ordavinex X, its signal-flow page polling the meters; the
// button opens the limiters.
class SignalFlowPage : public UnitWindow {
 public:
  SignalFlowPage() {
    sim::family8100::AddFamily8100Unit(
        bus_.bus, {.model = sim::family8100::Model::kX, .address = kAddress, .unitName = "Hall"});
    unit_ = testsupport8100::OnlyUnit(bus_);
    window_ = std::make_unique<namespace8100::TEdit8100Window>(nullptr, *unit_);
    window_->Create();
  }
  bustest::PseudoTerminalBus& Line() override { return bus_; }
  IQDevice& Unit() override { return *unit_; }
  ui::Window& Shown() override { return *window_; }
  ui::Window& Button() override {
    return ui::test::ControlOf(window_->SignalFlow(), f8100res::kLeftLimiterButton);
  }
  bool Opened() const override {
    return Seen(window_->SignalFlow().SubDialog(f8100res::kLeftLimiterButton));
  }

 private:
  testsupport8100::OlderFamilyBus bus_;
  namespace8100::IQDevice8100* unit_ = nullptr;
  std::unique_ptr<namespace8100::TEdit8100Window> window_;
};

// The newer family's unit summary of an 8148, its channels' meters polled by the unit's edit
// window; the button of the first output opens the limiters.
class UnitSummary : public UnitWindow {
 public:
  UnitSummary() {
    // One try per read, as the summary's own tests make them: the silent unit's reads are quick.
    bus_.port.SetRetries(0);
    bus_.AddModelUnit(sim::familyov::Model::k8148, kAddress);
    device_ = &dynamic_cast<namespaceOV::IQDevice8148&>(*bus_.RollCall({&type_}).at(0));
    device_->autoOpenSummary = 0;
    type_.SetRegistryKey(store_.Root().OpenSubKey("TelvoWin2 Settings", true));
    edit_ = std::make_unique<namespaceOV::TEdit8148Window>(nullptr, *device_);
    edit_->Create();
    edit_->OpenChildWindow(edit_->Ids().summary);
  }
  bustest::PseudoTerminalBus& Line() override { return bus_; }
  IQDevice& Unit() override { return *device_; }
  ui::Window& Shown() override { return Summary(); }
  ui::Window& Button() override {
    return ui::test::ControlOf(Summary().Panes().Output(0), ovsummary_res::kLimiterButton);
  }
  bool Opened() const override { return Seen(edit_->ChildWindow(edit_->Ids().limiter)); }

 private:
  namespaceOV::TSummaryWindow& Summary() {
    return dynamic_cast<namespaceOV::TSummaryWindow&>(*edit_->ChildWindow(edit_->Ids().summary));
  }

  ovtest::FamilyBus bus_;
  registry::Store store_;
  namespaceOV::IQ8148Type type_;
  namespaceOV::IQDevice8148* device_ = nullptr;
  std::unique_ptr<namespaceOV::TEdit8148Window> edit_;
};

// The unit during the poll in which the user clicks.
enum class Unit {
  kAnswering,
  kFallenSilent,  // answers nothing from now on: the poll's failure is told in an error box, which
                  // takes the click with it
  kLongSilent,    // has answered nothing for a while, told before: its polls rest the longest
};

struct Case {
  const char* name;
  std::function<std::unique_ptr<UnitWindow>()> open;
  Unit unit;
};

std::unique_ptr<UnitWindow> OpenSignalFlow() { return std::make_unique<SignalFlowPage>(); }
std::unique_ptr<UnitWindow> OpenSummary() { return std::make_unique<UnitSummary>(); }

const Case kCases[] = {
    {"SignalFlowAnsweringUnit", OpenSignalFlow, Unit::kAnswering},
    {"SignalFlowUnitFallenSilent", OpenSignalFlow, Unit::kFallenSilent},
    {"SignalFlowUnitLongSilent", OpenSignalFlow, Unit::kLongSilent},
    {"SummaryAnsweringUnit", OpenSummary, Unit::kAnswering},
    {"SummaryUnitFallenSilent", OpenSummary, Unit::kFallenSilent},
    {"SummaryUnitLongSilent", OpenSummary, Unit::kLongSilent},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

void FailTest(const std::string& what) { ADD_FAILURE() << what; }

// The program's error box, closed as the user closes it.
void ExpectErrorBox(ui::PromptScript& script) {
  script.RunDialog(appres::kErrorDialog,
                   [](ui::Dialog& box) { ui::test::Click(box, ui::kIdCancel); });
}

// Sees every event as it is delivered, past the holds of an operation in progress.
class EventWatch : public QObject {
 public:
  using Seen = std::function<void(const QObject& receiver, const QEvent& e)>;
  explicit EventWatch(Seen seen) : seen_(std::move(seen)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~EventWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* receiver, QEvent* e) override {
    seen_(*receiver, *e);
    return false;
  }

 private:
  Seen seen_;
};

class InputDuringUnitPollTest : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    RegisterAppResources();
    // A silent unit's polls rest until the test moves the clock, however slow the machine: the
    // long-silent unit is polled once, in the case, and next woken for only after its longest
    // pause.
    PollBackoff::Clock::Hold();
    // As the program reports the families' failures: in its error box.
    controls::SetDeviceErrorReporter([](const IQException& error, IQDevice* device, int code) {
      ShowDeviceError(error, device, code);
    });
    namespaceOV::SetCommErrorReporter([](const IQException& error, IQDevice& device) {
      ShowDeviceError(error, &device, controls::kNoUnitErrorCode);
    });
  }
  static void TearDownTestSuite() {
    controls::SetDeviceErrorReporter(nullptr);
    namespaceOV::SetCommErrorReporter(nullptr);
  }

  void SetUp() override {
    XSERVER_REQUIRED();
    window = GetParam().open();
    window->Line().port.SetPauseHook([this] {
      ++pausing;
      PauseForInput(during);
      --pausing;
    });
    ui::Window& shown = window->Shown();
    shown.Show();
    shown.Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown.Widget()));
  }

  void TearDown() override {
    if (window == nullptr) return;
    window->Line().port.SetPauseHook(nullptr);
    window.reset();
    LeaveNoFocusWait();
    ui::test::RestIdle();
  }

  // The unit answers no more, and its polls' pause grows to the longest; the first failure
  // was told. The next idle pass polls it again.
  void FallSilentLongAgo() {
    FallSilent();
    ui::PromptScript told(FailTest);
    ExpectErrorBox(told);
    const PollBackoff& backoff = window->Unit().IdlePolling();
    for (int poll = 0;
         poll < 8 && backoff.ResumeAt() - PollBackoff::Clock::now() < PollBackoff::kLongestPause;
         ++poll) {
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(1);
    }
    EXPECT_EQ(told.Seen().size(), 1u);
    ASSERT_EQ(backoff.ResumeAt() - PollBackoff::Clock::now(), PollBackoff::kLongestPause);
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  }

  void FallSilent() {
    window->Line().bus.AddFault(
        sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  }

  // The user closes a box of the program's once it shows: a click on its button, which the
  // program reads after all the input made before it.
  void CloseBoxWhenShown(const QObject& receiver) {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr || box == closedBox || box->windowHandle() != &receiver ||
        !box->windowHandle()->isExposed()) {
      return;
    }
    closedBox = box;
    ++boxes;
    const QPoint close = CentreOf(ui::test::ControlOf(*ui::Window::FromWidget(box), ui::kIdCancel));
    Input()->Click(close.x(), close.y());
  }

  // Runs the loop, with no input of the test's but closing the program's boxes, until the window
  // the button opens shows, or the box that takes the click has gone, or the patience after the
  // click has run out; the click is made inside the first operation an idle pass begins. The
  // window's own reads of a silent unit take their time: the click took effect as the button was
  // pressed.
  void RunCase(const Case& c) {
    if (c.unit == Unit::kFallenSilent) FallSilent();
    const testsupport::RealPrompts realBoxes;
    const QPoint button = CentreOf(window->Button());
    QTimer patience;
    during = [this, button, &patience] {
      clicked = true;
      Input()->Click(button.x(), button.y());
      patience.start(kPatience);
    };
    QEventLoop loop;
    const QObject* pressed = window->Button().Widget();
    const EventWatch watch([&](const QObject& receiver, const QEvent& e) {
      if (e.type() == QEvent::MouseButtonPress && &receiver == pressed && !took) {
        took = true;
        tookMidway = pausing > 0;
        patience.start(testsupport::kHangBound);
      }
      if (e.type() == QEvent::Expose) CloseBoxWhenShown(receiver);
      const bool boxGone = e.type() == QEvent::Hide && &receiver == closedBox.data();
      if ((e.type() == QEvent::Show && window->Opened()) ||
          (boxGone && c.unit == Unit::kFallenSilent)) {
        loop.quit();
      }
    });
    patience.setSingleShot(true);
    patience.start(testsupport::kHangBound);
    QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
    ui::Application::Instance()->Idle().NoteActivity();
    loop.exec();
    outOfPatience = !patience.isActive();
    // Whatever the click left queued is delivered now.
    ui::test::PumpMessages();
  }

  std::unique_ptr<UnitWindow> window;
  std::function<void()> during;
  int pausing = 0;  // inside the port's pause: in the middle of an operation
  bool clicked = false;
  // Whether the button was pressed, and whether during an operation.
  bool took = false;
  bool tookMidway = false;
  // The patience ran out, whatever the click did in the same turn of the loop: the timer's own
  // wake-up can deliver input that waited for one.
  bool outOfPatience = false;
  QPointer<QWidget> closedBox;
  int boxes = 0;
};

TEST_P(InputDuringUnitPollTest,
       AButtonClickedDuringAPollOpensItsWindowAfterItUnlessItsBoxTakesTheClick) {
  const Case& c = GetParam();
  if (c.unit == Unit::kLongSilent) {
    ASSERT_NO_FATAL_FAILURE(FallSilentLongAgo());
  }
  RunCase(c);
  ASSERT_TRUE(clicked) << "an idle pass polled the unit";
  if (c.unit == Unit::kFallenSilent) {
    EXPECT_FALSE(took || window->Opened()) << "the click went with the box";
    EXPECT_EQ(boxes, 1) << "the poll's failure, told once";
    return;
  }
  EXPECT_FALSE(outOfPatience) << "with no further input";
  EXPECT_TRUE(took && window->Opened());
  EXPECT_FALSE(tookMidway) << "not in the middle of the operation";
  EXPECT_EQ(boxes, c.unit == Unit::kLongSilent ? 1 : 0) << "the opening's failure, told once";
}

INSTANTIATE_TEST_SUITE_P(Cases, InputDuringUnitPollTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xserver
