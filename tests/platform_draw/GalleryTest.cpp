#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using ui::Color;
using ui::Dc;
using ui::Point;
using ui::Rect;

constexpr ui::Size kGallerySize{640, 480};
constexpr int kPanelWidth = 160;
constexpr int kPanelHeight = 160;

Color Sys(ui::SystemColor c) { return ui::SystemColorOf(c); }

// A panel of the gallery: a face-coloured box with a caption, at column and row of a 4 x 3 grid.
Rect Panel(Dc& dc, int column, int row, const char* caption) {
  const Rect r{column * kPanelWidth, row * kPanelHeight, (column + 1) * kPanelWidth,
               (row + 1) * kPanelHeight};
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonShadow)));
  dc.SetBrush(ui::Brush::Solid(Sys(ui::SystemColor::ButtonFace)));
  dc.Rectangle(r);
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetTextColor(Sys(ui::SystemColor::ButtonText));
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.DrawTextAt({r.left + 4, r.top + 2}, caption);
  return {r.left + 4, r.top + 18, r.right - 4, r.bottom - 4};
}

void DrawBevel(Dc& dc, const Rect& r, bool sunken) {
  const Color lit = Sys(ui::SystemColor::ButtonHighlight);
  const Color shade = Sys(ui::SystemColor::ButtonShadow);
  const int w = r.right - 1;
  const int h = r.bottom - 1;
  for (int i = 0; i < 2; ++i) {
    dc.SetPen(ui::Pen::Solid(sunken ? lit : shade));
    dc.MoveTo({r.left + i, h - i});
    dc.LineTo({w, h - i});
    dc.MoveTo({w - i, r.top + i + 1});
    dc.LineTo({w - i, h + 1});
    dc.SetPen(ui::Pen::Solid(sunken ? shade : lit));
    dc.MoveTo({r.left + i, r.top});
    dc.LineTo({r.left + i, h - i});
    dc.MoveTo({r.left, r.top + i});
    dc.LineTo({w - i + 1, r.top + i});
  }
}

void DrawLines(Dc& dc) {
  const Rect r = Panel(dc, 0, 0, "Pens and lines");
  const ui::PenStyle styles[] = {ui::PenStyle::Solid, ui::PenStyle::Dash, ui::PenStyle::Dot,
                                 ui::PenStyle::Null};
  int y = r.top + 4;
  for (ui::PenStyle style : styles) {
    dc.SetPen({style, 1, ui::kBlack});
    dc.MoveTo({r.left, y});
    dc.LineTo({r.right, y});
    y += 6;
  }
  for (int width = 2; width <= 6; width += 2) {
    dc.SetPen(ui::Pen::Solid(ui::kBlue, width));
    dc.MoveTo({r.left + 4, y + 4});
    dc.LineTo({r.right - 4, y + 4});
    y += width + 6;
  }
  const Point centre{(r.left + r.right) / 2, r.bottom - 36};
  for (int i = 0; i < 16; ++i) {
    const double a = i * std::numbers::pi / 8;
    dc.SetPen(
        ui::Pen::Solid(Color{static_cast<uint8_t>(i * 16), 0, static_cast<uint8_t>(255 - i * 16)}));
    dc.MoveTo(centre);
    dc.LineTo({centre.x + static_cast<int>(32 * std::cos(a)),
               centre.y + static_cast<int>(32 * std::sin(a))});
  }
}

void DrawRectangles(Dc& dc) {
  const Rect r = Panel(dc, 1, 0, "Rectangles and brushes");
  const ui::HatchStyle hatches[] = {
      ui::HatchStyle::Horizontal,       ui::HatchStyle::Vertical, ui::HatchStyle::ForwardDiagonal,
      ui::HatchStyle::BackwardDiagonal, ui::HatchStyle::Cross,    ui::HatchStyle::DiagonalCross};
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.SetBackgroundColor(ui::kYellow);
  for (int i = 0; i < 6; ++i) {
    dc.SetBackgroundMode(i % 2 == 0 ? ui::BackgroundMode::Opaque : ui::BackgroundMode::Transparent);
    dc.SetBrush(ui::Brush::Hatched(hatches[i], ui::kBlue));
    const int x = r.left + (i % 3) * 50;
    const int y = r.top + (i / 3) * 34;
    dc.Rectangle({x, y, x + 44, y + 30});
  }
  dc.SetBrush(ui::Brush::Solid(ui::kGreen));
  dc.Rectangle({r.left, r.top + 72, r.left + 44, r.top + 100});
  dc.SetBrush(ui::Brush::None());
  dc.SetPen({ui::PenStyle::Dash, 1, ui::kRed});
  dc.Rectangle({r.left + 50, r.top + 72, r.left + 94, r.top + 100});
  dc.SetPen(ui::Pen::Solid(ui::kBlack, 2));
  dc.SetBrush(ui::Brush::Solid(ui::kYellow));
  dc.RoundRect({r.left + 100, r.top + 72, r.left + 150, r.top + 100}, {12, 12});
  dc.FillRect({r.left, r.top + 108, r.right, r.top + 132}, Sys(ui::SystemColor::Highlight));
  dc.SetTextColor(Sys(ui::SystemColor::HighlightText));
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.DrawTextIn({r.left, r.top + 108, r.right, r.top + 132}, "FillRect, highlight",
                {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
}

void DrawCurves(Dc& dc) {
  const Rect r = Panel(dc, 2, 0, "Ellipses, arcs, pies");
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.SetBrush(ui::Brush::Solid(Color{255, 200, 200}));
  dc.Ellipse({r.left, r.top, r.left + 70, r.top + 40});
  dc.SetBrush(ui::Brush::None());
  dc.Ellipse({r.left + 80, r.top, r.left + 120, r.top + 40});
  // A lamp ring: the lit half lower right, the shaded half upper left.
  const int x = r.left + 124;
  const int y = r.top + 8;
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonHighlight)));
  dc.Arc({x, y, x + 16, y + 17}, {x + 3, y + 12}, {x + 11, y + 3});
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonShadow)));
  dc.Arc({x, y, x + 16, y + 17}, {x + 11, y + 3}, {x + 3, y + 12});
  dc.SetPen(ui::Pen::Solid(ui::kBlue, 3));
  dc.Arc({r.left, r.top + 50, r.left + 70, r.top + 100}, {r.left + 70, r.top + 75},
         {r.left, r.top + 75});
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.SetBrush(ui::Brush::Solid(ui::kYellow));
  dc.Pie({r.left + 80, r.top + 50, r.left + 140, r.top + 110}, {r.left + 140, r.top + 50},
         {r.left + 140, r.top + 110});
  dc.SetBrush(ui::Brush::Solid(ui::kRed));
  dc.Pie({r.left + 10, r.top + 96, r.left + 60, r.top + 136}, {r.left + 60, r.top + 116},
         {r.left + 35, r.top + 96});
}

void DrawPolygons(Dc& dc) {
  const Rect r = Panel(dc, 3, 0, "Polygons, polylines");
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.SetBrush(ui::Brush::Solid(ui::kGreen));
  std::vector<Point> star;
  const Point c{r.left + 40, r.top + 40};
  for (int i = 0; i < 5; ++i) {
    const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
    star.push_back(
        {c.x + static_cast<int>(36 * std::cos(a)), c.y + static_cast<int>(36 * std::sin(a))});
  }
  dc.Polygon(star);
  dc.SetBrush(ui::Brush::Hatched(ui::HatchStyle::Cross, ui::kRed));
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.Polygon({{r.left + 90, r.top + 10}, {r.right - 4, r.top + 30}, {r.left + 100, r.top + 70}});
  dc.SetPen(ui::Pen::Solid(ui::kBlue));
  std::vector<Point> wave;
  for (int x = 0; x <= 150; x += 3) {
    wave.push_back({r.left + x, r.top + 110 + static_cast<int>(20 * std::sin(x / 12.0))});
  }
  dc.Polyline(wave);
}

void DrawBevels(Dc& dc) {
  const Rect r = Panel(dc, 0, 1, "3D bevels");
  dc.FillRect({r.left, r.top, r.left + 60, r.top + 30}, Sys(ui::SystemColor::ButtonFace));
  DrawBevel(dc, {r.left, r.top, r.left + 60, r.top + 30}, false);
  dc.DrawTextIn({r.left, r.top, r.left + 60, r.top + 30}, "Raised",
                {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
  DrawBevel(dc, {r.left + 70, r.top, r.left + 130, r.top + 30}, true);
  dc.DrawTextIn({r.left + 70, r.top, r.left + 130, r.top + 30}, "Sunken",
                {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
  const Color lamp[] = {ui::kRed, ui::kYellow, ui::kGreen};
  for (int i = 0; i < 3; ++i) {
    const Rect b{r.left + i * 40, r.top + 44, r.left + i * 40 + 34, r.top + 64};
    dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonShadow)));
    dc.SetBrush(ui::Brush::Solid(lamp[i]));
    dc.Rectangle(b);
    DrawBevel(dc, b, true);
  }
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonDarkShadow), 3));
  dc.MoveTo({r.left + 20, r.top + 76});
  dc.LineTo({r.left + 20, r.bottom - 4});
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonLight)));
  dc.MoveTo({r.left + 40, r.top + 76});
  dc.LineTo({r.left + 40, r.bottom - 4});
}

void DrawTexts(Dc& dc) {
  const Rect r = Panel(dc, 1, 1, "Fonts and text");
  dc.SetTextColor(ui::kBlack);
  int y = r.top;
  const ui::Font fonts[] = {ui::Font::VariablePitch(),
                            ui::Font::FixedPitch(),
                            ui::Font::System(),
                            {"Times Roman", 12.0, 700, true, ui::FontFamily::Serif}};
  const char* names[] = {"Variable pitch", "Fixed pitch", "System", "Times bold italic"};
  for (int i = 0; i < 4; ++i) {
    dc.SetFont(fonts[i]);
    dc.DrawTextAt({r.left, y}, names[i]);
    y += dc.MeasureText(names[i]).cy + 2;
  }
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetBackgroundMode(ui::BackgroundMode::Opaque);
  dc.SetBackgroundColor(ui::kWhite);
  const Rect box{r.left, y + 4, r.right, r.bottom};
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.SetBrush(ui::Brush::None());
  dc.Rectangle(box);
  using H = ui::TextAlign::Horizontal;
  using V = ui::TextAlign::Vertical;
  dc.DrawTextIn(box, "top left", {H::Left, V::Top});
  dc.DrawTextIn(box, "centre \x80 \xE9", {H::Center, V::Middle});
  dc.DrawTextIn(box, "bottom right", {H::Right, V::Bottom});
}

// Square frames: 0 a green disc, 1 a red cross, 2 the disc's mask, 3 the cross's mask.
ui::BitmapStrip GlyphStrip() {
  constexpr int kSide = 16;
  QImage strip(4 * kSide, kSide, QImage::Format_RGB32);
  strip.fill(Qt::white);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool disc = (x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5) < 49;
      const bool cross = std::abs(x - y) < 2 || std::abs(x + y - 15) < 2;
      if (disc) strip.setPixel(x, y, qRgb(0, 160, 0));
      if (cross) strip.setPixel(kSide + x, y, qRgb(220, 0, 0));
      strip.setPixel(2 * kSide + x, y, disc ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
      strip.setPixel(3 * kSide + x, y, cross ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
  }
  return ui::BitmapStrip::SquareFrames(ui::Bitmap(strip));
}

void DrawBitmaps(Dc& dc) {
  const Rect r = Panel(dc, 2, 1, "Bitmaps, raster ops");
  const ui::BitmapStrip strip = GlyphStrip();
  const ui::RasterOp ops[] = {ui::RasterOp::Copy, ui::RasterOp::Or, ui::RasterOp::And,
                              ui::RasterOp::Xor, ui::RasterOp::NotCopy};
  const char* names[] = {"Copy", "Or", "And", "Xor", "Not"};
  for (int i = 0; i < 5; ++i) {
    const int y = r.top + i * 22;
    dc.FillRect({r.left, y, r.left + 40, y + 20}, Color{60, 60, 200});
    dc.BlitFrame({r.left + 2, y + 2}, strip, 0, ops[i]);
    dc.BlitFrame({r.left + 22, y + 2}, strip, 1, ops[i]);
    dc.DrawTextAt({r.left + 46, y + 4}, names[i]);
  }
  // Masked glyphs: the mask with Or, then the glyph with And, on a patterned background.
  dc.SetPen(ui::Pen::None());
  dc.SetBrush(ui::Brush::Hatched(ui::HatchStyle::DiagonalCross, ui::kBlue));
  dc.SetBackgroundMode(ui::BackgroundMode::Opaque);
  dc.SetBackgroundColor(ui::kYellow);
  dc.Rectangle({r.left + 90, r.top, r.right + 1, r.top + 42});
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  for (int frame = 0; frame < 2; ++frame) {
    const Point at{r.left + 96 + frame * 24, r.top + 12};
    dc.BlitFrame(at, strip, frame + 2, ui::RasterOp::Or);
    dc.BlitFrame(at, strip, frame, ui::RasterOp::And);
  }
  dc.DrawTextAt({r.left + 90, r.top + 46}, "Masked");
}

void DrawXorAndClip(Dc& dc) {
  const Rect r = Panel(dc, 3, 1, "XOR and clipping");
  dc.FillRect({r.left, r.top, r.right, r.top + 60}, ui::kBlack);
  dc.SetPen(ui::Pen::Solid(ui::Color{0, 128, 128}));
  for (int x = r.left; x < r.right; x += 16) {
    dc.MoveTo({x, r.top});
    dc.LineTo({x, r.top + 60});
  }
  dc.SetDrawMode(ui::DrawMode::XorPen);
  dc.SetPen(ui::Pen::Solid(ui::kWhite));
  dc.MoveTo({r.left + 4, r.top + 50});
  dc.LineTo({r.right - 4, r.top + 8});  // a rubber band, left on screen
  dc.MoveTo({r.left + 4, r.top + 8});
  dc.LineTo({r.right - 4, r.top + 50});  // drawn and erased again: must leave no trace
  dc.MoveTo({r.left + 4, r.top + 8});
  dc.LineTo({r.right - 4, r.top + 50});
  dc.SetBrush(ui::Brush::None());
  dc.Rectangle({r.left + 20, r.top + 20, r.left + 80, r.top + 40});
  dc.SetDrawMode(ui::DrawMode::Copy);

  // A fan-shaped band clipped like the level gauge: quadrilateral inside a large circle.
  const Rect band{r.left + 16, r.top + 70, r.right - 16, r.bottom - 6};
  const int radius = 2 * band.Width();
  const Point c{(band.left + band.right) / 2, band.top + radius};
  const ui::Region clip = ui::Region::FromPolygon({{band.left, band.top},
                                                   {band.right, band.top},
                                                   {c.x + 30, band.bottom},
                                                   {c.x - 30, band.bottom}})
                              .Intersected(ui::Region::FromEllipse(
                                  {c.x - radius, c.y - radius, c.x + radius, c.y + radius}));
  dc.SetClip(clip);
  dc.FillRect(band, Sys(ui::SystemColor::ButtonFace));
  dc.SetPen(ui::Pen::Solid(ui::kBlue));
  dc.SetBrush(ui::Brush::Solid(ui::kBlue));
  dc.Polygon({c, {band.left - 40, band.top}, {c.x, band.top}});
  dc.SetPen(ui::Pen::Solid(ui::kGreen));
  dc.SetBrush(ui::Brush::Solid(ui::kGreen));
  dc.Polygon({c, {c.x, band.top}, {c.x + 20, band.top}});
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  dc.MoveTo(c);
  dc.LineTo({c.x + 34, band.top});
  dc.SetBrush(ui::Brush::None());
  dc.SetPen(ui::Pen::Solid(Sys(ui::SystemColor::ButtonShadow)));
  dc.Ellipse({c.x - radius, c.y - radius, c.x + radius, c.y + radius});
  dc.ClearClip();
}

void DrawMappedGraph(Dc& dc) {
  const Rect r = Panel(dc, 0, 2, "Mapping: anisotropic graph");
  dc.FillRect(r, ui::kBlack);
  // Logical x 0..1000, y -100..100 with y up, into the panel.
  ui::CoordinateMapping& m = dc.Mapping();
  m.SetMode(ui::MappingMode::Anisotropic);
  m.SetWindowOrigin({0, 0});
  m.SetWindowExtent({1000, 200});
  m.SetViewportExtent({r.Width(), -r.Height()});
  m.SetViewportOrigin({r.left, (r.top + r.bottom) / 2});
  dc.SetPen(ui::Pen::Solid(ui::Color{0, 0, 128}, 0));
  dc.Polyline({{0, 100}, {1000, 100}, {1000, -100}, {0, -100}, {0, 100}});
  dc.MoveTo({0, 0});
  dc.LineTo({1000, 0});
  dc.SetPen(ui::Pen::Solid(ui::kGreen, 0));
  dc.MoveTo({0, 0});
  for (int x = 0; x <= 1000; x += 10) {
    dc.LineTo({x, static_cast<int>(90 * std::sin(x / 80.0) * std::exp(-x / 600.0))});
  }
  dc.SetTextColor(ui::kWhite);
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.DrawTextAt({10, 95}, "+100");
  m.SetMode(ui::MappingMode::Text);
  m.SetWindowOrigin({0, 0});
  m.SetViewportOrigin({0, 0});
}

void DrawIsotropic(Dc& dc) {
  const Rect r = Panel(dc, 1, 2, "Mapping: isotropic");
  ui::CoordinateMapping& m = dc.Mapping();
  m.SetMode(ui::MappingMode::Isotropic);
  m.SetWindowExtent({100, 100});
  m.SetViewportExtent({r.Width(), r.Height()});
  m.SetViewportOrigin({r.left, r.top});
  // Stays a circle in a wide panel.
  dc.SetPen(ui::Pen::Solid(ui::kRed, 2));
  dc.SetBrush(ui::Brush::Hatched(ui::HatchStyle::Vertical, ui::kRed));
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.Ellipse({5, 5, 95, 95});
  m.SetMode(ui::MappingMode::Text);
  m.SetViewportOrigin({0, 0});
}

void DrawSystemColours(Dc& dc) {
  const Rect r = Panel(dc, 2, 2, "System colours");
  const ui::SystemColor colours[] = {
      ui::SystemColor::Window,          ui::SystemColor::WindowText,
      ui::SystemColor::ButtonFace,      ui::SystemColor::ButtonText,
      ui::SystemColor::ButtonHighlight, ui::SystemColor::ButtonLight,
      ui::SystemColor::ButtonShadow,    ui::SystemColor::ButtonDarkShadow,
      ui::SystemColor::Highlight,       ui::SystemColor::HighlightText,
      ui::SystemColor::GrayText};
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  for (int i = 0; i < 11; ++i) {
    const int x = r.left + (i % 6) * 25;
    const int y = r.top + (i / 6) * 30;
    dc.SetBrush(ui::Brush::Solid(Sys(colours[i])));
    dc.Rectangle({x, y, x + 22, y + 26});
  }
}

void DrawMetrics(Dc& dc) {
  const Rect r = Panel(dc, 3, 2, "Device");
  const ui::DeviceMetrics metrics = dc.Metrics();
  const std::string size =
      std::to_string(metrics.pixels.cx) + " x " + std::to_string(metrics.pixels.cy);
  const std::string dpi = std::to_string(metrics.dpiX) + " dpi";
  dc.SetTextColor(ui::kBlack);
  dc.DrawTextAt({r.left, r.top}, size);
  dc.DrawTextAt({r.left, r.top + 16}, dpi);
}

TEST(Gallery, EveryDrawingCallOnOneWindowSizedImage) {
  QImage image = ui::MakeDrawingSurface(kGallerySize);
  {
    Dc dc(image);
    DrawLines(dc);
    DrawRectangles(dc);
    DrawCurves(dc);
    DrawPolygons(dc);
    DrawBevels(dc);
    DrawTexts(dc);
    DrawBitmaps(dc);
    DrawXorAndClip(dc);
    DrawMappedGraph(dc);
    DrawIsotropic(dc);
    DrawSystemColours(dc);
    DrawMetrics(dc);
  }
  const QString path = QDir(QStringLiteral(DRAW_GALLERY_DIR)).filePath("draw_gallery.png");
  ASSERT_TRUE(image.save(path)) << path.toStdString();
  // The XOR line drawn twice left the grid line it crossed (at y 208) as it was; the rubber band
  // left on screen crosses it at y 206.
  const int gridX = 3 * kPanelWidth + 4 + 5 * 16;
  for (int y = 207; y <= 210; ++y) {
    EXPECT_EQ(drawtest::PixelAt(image, gridX, y), (ui::Color{0, 128, 128})) << y;
  }
}

}  // namespace
