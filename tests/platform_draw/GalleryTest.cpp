#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "platform/ui/TestHooks.h"
#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"
#include "tests/support/OutputPath.h"

namespace {

using ui::Brush;
using ui::Color;
using ui::Pen;
using ui::Point;
using ui::Rect;

constexpr Color kTeal{0, 128, 128};
Color Sys(ui::SystemColor c) { return ui::SystemColorOf(c); }

// Square frames: a green disc, then its mask (white under the disc, black around it).
ui::BitmapStrip DiscAndMask() {
  constexpr int kSide = 16;
  QImage strip(2 * kSide, kSide, QImage::Format_RGB32);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool disc = std::hypot(x - 7.5, y - 7.5) < 7;
      strip.setPixel(x, y, disc ? qRgb(0, 160, 0) : qRgb(255, 255, 255));
      strip.setPixel(kSide + x, y, disc ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
  }
  return ui::BitmapStrip::SquareFrames(ui::Bitmap(strip));
}

// Every drawing call on one window-sized image, saved for a look: pens and shapes on the left,
// text and bitmaps in the middle, XOR, clipping and mapping modes on the right.
TEST(Gallery, EveryDrawingCallOnOneWindowSizedImage) {
  QImage image = ui::MakeDrawingSurface({480, 320}, Sys(ui::SystemColor::ButtonFace));
  {
    ui::Dc dc(image);
    const ui::PenStyle styles[] = {ui::PenStyle::Solid, ui::PenStyle::Dash, ui::PenStyle::Dot,
                                   ui::PenStyle::Null};
    for (int i = 0; i < 4; ++i) {
      dc.SetPen({styles[i], 1 + i, ui::kBlue});
      dc.MoveTo({8, 10 + 10 * i});
      dc.LineTo({150, 10 + 10 * i});
    }
    dc.SetPen(Pen::Solid(ui::kBlack));
    dc.SetBackgroundColor(ui::kYellow);
    for (int i = 0; i < 6; ++i) {
      dc.SetBackgroundMode(i % 2 ? ui::BackgroundMode::Transparent : ui::BackgroundMode::Opaque);
      dc.SetBrush(Brush::Hatched(static_cast<ui::HatchStyle>(i), ui::kBlue));
      dc.Rectangle({8 + 24 * i, 50, 30 + 24 * i, 72});
    }
    dc.SetBrush(Brush::Solid(ui::kGreen));
    dc.RoundRect({8, 80, 60, 110}, {14, 14});
    dc.Ellipse({70, 80, 150, 110});
    dc.SetBrush(Brush::Solid(ui::kYellow));
    dc.Pie({8, 120, 68, 180}, {68, 120}, {68, 180});
    dc.SetPen(Pen::Solid(ui::kRed, 3));
    dc.Arc({80, 120, 150, 180}, {150, 150}, {80, 150});
    dc.SetPen(Pen::Solid(ui::kBlack));
    dc.SetBrush(Brush::Solid(ui::kRed));
    dc.Polygon({{20, 260}, {40, 195}, {60, 260}, {8, 220}, {72, 220}});
    std::vector<Point> wave;
    for (int x = 80; x <= 150; x += 3)
      wave.push_back({x, 230 + static_cast<int>(20 * std::sin(x / 8.0))});
    dc.Polyline(wave);
    // A sunken two-pixel bevel, as the owner-drawn buttons make it.
    for (int i = 0; i < 2; ++i) {
      dc.SetPen(Pen::Solid(Sys(ui::SystemColor::ButtonHighlight)));
      dc.MoveTo({8 + i, 309 - i});
      dc.LineTo({149, 309 - i});
      dc.MoveTo({149 - i, 276 + i});
      dc.LineTo({149 - i, 310});
      dc.SetPen(Pen::Solid(Sys(ui::SystemColor::ButtonShadow)));
      dc.MoveTo({8 + i, 276});
      dc.LineTo({8 + i, 309 - i});
      dc.MoveTo({8, 276 + i});
      dc.LineTo({150 - i, 276 + i});
    }

    const ui::Font fonts[] = {ui::Font::VariablePitch(),
                              ui::Font::FixedPitch(),
                              ui::Font::System(),
                              {"Times Roman", 12.0, 700, true, ui::FontFamily::Serif}};
    int y = 8;
    dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
    for (const ui::Font& font : fonts) {
      dc.SetFont(font);
      dc.DrawTextAt({165, y}, font.face + " \x80 \xE9");
      y += dc.MeasureText(font.face).cy;
    }
    dc.SetFont(ui::Font::VariablePitch());
    dc.FillRect({165, 80, 310, 110}, Sys(ui::SystemColor::Highlight));
    dc.SetTextColor(Sys(ui::SystemColor::HighlightText));
    dc.DrawTextIn({165, 80, 310, 110}, "centred",
                  {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
    const ui::BitmapStrip strip = DiscAndMask();
    dc.SetTextColor(ui::kBlack);
    const char* names[] = {"Copy", "Or", "And", "Xor", "Not"};
    for (int op = 0; op < 5; ++op) {
      dc.FillRect({165, 120 + 22 * op, 185, 140 + 22 * op}, Color{60, 60, 200});
      dc.BlitFrame({167, 122 + 22 * op}, strip, 0, static_cast<ui::RasterOp>(op));
      dc.DrawTextAt({190, 124 + 22 * op}, names[op]);
    }
    dc.SetBrush(Brush::Hatched(ui::HatchStyle::DiagonalCross, ui::kBlue));
    dc.Rectangle({230, 120, 310, 160});
    dc.BlitFrame({262, 132}, strip, 1, ui::RasterOp::Or);
    dc.BlitFrame({262, 132}, strip, 0, ui::RasterOp::And);

    dc.FillRect({325, 8, 472, 70}, ui::kBlack);
    dc.SetPen(Pen::Solid(kTeal));
    for (int x = 325; x < 472; x += 16) dc.Polyline({{x, 8}, {x, 70}});
    dc.SetDrawMode(ui::DrawMode::XorPen);
    dc.SetPen(Pen::Solid(ui::kWhite));
    dc.SetBrush(Brush::None());
    dc.Rectangle({340, 20, 400, 50});
    for (int pass = 0; pass < 2; ++pass) dc.Polyline({{330, 12}, {468, 66}});  // drawn and erased
    dc.SetDrawMode(ui::DrawMode::Copy);
    dc.SetClip(ui::Region::FromPolygon({{325, 80}, {472, 80}, {420, 150}, {377, 150}})
                   .Intersected(ui::Region::FromEllipse({250, 80, 548, 378})));
    dc.FillRect({325, 80, 472, 150}, ui::kGreen);
    dc.ClearClip();
    dc.Mapping().SetMode(ui::MappingMode::Anisotropic);
    dc.Mapping().SetWindowExtent({1000, 200});
    dc.Mapping().SetViewportExtent({147, -70});
    dc.Mapping().SetViewportOrigin({325, 195});
    dc.SetPen(Pen::Solid(ui::kBlue, 0));
    dc.MoveTo({0, 0});
    for (int x = 0; x <= 1000; x += 10) dc.LineTo({x, static_cast<int>(90 * std::sin(x / 60.0))});
    dc.Mapping().SetMode(ui::MappingMode::Isotropic);
    dc.Mapping().SetWindowExtent({100, 100});
    dc.Mapping().SetViewportExtent({147, 80});
    dc.Mapping().SetViewportOrigin({325, 235});
    dc.SetPen(Pen::Solid(ui::kRed, 2));
    dc.Ellipse({0, 0, 100, 100});  // stays round in a wide box
  }
  const std::string path = testsupport::OutputPath("draw_gallery.png");
  ASSERT_TRUE(ui::test::SavePng(image, path)) << path;
  // The XOR line drawn twice left the grid line it crossed as it was.
  EXPECT_EQ(drawtest::PixelAt(image, 389, 35), kTeal);
}

}  // namespace
