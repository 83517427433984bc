#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Text1252.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;

TEST(DcText, AlignedTextSitsWhereItsFlagsSayAndOpaqueBackgroundFillsItsExtent) {
  QImage image = ui::MakeDrawingSurface({200, 60});
  ui::Size extent;
  {
    ui::Dc dc(image);
    dc.SetBackgroundColor(ui::kYellow);
    extent = dc.MeasureText("Page 3");
    dc.DrawTextIn({0, 0, 150, 60}, "Page 3",
                  {ui::TextAlign::Horizontal::Right, ui::TextAlign::Vertical::Middle});
  }
  const int top = (60 - extent.cy) / 2;
  EXPECT_EQ(PixelAt(image, 149, top), ui::kYellow);
  EXPECT_EQ(PixelAt(image, 150 - extent.cx, top + extent.cy - 1), ui::kYellow);
  EXPECT_EQ(PixelAt(image, 150, top), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 149 - extent.cx, top), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 149, top - 1), ui::kWhite);
  EXPECT_EQ(PixelAt(image, 149, top + extent.cy), ui::kWhite);
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
  EXPECT_GE(onPaper.MeasureText("Line").cy, 10 * kPrinterDpi / 72);
  EXPECT_NEAR(double(onPaper.MeasureText("Line").cy) / onScreen.MeasureText("Line").cy,
              kPrinterDpi / 96.0, 1.0);
}

TEST(DcText, Windows1252BytesBecomeTheirCharacters) {
  EXPECT_EQ(ui::FromWindows1252("\x80 \xE9\x96\x81"),
            QString::fromUtf8("\u20AC \u00E9\u2013\u0081"));
  EXPECT_EQ(ui::FromWindows1252(std::string_view("a\0b", 3)).size(), 3);
}

TEST(DcMapping, DrawingFollowsTheMappingAndPenWidthsScaleButRegionsDoNot) {
  QImage image = ui::MakeDrawingSurface({100, 100});
  {
    ui::Dc dc(image);
    dc.Mapping().SetMode(ui::MappingMode::Anisotropic);
    dc.Mapping().SetWindowExtent({10, 10});
    dc.Mapping().SetViewportExtent({100, -100});
    dc.Mapping().SetViewportOrigin({0, 100});
    dc.SetPen(ui::Pen::Solid(ui::kBlack, 0));  // one pixel at any scale
    dc.Polyline({{1, 1}, {9, 1}});             // device (10,90) to (90,90)
    dc.SetPen(ui::Pen::Solid(ui::kBlue, 1));   // one logical unit: ten pixels
    dc.Polyline({{1, 3}, {9, 3}});
    dc.SetClip(ui::Region::FromRect({0, 0, 50, 50}));
    dc.FillRect({0, 0, 10, 10}, ui::kRed);
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

TEST(DcMapping, HundredthsOfAnInchFollowTheDeviceResolutionWithYUpwards) {
  constexpr int kPrinterDpi = 600;
  constexpr double kInchesPerMeter = 39.3701;
  QImage paper = ui::MakeDrawingSurface({700, 700});
  paper.setDotsPerMeterX(static_cast<int>(kPrinterDpi * kInchesPerMeter));
  paper.setDotsPerMeterY(static_cast<int>(kPrinterDpi * kInchesPerMeter));
  {
    ui::Dc dc(paper);
    ui::CoordinateMapping& mapping = dc.Mapping();
    mapping.SetMode(ui::MappingMode::LoEnglish);
    mapping.SetWindowExtent({7, 7});  // fixed by the mode: no effect
    mapping.SetViewportOrigin({0, 600});
    EXPECT_EQ(mapping.ToDevice({100, 50}), (ui::Point{600, 300})) << "one inch right, half up";
    EXPECT_EQ(mapping.ToLogical({300, 600}), (ui::Point{50, 0}));
    dc.FillRect({0, 100, 10, 90}, ui::kRed);  // device rows 0..59 of columns 0..59
  }
  EXPECT_EQ(PixelAt(paper, 30, 30), ui::kRed);
  EXPECT_EQ(PixelAt(paper, 30, 61), ui::kWhite);

  QImage screen = ui::MakeDrawingSurface({10, 10});
  ui::Dc onScreen(screen);
  onScreen.Mapping().SetMode(ui::MappingMode::LoEnglish);
  const int dpi = onScreen.Metrics().dpiX;
  EXPECT_EQ(onScreen.Mapping().ToDevice({100, 0}).x, dpi);
}

}  // namespace
