#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include "platform/ui/Application.h"
#include "platform/ui/Resources.h"
#include "platform/ui/ScrollingWindow.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"

namespace ui {
namespace {

class Vetoing : public Window {
 public:
  using Window::Window;
  bool CanClose() override { return allow; }
  bool allow = false;
};

TEST(WindowLifetime, TheObjectOutlivesItsWidgetAndCallsAfterDestroyDoNothing) {
  Window w;
  w.SetText("Before");
  w.SetRect({10, 20, 110, 70});
  w.Create();
  ASSERT_TRUE(w.IsCreated());
  QWidget* first = w.Widget();
  w.Create();
  EXPECT_EQ(w.Widget(), first) << "Create on a created window is a no-op";
  EXPECT_EQ(w.Text(), "Before");
  QImage icon(16, 16, QImage::Format_RGB32);
  icon.fill(Qt::red);
  Resources::AddImage(9001, icon);
  w.SetIcon(9001);
  EXPECT_FALSE(w.Widget()->windowIcon().isNull());
  w.SetText("Caf\xE9");
  EXPECT_EQ(w.Widget()->windowTitle(), QString::fromUtf8("Café")) << "captions are Windows-1252";
  EXPECT_EQ(w.ClientRect(), (Rect{0, 0, 100, 50}));

  w.Destroy();
  EXPECT_FALSE(w.IsCreated());
  w.Show();
  w.SetFocus();
  w.Invalidate();
  w.StartTimer(1, 10);
  EXPECT_EQ(w.ClientRect(), Rect{});
  EXPECT_FALSE(w.IsVisible());
  w.Create();
  EXPECT_TRUE(w.IsCreated()) << "a destroyed window can be created again";
}

TEST(WindowLifetime, ChildrenAreKeptAndCreatedInCreationOrder) {
  Window parent;
  Window first(&parent);
  Window second(&parent);
  {
    Window third(&parent);
    ASSERT_EQ(parent.Children(), (std::vector<Window*>{&first, &second, &third}));
  }
  EXPECT_EQ(parent.Children(), (std::vector<Window*>{&first, &second})) << "a deleted child leaves";
  parent.Create();
  ASSERT_TRUE(second.IsCreated());
  EXPECT_EQ(second.Widget()->parentWidget(), parent.Widget());
  const QObjectList order = parent.Widget()->children();
  EXPECT_LT(order.indexOf(first.Widget()), order.indexOf(second.Widget()));
  EXPECT_EQ(Window::FromWidget(second.Widget()), &second);

  parent.Destroy();
  EXPECT_FALSE(first.IsCreated());
  EXPECT_FALSE(second.IsCreated());
}

TEST(WindowClosing, AChildThatCannotCloseKeepsItsParentOpen) {
  Window parent;
  Vetoing child(&parent);
  parent.Create();
  int closed = 0;
  parent.OnClosed([&] { ++closed; });
  parent.CloseWindow();
  EXPECT_TRUE(parent.IsCreated());
  EXPECT_EQ(closed, 0);
  child.allow = true;
  parent.CloseWindow();
  EXPECT_FALSE(parent.IsCreated());
  EXPECT_EQ(closed, 0) << "told after the closing handler returns";
  test::PumpMessages();
  EXPECT_EQ(closed, 1);
}

TEST(WindowClosing, TheOwnerMayDeleteTheWindowWhenItIsToldOfTheClose) {
  auto w = std::make_unique<Window>();
  w->Create();
  w->OnClosed([&] { w.reset(); });
  w->OnCommand(1, [&] { w->CloseWindow(); });
  Application::Instance()->RouteCommand(1, w.get());  // closed from its own handler
  test::PumpMessages();
  EXPECT_EQ(w, nullptr);
}

TEST(WindowState, TheBackgroundTakesTheColourGiven) {
  Window w;
  w.SetRect({0, 0, 40, 30});
  w.SetBackground(SystemColorOf(SystemColor::ButtonFace));
  w.Create();
  EXPECT_EQ(test::SamplePixel(w, {20, 15}), SystemColorOf(SystemColor::ButtonFace));
  w.SetBackground(kBlue);
  EXPECT_EQ(test::SamplePixel(w, {20, 15}), kBlue);
}

TEST(WindowGeometry, ScreenAndClientPointsConvertBothWays) {
  Window top;
  top.SetRect({100, 50, 300, 250});
  Window child(&top);
  child.SetRect({10, 20, 60, 40});
  top.Create();
  top.Show();
  test::PumpMessages();
  const Point screen = child.ClientToScreen({5, 6});
  EXPECT_EQ(child.ScreenToClient(screen), (Point{5, 6}));
  EXPECT_EQ(top.ScreenToClient(screen), (Point{15, 26}));
  EXPECT_EQ(child.WindowRect(), (Rect{10, 20, 60, 40}));
  const Rect work = Window::ScreenWorkArea();
  EXPECT_GT(work.Width(), 0);
  EXPECT_GT(work.Height(), 0);
}

TEST(WindowState, ShowHideEnableAndFocus) {
  Window top;
  Window child(&top);
  child.Enable(false);
  top.Create();
  EXPECT_FALSE(child.IsEnabled()) << "a state set before Create is applied by it";
  child.Enable(true);
  top.Show();
  test::PumpMessages();
  EXPECT_TRUE(child.IsVisible());
  child.Hide();
  EXPECT_FALSE(child.IsVisible());
  child.Show();
  child.Widget()->setFocusPolicy(Qt::StrongFocus);
  top.Widget()->activateWindow();
  child.SetFocus();
  test::PumpMessages();
  EXPECT_TRUE(child.HasFocus());
  EXPECT_EQ(Window::FocusWindow(), &child);
}

TEST(WindowState, TopLevelWindowsMaximiseMinimiseStayOnTopAndComeToTheTop) {
  Window report;
  report.SetStaysOnTop(true);
  report.Create();
  report.Show();
  EXPECT_TRUE(report.Widget()->windowFlags() & Qt::WindowStaysOnTopHint) << "set before Create";
  report.SetStaysOnTop(false);
  EXPECT_FALSE(report.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(report.IsVisible()) << "a flag change keeps a shown window shown";

  Window other;
  other.Create();
  other.Show();
  report.BringToTop();
  test::PumpMessages();
  EXPECT_EQ(QApplication::activeWindow(), report.Widget());
  other.BringToTop();
  test::PumpMessages();
  EXPECT_EQ(QApplication::activeWindow(), other.Widget());

  Window frame;
  frame.Create();
  EXPECT_FALSE(frame.IsMaximized());
  frame.ShowMaximized();
  EXPECT_TRUE(frame.IsMaximized());
  EXPECT_TRUE(frame.IsVisible());
  frame.ShowMinimized();
  EXPECT_TRUE(frame.IsMinimized());
  frame.Destroy();
  EXPECT_FALSE(frame.IsMinimized());
}

TEST(ScrollingWindowTest, ChildrenMoveWithTheScrollBarsAndTheSizeCanBeLimitedOrFitted) {
  ScrollingWindow scroller;
  scroller.SetRect({0, 0, 200, 150});
  scroller.SetContentSize({200, 600});
  Window pane(&scroller);
  pane.SetRect({0, 300, 180, 340});
  scroller.Create();
  scroller.Show();
  test::PumpMessages();
  const Point before = pane.ClientToScreen({0, 0});
  scroller.ScrollTo({0, 200});
  EXPECT_EQ(scroller.ScrollPosition(), (Point{0, 200}));
  EXPECT_EQ(pane.ClientToScreen({0, 0}).y, before.y - 200);
  EXPECT_EQ(pane.WindowRect(), (Rect{0, 300, 180, 340}))
      << "the pane keeps its place on the content";
  // Fitted, the whole content shows and nothing scrolls.
  scroller.FitToContent();
  test::PumpMessages();
  scroller.ScrollTo({0, 100});
  EXPECT_EQ(scroller.ScrollPosition(), (Point{0, 0}));
  scroller.SetMaximumSize({220, 640});
  scroller.SetClientSize({400, 900});
  EXPECT_EQ(scroller.ClientRect(), (Rect{0, 0, 220, 640}));
  // A limit raised again gives back the size the window was given, as a window whose content
  // grows pane by pane needs.
  scroller.SetMaximumSize({100, 80});
  scroller.SetMaximumSize({300, 2000});
  EXPECT_EQ(scroller.ClientRect(), (Rect{0, 0, 300, 900}));
}

}  // namespace
}  // namespace ui
