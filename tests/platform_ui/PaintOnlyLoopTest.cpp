#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"

// A long operation (bus work) holds the message loop and lets the paint-only loop run at its
// pauses: windows paint, nothing else runs until the operation has returned.

namespace ui {
namespace {

constexpr MessageId kPosted = 301;

// Counts the paints a widget gets, and runs `during` at the first of them: what the window system
// or another window might do while the operation holds the loop.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;
  std::function<void()> during;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::Paint) return false;
    if (++paints == 1 && during) during();
    return false;
  }
};

class Drawing : public DrawnWindow {
 public:
  using DrawnWindow::DrawnWindow;
  int draws = 0;

 protected:
  void Paint(Dc&) override { ++draws; }
};

struct Shown {
  explicit Shown(Window& w) : window(w) {
    w.SetRect({10, 10, 160, 110});
    w.Create();
    w.Show();
    test::PumpMessages();
  }
  Window& window;
};

void Click(QWidget& button) {
  const QPointF at(button.width() / 2.0, button.height() / 2.0);
  const QPointF global = button.mapToGlobal(at);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QCoreApplication::postEvent(
        &button, new QMouseEvent(type, at, global, Qt::LeftButton,
                                 type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                 Qt::NoModifier));
  }
}

TEST(PaintOnlyLoop, MessagesAndTimersWaitUntilTheOperationHasReturned) {
  Window w;
  Shown shown(w);
  std::vector<std::string> ran;
  w.OnMessage(kPosted, [&](const Message& m) {
    ran.push_back("message " + std::to_string(m.wParam));
    return Param{0};
  });
  PaintWatch watch(*w.Widget());
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, [&] { ran.push_back("timer"); });

  // The operation: what it posts and starts, then its pauses.
  w.Post(kPosted, 1);
  w.Post(kPosted, 2);
  timer.start(0);
  w.Invalidate();
  EXPECT_FALSE(PaintingOnly());
  watch.during = [&] { EXPECT_TRUE(PaintingOnly()); };
  for (int pause = 0; pause < 20; ++pause) PaintPending();
  EXPECT_GE(watch.paints, 1) << "the window painted in the middle of the operation";
  EXPECT_TRUE(ran.empty()) << "nothing ran in the middle of the operation";
  EXPECT_FALSE(PaintingOnly());
  EXPECT_EQ(Application::Instance()->PaintOnly().MarksOut(), 1)
      << "what is queued again does not grow with the operation's pauses";

  test::PumpMessages();
  std::erase(ran, "timer");
  EXPECT_EQ(ran, (std::vector<std::string>{"message 1", "message 2"}))
      << "held messages arrive afterwards, once each and in order";
  EXPECT_FALSE(timer.isActive()) << "the timer fired afterwards";
}

TEST(PaintOnlyLoop, UserInputAndACloseWaitUntilTheOperationHasReturned) {
  Window w;
  Shown shown(w);
  Window other;
  Shown otherShown(other);
  auto* button = new QPushButton("Stop", w.Widget());
  button->setGeometry(5, 5, 60, 24);
  button->show();
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  test::PumpMessages();

  PaintWatch watch(*w.Widget());
  bool closed = true;
  watch.during = [&] {
    Click(*button);
    closed = other.Widget()->windowHandle()->close();
  };
  w.Invalidate();
  PaintPending();
  ASSERT_EQ(watch.paints, 1);
  EXPECT_EQ(clicks, 0) << "a click during the operation does not act in its middle";
  EXPECT_FALSE(closed);
  EXPECT_TRUE(other.IsCreated() && other.IsVisible()) << "the window stays open meanwhile";

  test::PumpMessages();
  EXPECT_EQ(clicks, 1) << "the click acts once the operation is over (a Stop button works)";
  EXPECT_FALSE(other.IsCreated() && other.IsVisible())
      << "the close asked for meanwhile is carried out";
}

TEST(PaintOnlyLoop, InputAfterTheOperationComesBehindWhatTheOperationHeld) {
  Window w;
  Shown shown(w);
  auto* field = new QLineEdit(w.Widget());
  field->setGeometry(5, 40, 60, 24);
  auto* button = new QPushButton("Lock", w.Widget());
  button->setGeometry(5, 5, 60, 24);
  field->show();
  button->show();
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  w.Widget()->activateWindow();
  button->setFocus();
  test::PumpMessages();
  ASSERT_TRUE(button->hasFocus());

  // The operation moves the focus (a window it opened takes it); the button hears of that only
  // afterwards. A click the window system delivers before then must not meet it mid-press.
  PaintWatch watch(*w.Widget());
  watch.during = [&] { field->setFocus(); };
  w.Invalidate();
  PaintPending();
  ASSERT_EQ(watch.paints, 1);
  QWindow* top = w.Widget()->windowHandle();
  const QPoint onButton = button->geometry().center();
  QTest::mousePress(top, Qt::LeftButton, Qt::NoModifier, onButton);
  test::PumpMessages();
  QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, onButton);
  test::PumpMessages();
  EXPECT_EQ(clicks, 1) << "the focus change the operation held came before the click";
  EXPECT_TRUE(button->hasFocus());
}

TEST(PaintOnlyLoop, CustomDrawnWindowsShowTheirLastDrawingAndDrawAnewAfterwards) {
  Drawing drawing;
  Shown shown(drawing);
  PaintWatch watch(*drawing.Widget());
  const int draws = drawing.draws;
  ASSERT_GT(draws, 0);
  drawing.Invalidate();
  PaintPending();
  EXPECT_EQ(watch.paints, 1) << "the widget showed its image";
  EXPECT_EQ(drawing.draws, draws) << "the window's drawing code did not run in the operation";
  PaintPending();
  test::PumpMessages();
  EXPECT_EQ(drawing.draws, draws + 1) << "it draws once afterwards";
}

TEST(PaintOnlyLoop, ASizeChangeReachesTheWindowAfterTheOperation) {
  Window w;
  Shown shown(w);
  std::vector<Point> sizes;
  w.OnMessage(msg::kSize, [&](const Message& m) {
    sizes.push_back(UnpackPoint(m.lParam));
    return Param{0};
  });
  PaintWatch watch(*w.Widget());
  watch.during = [&] { w.Widget()->resize(200, 120); };
  w.Invalidate();
  PaintPending();
  EXPECT_TRUE(sizes.empty());
  test::PumpMessages();
  EXPECT_EQ(sizes, (std::vector<Point>{{200, 120}}));
}

}  // namespace
}  // namespace ui
