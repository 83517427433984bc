#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>

#include "platform/ui/DragImage.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/draw/Color.h"

namespace ui {
namespace {

// Paints a black frame line along the top and remembers the mouse messages it gets.
class Scope : public DrawnWindow {
 public:
  using DrawnWindow::DrawnWindow;
  int paints = 0;
  std::vector<std::pair<MessageId, Point>> mouse;

  void Track() {
    for (MessageId id : {msg::kLButtonDown, msg::kMouseMove, msg::kLButtonUp}) {
      OnMessage(id, [this, id](const Message& m) {
        mouse.emplace_back(id, UnpackPoint(m.lParam));
        if (id == msg::kLButtonDown) CaptureMouse();
        if (id == msg::kLButtonUp) ReleaseMouse();
        return Param{0};
      });
    }
  }

 protected:
  void Paint(Dc& dc) override {
    ++paints;
    dc.FillRect({0, 0, ClientRect().right, 1}, kBlack);
  }
};

TEST(DrawnWindow, PaintAndDrawNowShareOneOffscreenImage) {
  Scope scope;
  scope.SetRect({0, 0, 60, 40});
  scope.Create();
  scope.Show();
  EXPECT_EQ(test::SamplePixel(scope, {10, 0}), kBlack);
  EXPECT_EQ(test::SamplePixel(scope, {10, 10}), SystemColorOf(SystemColor::ButtonFace));
  const int paints = scope.paints;
  {
    auto now = scope.DrawNow();
    ASSERT_NE(now, nullptr);
    now->dc().FillRect({5, 5, 15, 15}, kRed);
  }
  EXPECT_EQ(test::SamplePixel(scope, {10, 10}), kRed) << "drawn at once, kept until the next paint";
  EXPECT_EQ(test::SamplePixel(scope, {15, 15}), SystemColorOf(SystemColor::ButtonFace))
      << "right and bottom exclusive";
  EXPECT_EQ(scope.paints, paints) << "drawing now does not repaint";
  scope.Invalidate();
  EXPECT_EQ(test::SamplePixel(scope, {10, 10}), SystemColorOf(SystemColor::ButtonFace));
  EXPECT_EQ(scope.paints, paints + 1);
  scope.Destroy();
  EXPECT_EQ(scope.DrawNow(), nullptr);
}

TEST(DrawnWindow, UpdateNowPaintsWithoutTheMessageLoop) {
  Scope scope;
  scope.SetRect({0, 0, 60, 40});
  scope.Create();
  scope.Show();
  test::PumpMessages();
  const int paints = scope.paints;
  scope.Invalidate();
  scope.UpdateNow();
  EXPECT_EQ(scope.paints, paints + 1);
  // Code that knows only a window, not that it draws itself, still gets it drawn again.
  static_cast<Window&>(scope).Invalidate();
  scope.UpdateNow();
  EXPECT_EQ(scope.paints, paints + 2);
}

TEST(DrawnWindow, AnEdgeStaysOverTheDrawingAndOverChildrenMadeLater) {
  Scope graph;
  graph.SetRect({0, 0, 60, 40});
  graph.SetEdge(WindowEdge::Sunken);
  graph.Create();
  graph.Show();
  Window cover(&graph);
  cover.SetBackground(kRed);
  cover.SetRect({0, 0, 60, 20});
  cover.Create();
  cover.Show();
  test::PumpMessages();
  const QImage shown = graph.Widget()->grab().toImage();
  const auto at = [&](int x, int y) {
    const QRgb c = shown.pixel(x, y);
    return Color{static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
                 static_cast<uint8_t>(qBlue(c))};
  };
  EXPECT_EQ(at(0, 0), SystemColorOf(SystemColor::ButtonShadow));
  EXPECT_EQ(at(1, 1), SystemColorOf(SystemColor::ButtonDarkShadow));
  EXPECT_EQ(at(59, 39), SystemColorOf(SystemColor::ButtonHighlight));
  EXPECT_EQ(at(58, 38), SystemColorOf(SystemColor::ButtonLight));
  EXPECT_EQ(at(30, 10), kRed) << "the child inside the edge";
  EXPECT_EQ(at(30, 30), SystemColorOf(SystemColor::ButtonFace)) << "the drawing inside the edge";
  EXPECT_EQ(test::SamplePixel(graph, {30, 0}), kBlack) << "the drawing itself is untouched";
}

TEST(DrawnWindow, ACapturedMouseReachesTheCapturingWindowWherewerItMoves) {
  Window top;
  top.SetRect({0, 0, 200, 100});
  Scope left(&top);
  left.SetRect({0, 0, 100, 100});
  Scope right(&top);
  right.SetRect({100, 0, 200, 100});
  left.Track();
  right.Track();
  top.Create();
  top.Show();
  test::MouseDown(left, {10, 10});
  EXPECT_EQ(Window::MouseCapture(), &left);
  test::MouseMove(right, {5, 20});
  test::MouseUp(right, {6, 20});
  EXPECT_EQ(Window::MouseCapture(), nullptr);
  ASSERT_EQ(left.mouse.size(), 3u);
  EXPECT_EQ(left.mouse[1], std::make_pair(msg::kMouseMove, Point{105, 20}))
      << "in the capturing window's coordinates";
  EXPECT_EQ(left.mouse[2].first, msg::kLButtonUp);
  EXPECT_TRUE(right.mouse.empty());
  test::MouseDown(right, {1, 1});
  EXPECT_EQ(right.mouse.size(), 1u) << "after release the mouse goes where it is again";
  test::MouseUp(right, {1, 1});
}

TEST(DrawnWindow, KeysReachTheFocusWindowAsMessages) {
  Scope graph;
  graph.SetRect({0, 0, 80, 60});
  std::vector<std::pair<Param, bool>> keys;
  for (MessageId id : {msg::kKeyDown, msg::kKeyUp}) {
    graph.OnMessage(id, [&keys, id](const Message& m) {
      keys.emplace_back(m.wParam, id == msg::kKeyDown);
      return Param{0};
    });
  }
  graph.Create();
  graph.Show();
  graph.SetFocus();
  test::PressKey(graph, Qt::Key_Escape);
  test::PressKey(graph, Qt::Key_Left, kShiftKey);
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0], std::make_pair(Param{key::kEscape}, true));
  EXPECT_EQ(keys[1], std::make_pair(Param{key::kEscape}, false));
  EXPECT_EQ(keys[2], std::make_pair(Param{key::kLeft}, true));
}

TEST(DragImageTest, FollowsTheMouseInsideTheWindowWithItsHotSpotUnderItAndGoesWhenTheDragEnds) {
  Window client;
  client.SetRect({50, 60, 350, 260});
  client.Create();
  client.Show();
  QImage picture(40, 16, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  DragImage drag(picture, {8, 8});
  drag.Enter(client, {100, 50});
  EXPECT_TRUE(drag.IsShown());
  EXPECT_EQ(drag.Position(), (Point{92, 42}));
  drag.Move({120, 70});
  EXPECT_EQ(drag.Position(), (Point{112, 62}));
  drag.Move({310, 250});
  EXPECT_EQ(drag.Position(), (Point{300 - 40, 200 - 16})) << "whole inside the window";
  drag.Move({-20, -5});
  EXPECT_EQ(drag.Position(), (Point{0, 0}));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BlankCursor) << "in place of the cursor";
  drag.Leave();
  EXPECT_FALSE(drag.IsShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  {
    DragImage dropped(picture, {0, 0});
    dropped.Enter(client, {0, 0});
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor comes back with the object";
}

}  // namespace
}  // namespace ui
