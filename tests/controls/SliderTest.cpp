#include <gtest/gtest.h>

#include "controls/TMyVSlider.h"
#include "platform/ui/TestHooks.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using controlstest::Host;
using ui::ScrollCode;

TEST(SliderTravel, MapsPixelsToPositionsWithTheMinimumAtTheBottom) {
  // 120 pixels high: travel from y 10 to 109, one unit per pixel for the range 0..99.
  const SliderTravel travel(120, 0, 99);
  EXPECT_EQ(travel.bottom, 109);
  EXPECT_EQ(travel.PositionAt(59), 50);
  EXPECT_EQ(travel.PositionAt(10), 99);
  EXPECT_EQ(travel.PositionAt(9), 99) << "above the travel: the maximum";
  EXPECT_EQ(travel.PositionAt(109), 0);
  EXPECT_EQ(travel.PositionAt(110), 0) << "below the travel: the minimum";
  EXPECT_EQ(travel.ThumbTop(50, 8), 55);
  EXPECT_EQ(travel.ThumbTop(0, 8), 105);
  // Two units per pixel from -20: truncated toward zero.
  const SliderTravel coarse(120, -20, 178);
  EXPECT_EQ(coarse.PositionAt(58), -20 + 102);
  EXPECT_EQ(coarse.ThumbTop(-19, 8), 104);
  // A slider too short for a travel must not divide by zero.
  const SliderTravel flat(21, 0, 10);
  EXPECT_EQ(flat.PositionAt(10), 0);
  EXPECT_EQ(flat.ThumbTop(5, 8), 6);
}

// 21 x 120 pixels, range 0..40 shown as -10.0 to +10.0 dB: groove x 11, thumb left 4.
struct SliderTest : testing::Test {
  Host host;
  TMyVSlider slider{&host, 800};

  void SetUp() override {
    Host::Place(slider, {20, 20, 41, 140});
    slider.SetDisplay(0.5f, -10.0f);
    host.Record(TMyVSlider::kScrollMessage);
    host.Open();
    slider.SetRange(0, 40);
  }
  void TearDown() override {
    if (ui::Window::MouseCapture() == &slider) ui::test::MouseUp(slider, {0, 0});
  }
  std::vector<std::pair<int, ScrollCode>> TakeScrolls() {
    ui::test::PumpMessages();
    std::vector<std::pair<int, ScrollCode>> scrolls;
    for (const ui::Message& m : host.received) {
      EXPECT_EQ(m.lParam, reinterpret_cast<ui::Param>(&slider));
      scrolls.emplace_back(TMyVSlider::ScrollPosition(m.wParam),
                           TMyVSlider::ScrollCodeOf(m.wParam));
    }
    host.received.clear();
    return scrolls;
  }
};

TEST_F(SliderTest, SetValueKeepsWithinTheRange) {
  slider.SetValue(50);
  EXPECT_EQ(slider.GetValue(), 40);
  slider.SetValue(-3);
  EXPECT_EQ(slider.GetValue(), 0);
  EXPECT_EQ(slider.StepUp(5), 5);
  EXPECT_EQ(slider.StepDown(10), 0);
  EXPECT_TRUE(TakeScrolls().empty()) << "only the user's moves are reported";
}

TEST_F(SliderTest, PressDragAndReleaseReportLikeAScrollBar) {
  ui::test::MouseDown(slider, {6, 7});  // on the thumb's band, above the travel
  EXPECT_EQ(slider.GetValue(), 40);
  ui::test::MouseUp(slider, {6, 7});
  EXPECT_EQ(TakeScrolls(), (std::vector<std::pair<int, ScrollCode>>{{40, ScrollCode::ThumbPosition},
                                                                    {40, ScrollCode::EndScroll}}));
  ui::test::MouseDown(slider, {16, 112});  // the band's lower right corner, below the travel
  EXPECT_EQ(slider.GetValue(), 0);
  ui::test::MouseMove(slider, {30, 59});  // outside the slider: still its drag
  ui::test::MouseUp(slider, {30, 59});
  EXPECT_EQ(TakeScrolls(), (std::vector<std::pair<int, ScrollCode>>{{0, ScrollCode::ThumbPosition},
                                                                    {20, ScrollCode::ThumbTrack},
                                                                    {20, ScrollCode::EndScroll}}));
  ui::test::MouseDown(slider, {3, 59});   // beside the thumb's band
  ui::test::MouseDown(slider, {6, 114});  // below it
  EXPECT_EQ(slider.GetValue(), 20);
  EXPECT_TRUE(TakeScrolls().empty());
}

TEST_F(SliderTest, TheReadOutShowsTheScaledValueWhileTheSliderHasTheFocus) {
  slider.SetValue(20);
  slider.Dispatch({ui::msg::kSetFocus, 0, 0});
  ASSERT_NE(slider.ReadOut(), nullptr);
  EXPECT_EQ(slider.ReadOut()->ValueText(), "0.0");
  EXPECT_TRUE(slider.IsActive());
  slider.SetValue(0);
  EXPECT_EQ(slider.ReadOut()->ValueText(), "-10.0");
  slider.SetValue(40);
  EXPECT_EQ(slider.ReadOut()->ValueText(), "10.0");
  slider.Dispatch({ui::msg::kKillFocus, 0, 0});
  EXPECT_EQ(slider.ReadOut(), nullptr);
  EXPECT_FALSE(slider.IsActive());
}

TEST_F(SliderTest, TheReadOutAppearsBesideTheFocusedSliderWithoutTakingTheFocus) {
  slider.SetFocus();
  ui::test::PumpMessages();
  ASSERT_NE(slider.ReadOut(), nullptr);
  EXPECT_TRUE(slider.ReadOut()->IsVisible());
  EXPECT_TRUE(slider.HasFocus());
  EXPECT_TRUE(slider.IsActive());
  // Beside the slider: wherever the thumb is dragged, the box never hides it.
  const ui::Rect box = slider.ReadOut()->WindowRect();
  const ui::Point sliderTopRight = slider.ClientToScreen({slider.ClientRect().right, 0});
  EXPECT_GE(box.left, sliderTopRight.x);
}

TEST_F(SliderTest, GrooveFrameAndThumbPixels) {
  // The only control of the opened host has the focus; these are the pixels of an idle slider.
  slider.Dispatch({ui::msg::kKillFocus, 0, 0});
  slider.SetFrameStyle(-1);
  slider.SetValue(0);
  slider.Redraw();
  const ui::Color groove = controlstest::DarkShadow();
  EXPECT_EQ(ui::test::SamplePixel(slider, {10, 30}), groove);
  EXPECT_EQ(ui::test::SamplePixel(slider, {9, 30}), groove) << "three pixels wide";
  EXPECT_EQ(ui::test::SamplePixel(slider, {11, 30}), groove);
  EXPECT_EQ(ui::test::SamplePixel(slider, {5, 30}), controlstest::Face());
  EXPECT_EQ(ui::test::SamplePixel(slider, {0, 50}), controlstest::Shadow()) << "sunken frame";
  EXPECT_EQ(ui::test::SamplePixel(slider, {20, 50}), controlstest::Highlight());
  // Position 0: the thumb's top edge at 109 - 4 = 105, its left edge at 4; the centre line black.
  EXPECT_EQ(ui::test::SamplePixel(slider, {4, 105}), controlstest::Highlight());
  EXPECT_EQ(ui::test::SamplePixel(slider, {10, 108}), ui::kBlack);
  controlstest::SavePicture(slider, "slider_bottom.png");
  slider.SetValue(40);  // at once, without a paint: the old place is cleared
  EXPECT_EQ(ui::test::SamplePixel(slider, {4, 7}), controlstest::Highlight());
  EXPECT_EQ(ui::test::SamplePixel(slider, {10, 108}), groove);
  EXPECT_EQ(ui::test::SamplePixel(slider, {5, 108}), controlstest::Face());
  controlstest::SavePicture(slider, "slider_top.png");
}

}  // namespace
