#include <gtest/gtest.h>

#include "controls/TColorButton.h"
#include "controls/TLEDButton.h"
#include "controls/TNetButton.h"
#include "controls/TPolarityButton.h"
#include "controls/TSwitchButton.h"
#include "platform/ui/TestHooks.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using controlstest::DarkShadow;
using controlstest::Face;
using controlstest::Highlight;
using controlstest::Host;
using controlstest::Shadow;
using ui::test::SamplePixel;

// Each button 40 x 20 pixels, the lamp and the glyph buttons 24 x 24.
struct IndicatorButtonTest : testing::Test {
  Host host;
  TColorButton swatch{&host, 601};
  TLEDButton lamp{&host, 602};
  TLEDButton bitmapLamp{&host, 603};
  TPolarityButton polarity{&host, 604};
  TNetButton net{&host, 605};
  TSwitchButton horizontalSwitch{&host, 606};
  TSwitchButton verticalSwitch{&host, 607};

  void SetUp() override {
    Host::Place(swatch, {10, 10, 50, 30});
    Host::Place(lamp, {60, 10, 100, 30});
    Host::Place(bitmapLamp, {110, 10, 134, 34});
    Host::Place(polarity, {140, 10, 164, 34});
    Host::Place(net, {170, 10, 210, 30});
    Host::Place(horizontalSwitch, {10, 50, 50, 70});
    Host::Place(verticalSwitch, {60, 50, 80, 90});
    swatch.SetColor(ui::kYellow);
    lamp.SetText("On");
    bitmapLamp.SetStyle(0);
    horizontalSwitch.SetOpenColors({ui::kRed, ui::kBlue});
    horizontalSwitch.SetClosedColors({ui::kGreen, ui::kBlack});
    verticalSwitch.SetOpenColors({ui::kRed, ui::kBlue});
    verticalSwitch.SetHorizontal(false);
    verticalSwitch.SetClosedValue(1);
    host.Open();
  }
};

TEST_F(IndicatorButtonTest, ColorSwatchSitsInASunkenBevel) {
  EXPECT_EQ(SamplePixel(swatch, {20, 10}), ui::kYellow);
  EXPECT_EQ(SamplePixel(swatch, {0, 0}), Shadow());
  EXPECT_EQ(SamplePixel(swatch, {20, 18}), Highlight());
  EXPECT_EQ(SamplePixel(swatch, {2, 10}), ui::kYellow) << "two pixels of bevel";
  swatch.SetNoColor(true);
  swatch.Redraw();
  EXPECT_EQ(SamplePixel(swatch, {20, 10}), Face());
  controlstest::SavePicture(host, "indicator_buttons.png");
}

// True when some pixel of the rectangle is dark, as text is (its edges are smoothed).
bool ShowsDarkPixels(ui::Window& w, const ui::Rect& r) {
  constexpr int kDarkLevel = 100;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const ui::Color c = SamplePixel(w, {x, y});
      if (c.r < kDarkLevel && c.g < kDarkLevel && c.b < kDarkLevel) return true;
    }
  }
  return false;
}

TEST_F(IndicatorButtonTest, ColouredLampShowsItsStateColourAndPushStyleRaisesIt) {
  EXPECT_EQ(SamplePixel(lamp, {3, 3}), Face()) << "state 0";
  EXPECT_TRUE(ShowsDarkPixels(lamp, {10, 4, 30, 16})) << "the caption in the middle";
  EXPECT_FALSE(ShowsDarkPixels(lamp, {2, 2, 8, 18})) << "and nothing beside it";
  for (const auto& [state, colour] : {std::pair{1, ui::kRed}, std::pair{2, ui::kYellow},
                                      std::pair{3, ui::kGreen}, std::pair{7, Face()}}) {
    lamp.SetState(state);
    lamp.Redraw();
    EXPECT_EQ(SamplePixel(lamp, {3, 3}), colour) << state;
    // The caption stays on the new colour.
    EXPECT_TRUE(ShowsDarkPixels(lamp, {10, 4, 30, 16})) << state;
  }
  EXPECT_EQ(SamplePixel(lamp, {2, 2}), ui::kBlack) << "redrawn at once, outlined inside the bevel";
  EXPECT_EQ(SamplePixel(lamp, {1, 1}), Shadow());
  EXPECT_EQ(SamplePixel(lamp, {0, 0}), Shadow()) << "sunken without push style";
  lamp.SetPushStyle(true);
  lamp.SetState(3);
  lamp.OwnerDrawButton::Redraw();
  EXPECT_EQ(SamplePixel(lamp, {0, 0}), Highlight());
  EXPECT_EQ(SamplePixel(lamp, {39, 19}), Shadow());
  controlstest::SavePicture(lamp, "led_coloured.png");
}

TEST_F(IndicatorButtonTest, BitmapLampShowsItsFrameCentredInARing) {
  bitmapLamp.SetState(3);
  bitmapLamp.Redraw();
  // 24 x 24 with 16-pixel frames: the image at (4, 4), its disc centred at (12, 12).
  EXPECT_EQ(SamplePixel(bitmapLamp, {12, 12}), ui::kGreen);
  EXPECT_EQ(SamplePixel(bitmapLamp, {5, 5}), Face()) << "outside the mask";
  bitmapLamp.SetState(1);
  bitmapLamp.OwnerDrawButton::Redraw();
  EXPECT_EQ(SamplePixel(bitmapLamp, {12, 12}), ui::kRed);
  controlstest::SavePicture(bitmapLamp, "led_bitmap.png");
}

TEST_F(IndicatorButtonTest, ALampWithTheFocusShowsADottedFrameInsideItsBevel) {
  lamp.SetState(TLEDButton::kGreen);
  bitmapLamp.SetState(3);
  for (TLEDButton* button : {&lamp, &bitmapLamp}) {
    const ui::Rect client = button->ClientRect();
    // Along the left edge of the mark, clear of the caption and the ring.
    const int x = button == &lamp ? 3 : 2;
    const ui::Rect markEdge{x, 3, x + 1, client.bottom - 3};
    button->OwnerDrawButton::Redraw();
    EXPECT_FALSE(ShowsDarkPixels(*button, markEdge)) << "without the focus";
    button->SetFocus();
    ui::test::PumpMessages();
    EXPECT_TRUE(ShowsDarkPixels(*button, markEdge));
    button->Redraw();  // a state change drawn at once keeps it
    EXPECT_TRUE(ShowsDarkPixels(*button, markEdge));
  }
  controlstest::SavePicture(bitmapLamp, "led_bitmap_focused.png");
}

TEST_F(IndicatorButtonTest, PolarityGlyphFollowsTheStateAndADisabledButtonIsPlain) {
  // 24 x 24 with 10-pixel frames: the glyph at (7, 7); "+" has a vertical bar, "-" none.
  EXPECT_EQ(SamplePixel(polarity, {12, 9}), ui::kBlack);
  EXPECT_EQ(SamplePixel(polarity, {9, 11}), ui::kBlack);
  polarity.SetState(1);
  polarity.Redraw();
  EXPECT_EQ(SamplePixel(polarity, {12, 9}), Face());
  EXPECT_EQ(SamplePixel(polarity, {9, 11}), ui::kBlack);
  EXPECT_EQ(SamplePixel(polarity, {0, 0}), Shadow());
  polarity.Enable(false);
  polarity.Redraw();
  EXPECT_EQ(SamplePixel(polarity, {9, 11}), Face());
  EXPECT_EQ(SamplePixel(polarity, {0, 0}), Face()) << "no bevel";
}

TEST_F(IndicatorButtonTest, NetButtonDrawsEachRouteInsideATwoPixelMargin) {
  EXPECT_EQ(SamplePixel(net, {20, 2}), Face()) << "no routes";
  EXPECT_EQ(SamplePixel(net, {0, 0}), Face()) << "the face covers the outline";
  net.SetRoutes({true, true, true, true});
  net.DrawFace();
  // Inner rectangle (2, 2)-(38, 18).
  EXPECT_EQ(SamplePixel(net, {20, 2}), ui::kBlack);
  EXPECT_EQ(SamplePixel(net, {20, 18}), ui::kBlack);
  EXPECT_EQ(SamplePixel(net, {38, 2}), Face()) << "line ends are exclusive";
  EXPECT_EQ(SamplePixel(net, {2, 2}), ui::kBlack);
  EXPECT_EQ(SamplePixel(net, {20, 10}), ui::kBlack) << "the diagonals cross in the middle";
  net.SetRoutes({false, false, true, false});
  net.DrawFace();
  EXPECT_EQ(SamplePixel(net, {20, 2}), Face());
  EXPECT_EQ(SamplePixel(net, {2, 18}), ui::kBlack) << "the rising diagonal starts low left";
  controlstest::SavePicture(net, "net_button.png");
}

TEST_F(IndicatorButtonTest, SwitchDrawsTwoToneStrokesOpenOrClosed) {
  // Horizontal, 40 x 20: w 39, h 19, centre (19, 9). State 0 equals the closed value 0.
  EXPECT_TRUE(horizontalSwitch.IsClosed());
  EXPECT_EQ(SamplePixel(horizontalSwitch, {20, 9}), ui::kBlack) << "closed colour 2";
  EXPECT_EQ(SamplePixel(horizontalSwitch, {20, 10}), ui::kGreen) << "closed colour 1, a pixel down";
  EXPECT_EQ(SamplePixel(horizontalSwitch, {37, 9}), Face()) << "the line is w - 4 long from x 2";
  EXPECT_EQ(SamplePixel(horizontalSwitch, {36, 9}), ui::kBlack);
  controlstest::SavePicture(horizontalSwitch, "switch_closed.png");
  horizontalSwitch.SetState(1);
  horizontalSwitch.Redraw();
  EXPECT_EQ(SamplePixel(horizontalSwitch, {30, 9}), ui::kBlue);
  EXPECT_EQ(SamplePixel(horizontalSwitch, {30, 10}), ui::kRed);
  EXPECT_EQ(SamplePixel(horizontalSwitch, {5, 9}), ui::kBlue);
  EXPECT_EQ(SamplePixel(horizontalSwitch, {19, 9}), Face()) << "the gap under the blade";
  EXPECT_EQ(SamplePixel(horizontalSwitch, {19, 4}), ui::kBlue) << "the blade rises to the right";
  controlstest::SavePicture(horizontalSwitch, "switch_open.png");
  // Vertical, 20 x 40: w 19, h 39, centre (9, 19); open: the blade swings left.
  EXPECT_EQ(SamplePixel(verticalSwitch, {9, 5}), ui::kBlue);
  EXPECT_EQ(SamplePixel(verticalSwitch, {10, 5}), ui::kRed) << "colour 1 a pixel right";
  EXPECT_EQ(SamplePixel(verticalSwitch, {9, 19}), Face());
  controlstest::SavePicture(verticalSwitch, "switch_vertical_open.png");
}

}  // namespace
