#include <gtest/gtest.h>

#include <map>

#include "controls/TQuadButton.h"
#include "platform/ui/Button.h"
#include "platform/ui/TestHooks.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using controlstest::Host;
using ui::Point;

constexpr int kQuadId = 500;
// 40 x 30 pixels: half width 20, half height 15.
constexpr ui::Rect kQuadRect{10, 10, 50, 40};
constexpr Point kUpperLeft{5, 5};
constexpr Point kLowerRight{25, 20};

struct QuadButtonTest : testing::Test {
  Host host;
  TQuadButton quad{&host, kQuadId};

  void SetUp() override {
    Host::Place(quad, kQuadRect);
    host.Record(TQuadButton::kQuadSpin);
    host.Open();
  }
  void TearDown() override {
    if (ui::Window::MouseCapture() == &quad) ui::test::MouseUp(quad, kUpperLeft);
  }
  // The steps received since the last call, in order.
  std::vector<int> TakeSteps() {
    ui::test::PumpMessages();
    std::vector<int> steps;
    for (const ui::Message& m : host.received) {
      EXPECT_EQ(m.lParam, reinterpret_cast<ui::Param>(&quad));
      steps.push_back(static_cast<int>(m.wParam));
    }
    host.received.clear();
    return steps;
  }
  std::map<int, int> CountSteps() {
    std::map<int, int> counts;
    for (int step : TakeSteps()) ++counts[step];
    return counts;
  }
};

TEST_F(QuadButtonTest, TheKeyboardPassesItBy) {
  // Its neighbour on the host, which Tab leaves for the next stop.
  ui::PushButton before{&host, 501};
  Host::Place(before, {60, 10, 100, 30});
  before.Create();
  host.Widget()->activateWindow();
  before.SetFocus();
  ui::test::PressKey(before, Qt::Key_Tab);
  EXPECT_FALSE(quad.IsFocusOfItsWindow());
  EXPECT_TRUE(before.IsFocusOfItsWindow());
}

TEST_F(QuadButtonTest, AClickSendsOneStepAndNamesItsZone) {
  ui::test::MouseDown(quad, kLowerRight);
  ui::test::MouseUp(quad, kLowerRight);
  ui::test::StepTimers(1000);
  EXPECT_EQ(TakeSteps(), std::vector<int>{1});
  EXPECT_EQ(quad.CurrentZone(), TQuadButton::kLowerRight);
  EXPECT_FALSE(quad.IsZonePressed(TQuadButton::kLowerRight));
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

TEST_F(QuadButtonTest, HoldingRepeatsAfterAPauseAndDoublesTheStepEvery25Ticks) {
  ui::test::MouseDown(quad, kUpperLeft);
  EXPECT_EQ(TakeSteps(), std::vector<int>{1});
  ui::test::StepTimers(240);
  EXPECT_TRUE(TakeSteps().empty()) << "ticks 1-24 are the pause";
  ui::test::StepTimers(260);  // ticks 25-50
  EXPECT_EQ(CountSteps(), (std::map<int, int>{{1, 25}, {2, 1}}));
  ui::test::StepTimers(500);  // ticks 51-100
  EXPECT_EQ(CountSteps(), (std::map<int, int>{{2, 24}, {4, 25}, {8, 1}}));
  ui::test::MouseUp(quad, kUpperLeft);
  ui::test::StepTimers(100);
  EXPECT_TRUE(TakeSteps().empty());
}

TEST_F(QuadButtonTest, AVeryLongHoldStopsDoublingBeforeTheStepOverflows) {
  ui::test::MouseDown(quad, kUpperLeft);
  ui::test::StepTimers(40 * TQuadButton::kTicksPerDoubling * TQuadButton::kTickMs);
  const std::vector<int> steps = TakeSteps();
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), TQuadButton::kMaxStep);
  for (size_t i = 1; i < steps.size(); ++i) ASSERT_GE(steps[i], steps[i - 1]);
  ui::test::MouseUp(quad, kUpperLeft);
}

TEST_F(QuadButtonTest, DraggingOutOfTheZonePausesTheRepeatAndBackInResumesIt) {
  ui::test::MouseDown(quad, kUpperLeft);
  ui::test::StepTimers(100);           // ticks 1-10
  ui::test::MouseMove(quad, {25, 5});  // into another zone: still outside the pressed one
  EXPECT_FALSE(quad.IsZonePressed(TQuadButton::kUpperLeft));
  EXPECT_FALSE(quad.IsZonePressed(TQuadButton::kUpperRight));
  ui::test::StepTimers(1000);
  EXPECT_EQ(TakeSteps(), std::vector<int>{1}) << "only the press";
  ui::test::MouseMove(quad, kUpperLeft);
  EXPECT_TRUE(quad.IsZonePressed(TQuadButton::kUpperLeft));
  ui::test::StepTimers(140);  // ticks 11-24: the count was kept while paused
  EXPECT_TRUE(TakeSteps().empty());
  ui::test::StepTimers(10);
  EXPECT_EQ(TakeSteps(), std::vector<int>{1});
}

TEST_F(QuadButtonTest, TheGapsBetweenAndAroundTheZonesPressNothing) {
  for (const Point p : {Point{17, 5}, Point{19, 5}, Point{37, 5}, Point{39, 20}, Point{5, 14},
                        Point{25, 14}, Point{5, 29}}) {
    ui::test::MouseDown(quad, p);
    EXPECT_EQ(quad.CurrentZone(), TQuadButton::kNoZone) << p.x << "," << p.y;
    EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
    ui::test::MouseUp(quad, p);
  }
  ui::test::StepTimers(500);
  EXPECT_TRUE(TakeSteps().empty());
  for (const Point p : {Point{16, 13}, Point{20, 0}, Point{36, 28}, Point{0, 15}}) {
    ui::test::MouseDown(quad, p);
    EXPECT_NE(quad.CurrentZone(), TQuadButton::kNoZone) << p.x << "," << p.y;
    ui::test::MouseUp(quad, p);
  }
}

TEST_F(QuadButtonTest, ADoubleClickIsASecondPressThatRestartsTheRepeat) {
  ui::test::MouseDown(quad, kUpperLeft);
  ui::test::StepTimers(200);
  quad.Dispatch({ui::msg::kLButtonDblClk, ui::mouse::kLeftButton, ui::PackPoint(kUpperLeft)});
  ui::test::StepTimers(240);
  EXPECT_EQ(TakeSteps(), (std::vector<int>{1, 1}));
  ui::test::StepTimers(10);
  EXPECT_EQ(TakeSteps(), std::vector<int>{1});
}

TEST_F(QuadButtonTest, PressesOnZonesAndGapsNeverClickTheButtonUnderneath) {
  int clicks = 0;
  host.OnCommand(kQuadId, [&clicks] { ++clicks; });
  for (const Point p : {kUpperLeft, kLowerRight, Point{17, 5}}) {
    ui::test::MouseDown(quad, p);
    ui::test::MouseUp(quad, p);
  }
  ui::test::PumpMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(TakeSteps(), (std::vector<int>{1, 1})) << "the zones still took both presses";
}

TEST_F(QuadButtonTest, ZonesLookRaisedAndSinkWhilePressed) {
  // Upper-left zone: (0, 0)-(17, 14); its glyph (two arrows up) at (6, 3).
  EXPECT_EQ(ui::test::SamplePixel(quad, {0, 0}), controlstest::Highlight());
  EXPECT_EQ(ui::test::SamplePixel(quad, {5, 14}), controlstest::DarkShadow());
  EXPECT_EQ(ui::test::SamplePixel(quad, {17, 5}), controlstest::DarkShadow());
  EXPECT_EQ(ui::test::SamplePixel(quad, {5, 13}), controlstest::Shadow());
  EXPECT_EQ(ui::test::SamplePixel(quad, {16, 5}), controlstest::Shadow());
  EXPECT_EQ(ui::test::SamplePixel(quad, {3, 7}), controlstest::Face());
  EXPECT_EQ(ui::test::SamplePixel(quad, {9, 3}), ui::kBlack);
  EXPECT_EQ(ui::test::SamplePixel(quad, {8, 3}), controlstest::Face())
      << "outside the glyph's mask";
  controlstest::SavePicture(quad, "quad_idle.png");

  ui::test::MouseDown(quad, kUpperLeft);
  EXPECT_EQ(ui::test::SamplePixel(quad, {0, 0}), controlstest::DarkShadow());
  EXPECT_EQ(ui::test::SamplePixel(quad, {5, 14}), controlstest::Highlight());
  EXPECT_EQ(ui::test::SamplePixel(quad, {5, 13}), controlstest::Face()) << "no inner shadow";
  EXPECT_EQ(ui::test::SamplePixel(quad, {10, 4}), ui::kBlack) << "the glyph moves down and right";
  EXPECT_EQ(ui::test::SamplePixel(quad, {20, 0}), controlstest::Highlight()) << "others stay up";
  controlstest::SavePicture(quad, "quad_pressed.png");
  ui::test::MouseUp(quad, kUpperLeft);
  EXPECT_EQ(ui::test::SamplePixel(quad, {0, 0}), controlstest::Highlight());
}

}  // namespace
