#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "controls/TLogHotGauge2.h"
#include "platform/ui/TestHooks.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using controlstest::Face;
using controlstest::Host;
using ui::test::SamplePixel;

// 100 x 50: band (10, 10)-(90, 40), radius 200, centre (50, 210); the top edge runs from x 10
// to 90.
constexpr ui::Size kGaugeSize{100, 50};
constexpr int kRow = 20;  // a row of the band well inside the circle

TEST(FanGeometry, FractionsSpanTheTopEdgeAndTheBandIsCutByTheArc) {
  const FanGeometry fan = FanGeometry::For(kGaugeSize);
  EXPECT_NEAR(fan.AtFraction(0.0f).x, 10, 1);
  EXPECT_EQ(fan.AtFraction(0.5f), (ui::Point{50, 10}));
  EXPECT_NEAR(fan.AtFraction(1.0f).x, 90, 1);
  EXPECT_EQ(fan.AtFraction(5.0f), fan.AtFraction(1.0f)) << "no ray past the ends";
  EXPECT_EQ(fan.AtFraction(NAN), fan.AtFraction(0.0f));
  EXPECT_TRUE(fan.region.Contains({50, 11}));
  EXPECT_FALSE(fan.region.Contains({12, 11})) << "above the arc";
  EXPECT_FALSE(fan.region.Contains({12, 38})) << "left of the ray";
}

struct GaugeTest : testing::Test {
  Host host;
  TLogHotGauge2 gauge{&host, 700};

  void SetUp() override {
    Host::Place(gauge, {10, 10, 10 + kGaugeSize.cx, 10 + kGaugeSize.cy});
    host.Open();
    gauge.SetScale(-40.0f, 0.0f);
    gauge.SetThresholds(-12.0f, -6.0f);
  }
  ui::Color Show(float levelDb, int x) {
    gauge.SetLevel(levelDb);
    gauge.PaintLevel();
    return SamplePixel(gauge, {x, kRow});
  }
};

TEST_F(GaugeTest, FrameAndOutline) {
  EXPECT_EQ(SamplePixel(gauge, {0, 0}), controlstest::Highlight());
  EXPECT_EQ(SamplePixel(gauge, {99, 49}), controlstest::DarkShadow());
  EXPECT_EQ(SamplePixel(gauge, {5, 45}), Face());
  EXPECT_EQ(SamplePixel(gauge, {50, 40}), controlstest::Highlight()) << "the bottom edge";
  EXPECT_EQ(SamplePixel(gauge, {50, 10}), controlstest::Shadow()) << "the top of the arc";
  controlstest::SavePicture(gauge, "gauge_empty.png");
}

TEST_F(GaugeTest, BandsReadBlueThenGreenThenYellowUpToTheLevel) {
  // -9 dB: blue to -12 dB (x 64 on this row), green from there to the level (x 69).
  EXPECT_EQ(Show(-9.0f, 30), ui::kBlue);
  EXPECT_EQ(SamplePixel(gauge, {14, kRow}), ui::kBlue);
  EXPECT_EQ(SamplePixel(gauge, {67, kRow}), ui::kGreen);
  EXPECT_EQ(SamplePixel(gauge, {75, kRow}), Face());
  controlstest::SavePicture(gauge, "gauge_minus9.png");
  // Exactly at the yellow threshold: no yellow (the comparisons are strict).
  EXPECT_EQ(Show(-6.0f, 73), ui::kGreen);
  EXPECT_EQ(SamplePixel(gauge, {78, kRow}), Face());
  EXPECT_EQ(Show(-3.0f, 79), ui::kYellow);
  EXPECT_EQ(SamplePixel(gauge, {73, kRow}), ui::kGreen);
  EXPECT_EQ(SamplePixel(gauge, {30, kRow}), ui::kBlue);
  controlstest::SavePicture(gauge, "gauge_minus3.png");
}

TEST_F(GaugeTest, AtTheTopTheWholeBandIsRedAndAtTheBottomEmpty) {
  EXPECT_EQ(Show(0.0f, 14), ui::kRed);
  EXPECT_EQ(SamplePixel(gauge, {50, kRow}), ui::kRed);
  EXPECT_EQ(SamplePixel(gauge, {86, kRow}), ui::kRed);
  controlstest::SavePicture(gauge, "gauge_top.png");
  gauge.SetScale(-40.0f, 0.0f);
  EXPECT_EQ(Show(-40.0f, 50), Face());
  EXPECT_EQ(SamplePixel(gauge, {30, kRow}), Face());
  EXPECT_EQ(Show(-1e30f, 50), Face()) << "far below the scale draws nothing odd";
}

TEST_F(GaugeTest, APeakIsHeldForTenRepaintsThenFollowsTheLevel) {
  gauge.SetLevel(-10.0f);
  gauge.PaintLevel();
  EXPECT_EQ(gauge.Peak(), -10.0f);
  gauge.SetLevel(-30.0f);
  for (int repaint = 1; repaint < TLogHotGauge2::kHoldRepaints; ++repaint) {
    gauge.PaintLevel();
    EXPECT_EQ(gauge.Peak(), -10.0f) << repaint;
  }
  // The peak line (towards x 69 at the top) crosses this row near x 68.
  bool peakLineShown = false;
  for (int x = 66; x <= 70; ++x) peakLineShown |= SamplePixel(gauge, {x, kRow}) == ui::kBlack;
  EXPECT_TRUE(peakLineShown);
  EXPECT_EQ(SamplePixel(gauge, {60, kRow}), Face()) << "-30 dB stops well left of it";
  controlstest::SavePicture(gauge, "gauge_peak.png");
  gauge.PaintLevel();
  EXPECT_EQ(gauge.Peak(), -30.0f);
  gauge.SetLevel(-20.0f);
  gauge.PaintLevel();
  EXPECT_EQ(gauge.Peak(), -20.0f) << "a higher level takes the peak at once";
}

// A level the owner could not read: no bar and no peak line, a "?" in the band instead, so that it
// never reads as a quiet signal; the next level shows again, its peak held afresh.
TEST_F(GaugeTest, AnUnknownLevelShowsNoBarNorPeakUntilALevelIsWritten) {
  EXPECT_EQ(Show(-3.0f, 30), ui::kBlue);
  gauge.ShowUnknown();
  EXPECT_TRUE(gauge.ShowsUnknown());
  // Text is smoothed: its strokes are dark, if not black.
  constexpr int kInkAtMost = 300;
  int coloured = 0;
  int inkLeft = kGaugeSize.cx;
  int inkRight = 0;
  for (int y = 11; y < 40; ++y) {
    for (int x = 11; x < 90; ++x) {
      const ui::Color pixel = SamplePixel(gauge, {x, y});
      coloured += pixel == ui::kBlue || pixel == ui::kGreen || pixel == ui::kYellow;
      if (pixel.r + pixel.g + pixel.b > kInkAtMost) continue;
      inkLeft = std::min(inkLeft, x);
      inkRight = std::max(inkRight, x);
    }
  }
  EXPECT_EQ(coloured, 0);
  // Ink in the middle of the band alone: the "?", and no peak line towards -3 dB at the right.
  EXPECT_GT(inkRight, inkLeft);
  EXPECT_GT(inkLeft, 35);
  EXPECT_LT(inkRight, 65);
  controlstest::SavePicture(gauge, "gauge_unknown.png");
  EXPECT_EQ(Show(-30.0f, 14), ui::kBlue);
  EXPECT_FALSE(gauge.ShowsUnknown());
  EXPECT_EQ(gauge.Peak(), -30.0f) << "no peak from before the silence";
}

}  // namespace
