#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;
using ui::Color;
using ui::Point;
using ui::Rect;

constexpr int kSurfaceSide = 32;

// Which pixels of a row or column are not white, as a string of '#' and '.', for readable failures.
std::string Row(const QImage& image, int y, int from, int to) {
  std::string s;
  for (int x = from; x <= to; ++x) s += PixelAt(image, x, y) == ui::kWhite ? '.' : '#';
  return s;
}

std::string Column(const QImage& image, int x, int from, int to) {
  std::string s;
  for (int y = from; y <= to; ++y) s += PixelAt(image, x, y) == ui::kWhite ? '.' : '#';
  return s;
}

class DcPixelRules : public testing::Test {
 protected:
  QImage image_ = ui::MakeDrawingSurface({kSurfaceSide, kSurfaceSide});
};

TEST_F(DcPixelRules, LinesLeaveOutTheirEndPointInEveryDirection) {
  {
    ui::Dc dc(image_);
    dc.MoveTo({2, 2});
    dc.LineTo({8, 2});  // rightwards
    dc.MoveTo({20, 4});
    dc.LineTo({14, 4});  // leftwards: the end at 14 stays white, the start at 20 is painted
    dc.MoveTo({2, 10});
    dc.LineTo({2, 16});  // downwards
    dc.MoveTo({4, 16});
    dc.LineTo({4, 10});  // upwards
    dc.MoveTo({10, 10});
    dc.LineTo({16, 16});  // diagonal
  }
  EXPECT_EQ(Row(image_, 2, 1, 9), ".######..");
  EXPECT_EQ(Row(image_, 4, 13, 21), "..######.");
  EXPECT_EQ(Column(image_, 2, 9, 17), ".######..");
  EXPECT_EQ(Column(image_, 4, 9, 17), "..######.");
  EXPECT_EQ(PixelAt(image_, 15, 15), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 16, 16), ui::kWhite);
}

TEST_F(DcPixelRules, PolylinePaintsEachCornerOnceAndNotItsLastPoint) {
  {
    ui::Dc dc(image_);
    dc.SetPen(ui::Pen::Solid(ui::kWhite));
    dc.SetDrawMode(ui::DrawMode::XorPen);
    dc.Polyline({{2, 2}, {10, 2}, {10, 10}, {2, 10}});
  }
  // Under XOR a corner painted twice would be white again.
  EXPECT_EQ(PixelAt(image_, 10, 2), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 10, 10), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 2, 10), ui::kWhite);
}

TEST_F(DcPixelRules, RectangleOutlineAndFillStayInsideTheExclusiveEdges) {
  {
    ui::Dc dc(image_);
    dc.SetPen(ui::Pen::Solid(ui::kBlack));
    dc.SetBrush(ui::Brush::Solid(ui::kRed));
    dc.Rectangle({0, 0, 10, 10});
    dc.SetPen(ui::Pen::None());
    dc.Rectangle({20, 20, 30, 30});
  }
  EXPECT_EQ(PixelAt(image_, 9, 9), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 0, 9), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 10, 5), ui::kWhite);
  EXPECT_EQ(PixelAt(image_, 5, 10), ui::kWhite);
  EXPECT_EQ(PixelAt(image_, 1, 1), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 8, 8), ui::kRed);
  // Without a pen the fill stops one pixel short on the right and bottom.
  EXPECT_EQ(PixelAt(image_, 20, 20), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 28, 28), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 29, 25), ui::kWhite);
  EXPECT_EQ(PixelAt(image_, 25, 29), ui::kWhite);
}

TEST_F(DcPixelRules, EllipseStaysInsideItsBounds) {
  {
    ui::Dc dc(image_);
    dc.SetBrush(ui::Brush::None());
    dc.Ellipse({0, 0, 11, 11});
  }
  EXPECT_EQ(PixelAt(image_, 5, 0), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 5, 10), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 0, 5), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 10, 5), ui::kBlack);
  EXPECT_EQ(Row(image_, 5, 11, 12), "..");
  EXPECT_EQ(Column(image_, 5, 11, 12), "..");
}

TEST(DcCurves, PieOnAWideEllipseRunsCounterClockwiseBetweenTheRaysThroughItsPoints) {
  QImage image = ui::MakeDrawingSurface({201, 51});
  const Point c{100, 25};
  {
    ui::Dc dc(image);
    dc.SetPen(ui::Pen::None());
    dc.SetBrush(ui::Brush::Solid(ui::kBlack));
    // From the ray at 45 degrees up-right to the ray at 135 degrees up-left.
    dc.Pie({0, 0, 201, 51}, {c.x + 10, c.y - 10}, {c.x - 10, c.y - 10});
  }
  EXPECT_EQ(PixelAt(image, c.x, c.y - 20), ui::kBlack);       // straight up
  EXPECT_EQ(PixelAt(image, c.x + 8, c.y - 14), ui::kBlack);   // 60 degrees
  EXPECT_EQ(PixelAt(image, c.x + 20, c.y - 11), ui::kWhite);  // 29 degrees
  EXPECT_EQ(PixelAt(image, c.x - 20, c.y - 11), ui::kWhite);  // 151 degrees
  EXPECT_EQ(PixelAt(image, c.x, c.y + 10), ui::kWhite);       // below
}

// The owner-drawn buttons draw a two-pixel bevel from four lines per ring; with exclusive end
// points each edge meets the next without gaps and the corners go to the right pen.
TEST_F(DcPixelRules, SunkenBevelPutsShadowTopLeftAndHighlightBottomRight) {
  const Color shadow = ui::SystemColorOf(ui::SystemColor::ButtonShadow);
  const Color highlight = ui::SystemColorOf(ui::SystemColor::ButtonHighlight);
  const Color face = ui::SystemColorOf(ui::SystemColor::ButtonFace);
  const int w = 19;
  const int h = 19;
  {
    ui::Dc dc(image_);
    dc.FillRect({0, 0, w + 1, h + 1}, face);
    for (int i = 0; i < 2; ++i) {
      dc.SetPen(ui::Pen::Solid(highlight));
      dc.MoveTo({i, h - i});
      dc.LineTo({w, h - i});
      dc.MoveTo({w - i, i + 1});
      dc.LineTo({w - i, h + 1});
      dc.SetPen(ui::Pen::Solid(shadow));
      dc.MoveTo({i, 0});
      dc.LineTo({i, h - i});
      dc.MoveTo({0, i});
      dc.LineTo({w - i + 1, i});
    }
  }
  EXPECT_EQ(PixelAt(image_, 0, 0), shadow);
  EXPECT_EQ(PixelAt(image_, 1, 1), shadow);
  EXPECT_EQ(PixelAt(image_, w, 0), shadow);     // top edge reaches the right corner
  EXPECT_EQ(PixelAt(image_, w, 1), highlight);  // right edge starts just below it
  EXPECT_EQ(PixelAt(image_, 0, h), highlight);  // bottom edge starts at the left corner
  EXPECT_EQ(PixelAt(image_, 1, h - 1), highlight);
  EXPECT_EQ(PixelAt(image_, w, h), highlight);
  EXPECT_EQ(PixelAt(image_, w - 1, h - 1), highlight);
  EXPECT_EQ(PixelAt(image_, 2, 2), face);
  EXPECT_EQ(PixelAt(image_, w - 2, h - 2), face);
}

TEST_F(DcPixelRules, XorDrawingTwiceRestoresThePicture) {
  {
    ui::Dc dc(image_);
    dc.SetBrush(ui::Brush::Solid(ui::kBlue));
    dc.Ellipse({3, 3, 29, 29});
  }
  const QImage before = image_.copy();
  {
    ui::Dc dc(image_);
    dc.SetDrawMode(ui::DrawMode::XorPen);
    dc.SetPen(ui::Pen::Solid(ui::kWhite));
    dc.SetBrush(ui::Brush::None());
    for (int pass = 0; pass < 2; ++pass) {
      dc.MoveTo({0, 31});
      dc.LineTo({31, 0});
      dc.MoveTo({0, 5});
      dc.LineTo({31, 17});
      dc.Rectangle({4, 6, 25, 20});
      dc.SetPen({ui::PenStyle::Dash, 1, ui::kWhite});
      dc.Polyline({{1, 1}, {30, 1}, {30, 30}});
      dc.SetPen(ui::Pen::Solid(ui::kWhite, 3));
      dc.MoveTo({2, 28});
      dc.LineTo({28, 20});
      dc.SetPen(ui::Pen::Solid(ui::kWhite));
    }
  }
  EXPECT_EQ(image_, before);
}

TEST_F(DcPixelRules, XorLineInvertsWhatIsUnderIt) {
  {
    ui::Dc dc(image_);
    dc.FillRect({0, 0, kSurfaceSide, 4}, ui::kBlack);
    dc.SetDrawMode(ui::DrawMode::XorPen);
    dc.SetPen(ui::Pen::Solid(ui::kWhite));
    dc.MoveTo({5, 0});
    dc.LineTo({5, 8});
  }
  EXPECT_EQ(Column(image_, 5, 0, 8), "....####.");
}

TEST_F(DcPixelRules, DashedAndDottedPensLeaveGapsAndNullPenDrawsNothing) {
  {
    ui::Dc dc(image_);
    dc.SetPen({ui::PenStyle::Dash, 1, ui::kBlack});
    dc.MoveTo({0, 1});
    dc.LineTo({31, 1});
    dc.SetPen({ui::PenStyle::Dot, 1, ui::kBlack});
    dc.MoveTo({0, 3});
    dc.LineTo({31, 3});
    dc.SetPen(ui::Pen::None());
    dc.MoveTo({0, 5});
    dc.LineTo({31, 5});
  }
  const std::string dash = Row(image_, 1, 0, 30);
  const std::string dot = Row(image_, 3, 0, 30);
  EXPECT_NE(dash.find('#'), std::string::npos);
  EXPECT_NE(dash.find('.'), std::string::npos);
  EXPECT_NE(dot.find("#."), std::string::npos);
  EXPECT_LT(std::count(dot.begin(), dot.end(), '#'), std::count(dash.begin(), dash.end(), '#'));
  EXPECT_EQ(Row(image_, 5, 0, 31), std::string(32, '.'));
}

TEST_F(DcPixelRules, ClipRegionKeepsEveryDrawingCallInside) {
  {
    ui::Dc dc(image_);
    // Two separate squares make a region that is not a single rectangle.
    dc.SetClip(ui::Region::FromRect({0, 0, 8, 8}).United(ui::Region::FromRect({16, 16, 24, 24})));
    dc.SetBrush(ui::Brush::Solid(ui::kRed));
    dc.Rectangle({0, 0, kSurfaceSide, kSurfaceSide});
    dc.MoveTo({0, 12});
    dc.LineTo({31, 12});
    dc.MoveTo({0, 0});
    dc.LineTo({31, 31});
    dc.ClearClip();
    dc.MoveTo({0, 30});
    dc.LineTo({31, 30});
  }
  EXPECT_EQ(PixelAt(image_, 0, 0), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 3, 3), ui::kBlack);  // the diagonal inside the first square
  EXPECT_EQ(PixelAt(image_, 4, 6), ui::kRed);
  EXPECT_EQ(PixelAt(image_, 20, 20), ui::kBlack);
  EXPECT_EQ(PixelAt(image_, 10, 10), ui::kWhite);
  EXPECT_EQ(Row(image_, 12, 0, 31), std::string(32, '.'));
  EXPECT_EQ(PixelAt(image_, 15, 30), ui::kBlack);
}

TEST_F(DcPixelRules, ClippedToAFanShapedRegionLikeTheLevelGauge) {
  const ui::Region band = ui::Region::FromPolygon({{0, 0}, {31, 0}, {20, 31}, {11, 31}})
                              .Intersected(ui::Region::FromEllipse({-16, 0, 48, 64}));
  {
    ui::Dc dc(image_);
    dc.SetClip(band);
    dc.FillRect({0, 0, kSurfaceSide, kSurfaceSide}, ui::kGreen);
  }
  EXPECT_EQ(PixelAt(image_, 16, 16), ui::kGreen);
  EXPECT_EQ(PixelAt(image_, 2, 28), ui::kWhite);  // outside the quadrilateral
  EXPECT_EQ(PixelAt(image_, 1, 1), ui::kWhite);   // outside the circle
}

TEST_F(DcPixelRules, HatchedBrushOnOpaqueBackgroundFillsTheGaps) {
  {
    ui::Dc dc(image_);
    dc.SetPen(ui::Pen::None());
    dc.SetBrush(ui::Brush::Hatched(ui::HatchStyle::Cross, ui::kBlack));
    dc.SetBackgroundColor(ui::kYellow);
    dc.SetBackgroundMode(ui::BackgroundMode::Opaque);
    dc.Rectangle({0, 0, 17, 17});
    dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
    dc.Rectangle({16, 16, 32, 32});
  }
  int yellow = 0;
  int black = 0;
  int white = 0;
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 15; ++x) {
      yellow += PixelAt(image_, x, y) == ui::kYellow;
      black += PixelAt(image_, x, y) == ui::kBlack;
      white += PixelAt(image_, 17 + x, 17 + y) == ui::kWhite;
    }
  }
  EXPECT_GT(yellow, 0);
  EXPECT_GT(black, 0);
  EXPECT_EQ(yellow + black, 15 * 15);
  EXPECT_GT(white, 0);  // transparent hatch leaves the white paper between its lines
}

TEST_F(DcPixelRules, ContextOnAnOpenPainterIgnoresItsStateAndGivesItBack) {
  QPainter painter(&image_);
  painter.translate(5, 5);
  painter.setClipRect(0, 0, 2, 2);
  painter.setPen(QPen(Qt::red));
  {
    ui::Dc dc(painter);
    dc.MoveTo({0, 0});
    dc.LineTo({10, 0});
    dc.FillRect({0, 10, 10, 12}, ui::kBlue);
  }
  EXPECT_EQ(Row(image_, 0, 0, 10), "##########.");
  EXPECT_EQ(PixelAt(image_, 9, 11), ui::kBlue);
  EXPECT_TRUE(painter.hasClipping());
  EXPECT_EQ(painter.transform().dx(), 5.0);
  EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
}

TEST_F(DcPixelRules, NullImageTakesNoDrawing) {
  QImage none;
  ui::Dc dc(none);
  dc.MoveTo({0, 0});
  dc.LineTo({10, 10});
  dc.Rectangle({0, 0, 5, 5});
  EXPECT_EQ(dc.Metrics().pixels, (ui::Size{0, 0}));
}

TEST_F(DcPixelRules, WideLineCoversItsWidthAroundTheCentre) {
  {
    ui::Dc dc(image_);
    dc.SetPen(ui::Pen::Solid(ui::kBlack, 3));
    dc.MoveTo({10, 8});
    dc.LineTo({10, 20});
  }
  EXPECT_EQ(Row(image_, 14, 7, 13), "..###..");
}

}  // namespace
