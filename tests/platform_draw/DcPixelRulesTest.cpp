#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;
using ui::Color;
using ui::Pen;
using ui::Point;

// The pixels from (x, y) on, `count` of them along x (or y when `down`): '#' drawn, '.' white.
std::string Pixels(const QImage& image, int x, int y, int count, bool down = false) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    s += PixelAt(image, down ? x : x + i, down ? y + i : y) == ui::kWhite ? '.' : '#';
  }
  return s;
}

class DcPixelRules : public testing::Test {
 protected:
  QImage image_ = ui::MakeDrawingSurface({32, 32});
};

TEST_F(DcPixelRules, LinesLeaveOutTheirEndPointWhicheverWayTheyRun) {
  {
    ui::Dc dc(image_);
    const Point lines[][2] = {{{2, 2}, {8, 2}},
                              {{20, 4}, {14, 4}},
                              {{2, 10}, {2, 16}},
                              {{4, 16}, {4, 10}},
                              {{10, 10}, {16, 16}},
                              {{0, 30}, {31, 30}},
                              {{-2000000000, 28}, {2000000000, 28}}};
    for (const auto& line : lines) {
      dc.MoveTo(line[0]);
      dc.LineTo(line[1]);
    }
  }
  EXPECT_EQ(Pixels(image_, 1, 2, 9), ".######..");
  EXPECT_EQ(Pixels(image_, 13, 4, 9), "..######.");
  EXPECT_EQ(Pixels(image_, 2, 9, 9, true), ".######..");
  EXPECT_EQ(Pixels(image_, 4, 9, 9, true), "..######.");
  EXPECT_EQ(Pixels(image_, 15, 15, 2), "#.");
  EXPECT_EQ(Pixels(image_, 0, 28, 32), std::string(32, '#'));  // far ends, no overflow
}

TEST_F(DcPixelRules, RectangleCoversPixelsUpToButNotIncludingRightAndBottom) {
  {
    ui::Dc dc(image_);
    dc.SetBrush(ui::Brush::Solid(ui::kRed));
    dc.Rectangle({0, 0, 10, 10});
    dc.SetPen(Pen::None());  // without an outline the fill stops one pixel short
    dc.Rectangle({20, 20, 30, 30});
    dc.SetPen(Pen::Solid(ui::kBlack));
    dc.SetBrush(ui::Brush::None());
    dc.Ellipse({0, 20, 11, 31});
  }
  EXPECT_EQ(Pixels(image_, 0, 9, 11), "##########.");
  EXPECT_EQ(Pixels(image_, 9, 0, 11, true), "##########.");
  EXPECT_EQ(PixelAt(image_, 1, 1), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 8, 8), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 28, 28), ui::kRed);
  EXPECT_EQ(Pixels(image_, 28, 25, 2), "#.");
  EXPECT_EQ(Pixels(image_, 25, 28, 2, true), "#.");
  EXPECT_EQ(Pixels(image_, 5, 30, 2, true), "#.");  // ellipse bottom at 30, not 31
  EXPECT_EQ(Pixels(image_, 10, 25, 2), "#.");
}

// The owner-drawn buttons draw a two-pixel bevel from four lines per ring; with exclusive end
// points each edge meets the next without gaps and each corner goes to the right pen.
TEST_F(DcPixelRules, SunkenBevelPutsShadowTopLeftAndHighlightBottomRight) {
  const Color shadow = ui::SystemColorOf(ui::SystemColor::ButtonShadow);
  const Color light = ui::SystemColorOf(ui::SystemColor::ButtonHighlight);
  const Color face = ui::SystemColorOf(ui::SystemColor::ButtonFace);
  const int w = 19;
  const int h = 19;
  {
    ui::Dc dc(image_);
    dc.FillRect({0, 0, w + 1, h + 1}, face);
    for (int i = 0; i < 2; ++i) {
      dc.SetPen(Pen::Solid(light));
      dc.Polyline({{i, h - i}, {w, h - i}});
      dc.Polyline({{w - i, i + 1}, {w - i, h + 1}});
      dc.SetPen(Pen::Solid(shadow));
      dc.Polyline({{i, 0}, {i, h - i}});
      dc.Polyline({{0, i}, {w - i + 1, i}});
    }
  }
  for (Point p : {Point{0, 0}, Point{1, 1}, Point{w, 0}, Point{1, h - 2}}) {
    EXPECT_EQ(PixelAt(image_, p.x, p.y), shadow) << p.x << "," << p.y;
  }
  for (Point p : {Point{w, 1}, Point{0, h}, Point{1, h - 1}, Point{w, h}, Point{w - 1, h - 1}}) {
    EXPECT_EQ(PixelAt(image_, p.x, p.y), light) << p.x << "," << p.y;
  }
  EXPECT_EQ(PixelAt(image_, 2, 2), face);
  EXPECT_EQ(PixelAt(image_, w - 2, h - 2), face);
}

TEST_F(DcPixelRules, XorFiguresFlipEachPixelOnceSoDrawingTwiceRestores) {
  {
    ui::Dc dc(image_);
    dc.FillRect({0, 0, 32, 4}, ui::kBlack);
    dc.SetBrush(ui::Brush::Solid(ui::kBlue));
    dc.Ellipse({14, 14, 32, 32});
  }
  const QImage before = image_.copy();
  auto drawFigures = [](ui::Dc& dc) {
    dc.SetPen(Pen::Solid(ui::kWhite));
    dc.Polyline({{5, 0}, {5, 8}, {12, 8}, {12, 14}});
    dc.Rectangle({18, 5, 30, 14});
    dc.SetPen({ui::PenStyle::Dash, 1, ui::kWhite});
    dc.Polyline({{31, 0}, {0, 31}});
    dc.SetPen(Pen::Solid(ui::kWhite, 3));
    dc.Polyline({{2, 28}, {28, 20}});
  };
  ui::Dc dc(image_);
  dc.SetDrawMode(ui::DrawMode::XorPen);
  dc.SetBrush(ui::Brush::None());
  drawFigures(dc);
  EXPECT_EQ(Pixels(image_, 5, 0, 10, true), "....#####.");  // the black band turned white
  EXPECT_EQ(PixelAt(image_, 12, 8), ui::kBlack);            // corners flipped once, not twice
  EXPECT_EQ(PixelAt(image_, 29, 13), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 18, 5), ui::kBlack);
  drawFigures(dc);
  EXPECT_EQ(image_, before);
}

TEST_F(DcPixelRules, PenStylesAndOpaqueHatchBackground) {
  {
    ui::Dc dc(image_);
    const ui::PenStyle styles[] = {ui::PenStyle::Dash, ui::PenStyle::Dot, ui::PenStyle::Null};
    for (int i = 0; i < 3; ++i) {
      dc.SetPen({styles[i], 1, ui::kBlack});
      dc.Polyline({{0, 1 + 2 * i}, {31, 1 + 2 * i}});
    }
    dc.SetPen(Pen::None());
    dc.SetBrush(ui::Brush::Hatched(ui::HatchStyle::Cross, ui::kBlack));
    dc.SetBackgroundColor(ui::kYellow);
    dc.Rectangle({0, 10, 17, 27});
  }
  EXPECT_EQ(Pixels(image_, 16, 1, 10), "##......##");  // dash 18 on, 6 off
  EXPECT_EQ(Pixels(image_, 0, 3, 8), "###...##");
  EXPECT_EQ(Pixels(image_, 0, 5, 31), std::string(31, '.'));
  int yellow = 0;
  for (int y = 10; y < 25; ++y) {
    for (int x = 0; x < 15; ++x) {
      const Color c = PixelAt(image_, x, y);
      yellow += c == ui::kYellow;
      EXPECT_TRUE(c == ui::kYellow || c == ui::kBlack);
    }
  }
  EXPECT_GT(yellow, 100);
}

TEST_F(DcPixelRules, ClipRegionKeepsLinesFillsAndShapesInside) {
  {
    ui::Dc dc(image_);
    // Two squares: a region that is not a single rectangle.
    dc.SetClip(ui::Region::FromRect({0, 0, 8, 8}).United(ui::Region::FromRect({16, 16, 24, 24})));
    dc.SetBrush(ui::Brush::Solid(ui::kRed));
    dc.Rectangle({0, 0, 32, 32});
    dc.Polyline({{0, 12}, {31, 12}});
    dc.Polyline({{0, 0}, {31, 31}});
    dc.ClearClip();
    dc.Polyline({{0, 30}, {31, 30}});
  }
  EXPECT_EQ(PixelAt(image_, 3, 3), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 4, 6), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 20, 20), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 10, 10), ui::kWhite);
  EXPECT_EQ(Pixels(image_, 0, 12, 32), std::string(32, '.'));
  EXPECT_EQ(PixelAt(image_, 15, 30), ui::kBlack);
}

TEST(DcCurves, PieOnAWideEllipseRunsCounterClockwiseBetweenTheRaysThroughItsPoints) {
  QImage image = ui::MakeDrawingSurface({201, 51});
  const Point c{100, 25};
  {
    ui::Dc dc(image);
    dc.SetPen(Pen::None());
    dc.SetBrush(ui::Brush::Solid(ui::kBlack));
    dc.Pie({0, 0, 201, 51}, {c.x + 10, c.y - 10}, {c.x - 10, c.y - 10});  // 45 to 135 degrees
  }
  EXPECT_EQ(PixelAt(image, c.x, c.y - 20), ui::kBlack);
  EXPECT_EQ(PixelAt(image, c.x + 8, c.y - 14), ui::kBlack);   // 60 degrees
  EXPECT_EQ(PixelAt(image, c.x + 20, c.y - 11), ui::kWhite);  // 29 degrees
  EXPECT_EQ(PixelAt(image, c.x - 20, c.y - 11), ui::kWhite);  // 151 degrees
  EXPECT_EQ(PixelAt(image, c.x, c.y + 10), ui::kWhite);
}

TEST_F(DcPixelRules, ContextOnAnOpenPainterIgnoresItsStateAndGivesItBack) {
  QPainter painter(&image_);
  painter.translate(5, 5);
  painter.setClipRect(0, 0, 2, 2);
  painter.setPen(QPen(Qt::red));
  {
    ui::Dc dc(painter);
    dc.Polyline({{0, 0}, {10, 0}});
  }
  EXPECT_EQ(Pixels(image_, 0, 0, 11), "##########.");
  EXPECT_TRUE(painter.hasClipping());
  EXPECT_EQ(painter.transform().dx(), 5.0);
  EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
}

}  // namespace
