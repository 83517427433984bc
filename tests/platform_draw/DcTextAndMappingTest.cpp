#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Text1252.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;

// The smallest rectangle holding every pixel that is not `background`.
ui::Rect InkBounds(const QImage& image, ui::Color background) {
  ui::Rect r{image.width(), image.height(), 0, 0};
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (PixelAt(image, x, y) == background) continue;
      r.left = std::min(r.left, x);
      r.top = std::min(r.top, y);
      r.right = std::max(r.right, x + 1);
      r.bottom = std::max(r.bottom, y + 1);
    }
  }
  return r;
}

TEST(DcText, CentredTextSitsInTheMiddleOfItsRectangle) {
  QImage image = ui::MakeDrawingSurface({200, 60});
  {
    ui::Dc dc(image);
    dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
    dc.DrawTextIn({0, 0, 200, 60}, "Level 12 dB",
                  {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
  }
  const ui::Rect ink = InkBounds(image, ui::kWhite);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 100.0, 3.0);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30.0, 4.0);
}

TEST(DcText, RightAlignedTextEndsAtTheRightEdgeAndOpaqueBackgroundFillsItsExtent) {
  QImage image = ui::MakeDrawingSurface({200, 40});
  ui::Size extent;
  {
    ui::Dc dc(image);
    dc.SetBackgroundMode(ui::BackgroundMode::Opaque);
    dc.SetBackgroundColor(ui::kYellow);
    extent = dc.MeasureText("Page 3");
    dc.DrawTextIn({0, 0, 150, 40}, "Page 3", {ui::TextAlign::Horizontal::Right});
  }
  EXPECT_EQ(PixelAt(image, 149, 0), ui::kYellow);
  EXPECT_EQ(PixelAt(image, 150, 0), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 150 - extent.cx, 0), ui::kYellow);
  EXPECT_EQ(PixelAt(image, 149 - extent.cx, 0), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 149, extent.cy), ui::kWhite);
}

TEST(DcText, PointSizesScaleWithTheDeviceResolution) {
  constexpr int kPrinterDpi = 600;
  constexpr double kInchesPerMeter = 39.3701;
  QImage screen = ui::MakeDrawingSurface({10, 10});
  QImage paper = ui::MakeDrawingSurface({10, 10});
  paper.setDotsPerMeterX(static_cast<int>(kPrinterDpi * kInchesPerMeter));
  paper.setDotsPerMeterY(static_cast<int>(kPrinterDpi * kInchesPerMeter));
  const ui::Font tenPoints{"Times Roman", 10.0, 400, false, ui::FontFamily::Serif};
  ui::Dc onScreen(screen);
  ui::Dc onPaper(paper);
  onScreen.SetFont(tenPoints);
  onPaper.SetFont(tenPoints);
  const ui::Size small = onScreen.MeasureText("Line");
  const ui::Size large = onPaper.MeasureText("Line");
  EXPECT_GE(large.cy, 10 * kPrinterDpi / 72);
  EXPECT_NEAR(double(large.cy) / small.cy, kPrinterDpi / 96.0, 1.0);
  EXPECT_EQ(onPaper.Metrics().dpiY, kPrinterDpi);
}

TEST(DcText, Windows1252BytesBecomeTheirCharacters) {
  EXPECT_EQ(ui::FromWindows1252("\x80 \xE9\x96\x81"),
            QString::fromUtf8("\u20AC \u00E9\u2013\u0081"));
  EXPECT_EQ(ui::FromWindows1252(std::string_view("a\0b", 3)).size(), 3);
}

TEST(DcMapping, DrawingFollowsTheMappingAndRegionsDoNot) {
  QImage image = ui::MakeDrawingSurface({100, 100});
  {
    ui::Dc dc(image);
    dc.Mapping().SetMode(ui::MappingMode::Anisotropic);
    dc.Mapping().SetWindowExtent({10, 10});
    dc.Mapping().SetViewportExtent({100, -100});
    dc.Mapping().SetViewportOrigin({0, 100});
    dc.SetPen(ui::Pen::Solid(ui::kBlack, 0));
    dc.MoveTo({1, 1});
    dc.LineTo({9, 1});  // device (10,90) to (90,90)
    dc.SetPen(ui::Pen::Solid(ui::kBlue, 1));
    dc.MoveTo({1, 3});
    dc.LineTo({9, 3});  // one logical unit is ten pixels wide
    dc.SetClip(ui::Region::FromRect({0, 0, 50, 50}));
    dc.FillRect({0, 0, 10, 10}, ui::kRed);  // only the device quarter at the top left
  }
  EXPECT_EQ(PixelAt(image, 10, 90), ui::kBlack);
  EXPECT_EQ(PixelAt(image, 89, 90), ui::kBlack);
  EXPECT_EQ(PixelAt(image, 90, 90), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 50, 66), ui::kBlue);
  EXPECT_EQ(PixelAt(image, 50, 74), ui::kBlue);
  EXPECT_EQ(PixelAt(image, 50, 78), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 10, 10), ui::kRed);
  EXPECT_EQ(PixelAt(image, 60, 10), ui::kWhite);
}

}  // namespace
