#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;
using ui::Color;
using ui::RasterOp;

TEST(RasterOps, EachOperationCombinesTheExactBitsOfItsOwnPixelsOnly) {
  constexpr Color kTarget{0x12, 0x34, 0x56};
  constexpr Color kSource{0x0F, 0xF0, 0x3C};
  QImage source(1, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(kSource.r, kSource.g, kSource.b));
  const struct {
    RasterOp op;
    Color expected;
  } cases[] = {{RasterOp::Copy, kSource},
               {RasterOp::Or, {0x1F, 0xF4, 0x7E}},
               {RasterOp::And, {0x02, 0x30, 0x14}},
               {RasterOp::Xor, {0x1D, 0xC4, 0x6A}},
               {RasterOp::NotCopy, {0xF0, 0x0F, 0xC3}}};
  for (const auto& c : cases) {
    QImage target = ui::MakeDrawingSurface({3, 3}, kTarget);
    {
      ui::Dc dc(target);
      dc.Blit({1, 1}, ui::Bitmap(source), {0, 0, 1, 1}, c.op);
    }
    EXPECT_EQ(PixelAt(target, 1, 1), c.expected) << static_cast<int>(c.op);
    EXPECT_EQ(PixelAt(target, 0, 0), kTarget);
    EXPECT_EQ(PixelAt(target, 2, 2), kTarget);
  }
}

// The lamp and glyph buttons draw a mask frame with Or, then the image frame with And.
TEST(RasterOps, MaskThenImageFromAStripDrawsOnlyTheGlyph) {
  constexpr Color kBackground{0x12, 0x34, 0x56};
  QImage strip(8, 4, QImage::Format_RGB32);
  strip.fill(Qt::white);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) strip.setPixel(4 + x, y, qRgb(0, 0, 0));
    strip.setPixel(y, y, qRgb(255, 0, 0));          // image: a red diagonal on white
    strip.setPixel(4 + y, y, qRgb(255, 255, 255));  // mask: white under the glyph
  }
  const ui::BitmapStrip frames = ui::BitmapStrip::SquareFrames(ui::Bitmap(strip));
  ASSERT_EQ(frames.FrameCount(), 2);
  QImage target = ui::MakeDrawingSurface({6, 6}, kBackground);
  {
    ui::Dc dc(target);
    dc.BlitFrame({1, 1}, frames, 1, RasterOp::Or);
    dc.BlitFrame({1, 1}, frames, 0, RasterOp::And);
    dc.BlitFrame({1, 1}, frames, 2, RasterOp::Copy);  // no such frame: nothing
  }
  EXPECT_EQ(PixelAt(target, 1, 1), ui::kRed);
  EXPECT_EQ(PixelAt(target, 4, 4), ui::kRed);
  EXPECT_EQ(PixelAt(target, 2, 1), kBackground);
  EXPECT_EQ(PixelAt(target, 5, 5), kBackground);
}

TEST(RasterOps, StripFrameGeometry) {
  QImage thumb(26, 8, QImage::Format_RGB32);
  const ui::BitmapStrip twoFrames(ui::Bitmap(thumb), 2);
  EXPECT_EQ(twoFrames.FrameSize(), (ui::Size{13, 8}));
  EXPECT_EQ(twoFrames.Frame(1), (ui::Rect{13, 0, 26, 8}));
  EXPECT_TRUE(twoFrames.Frame(2).IsEmpty());
  EXPECT_TRUE(twoFrames.Frame(-1).IsEmpty());
  EXPECT_EQ(ui::BitmapStrip(ui::Bitmap(thumb), 0).FrameCount(), 0);
  EXPECT_EQ(ui::BitmapStrip(ui::Bitmap(thumb), 27).FrameCount(), 0);
  EXPECT_EQ(ui::BitmapStrip::SquareFrames(ui::Bitmap()).FrameCount(), 0);
}

}  // namespace
