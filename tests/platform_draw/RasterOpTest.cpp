#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/draw/Dc.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using drawtest::PixelAt;
using ui::Color;
using ui::RasterOp;

constexpr Color kBackground{0x12, 0x34, 0x56};
constexpr Color kSource{0x0F, 0xF0, 0x3C};

// One source pixel blitted on one known background pixel gives the raster operation's result on
// every channel.
Color BlitOnePixel(RasterOp op) {
  QImage source(1, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(kSource.r, kSource.g, kSource.b));
  QImage target = ui::MakeDrawingSurface({3, 3}, kBackground);
  {
    ui::Dc dc(target);
    dc.Blit({1, 1}, ui::Bitmap(source), {0, 0, 1, 1}, op);
  }
  EXPECT_EQ(PixelAt(target, 0, 0), kBackground) << "the blit spilled over its pixel";
  return PixelAt(target, 1, 1);
}

Color Combine(Color a, Color b, uint8_t (*f)(uint8_t, uint8_t)) {
  return {f(a.r, b.r), f(a.g, b.g), f(a.b, b.b)};
}

TEST(RasterOps, EachOperationCombinesTheExactBits) {
  EXPECT_EQ(BlitOnePixel(RasterOp::Copy), kSource);
  EXPECT_EQ(BlitOnePixel(RasterOp::Or),
            Combine(kSource, kBackground, [](uint8_t s, uint8_t d) -> uint8_t { return s | d; }));
  EXPECT_EQ(BlitOnePixel(RasterOp::And),
            Combine(kSource, kBackground, [](uint8_t s, uint8_t d) -> uint8_t { return s & d; }));
  EXPECT_EQ(BlitOnePixel(RasterOp::Xor),
            Combine(kSource, kBackground, [](uint8_t s, uint8_t d) -> uint8_t { return s ^ d; }));
  EXPECT_EQ(BlitOnePixel(RasterOp::NotCopy),
            Combine(kSource, kBackground, [](uint8_t s, uint8_t) -> uint8_t { return ~s; }));
}

// A strip of square frames: frame 0 the glyph (a red diagonal on white), frame 1 its mask (white
// under the glyph, black where the background should show through).
ui::BitmapStrip GlyphAndMask() {
  QImage strip(8, 4, QImage::Format_RGB32);
  strip.fill(Qt::white);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) strip.setPixel(4 + x, y, qRgb(0, 0, 0));
    strip.setPixel(y, y, qRgb(255, 0, 0));
    strip.setPixel(4 + y, y, qRgb(255, 255, 255));
  }
  return ui::BitmapStrip::SquareFrames(ui::Bitmap(strip));
}

TEST(RasterOps, MaskThenGlyphDrawsOnlyTheGlyphOverTheBackground) {
  const ui::BitmapStrip strip = GlyphAndMask();
  ASSERT_EQ(strip.FrameCount(), 2);
  QImage target = ui::MakeDrawingSurface({6, 6}, kBackground);
  {
    ui::Dc dc(target);
    dc.BlitFrame({1, 1}, strip, 1, RasterOp::Or);
    dc.BlitFrame({1, 1}, strip, 0, RasterOp::And);
  }
  EXPECT_EQ(PixelAt(target, 1, 1), ui::kRed);
  EXPECT_EQ(PixelAt(target, 4, 4), ui::kRed);
  EXPECT_EQ(PixelAt(target, 2, 1), kBackground);
  EXPECT_EQ(PixelAt(target, 5, 5), kBackground);
}

TEST(RasterOps, StripFramesAndOutOfRangeFrames) {
  QImage thumb(26, 8, QImage::Format_RGB32);
  thumb.fill(Qt::black);
  const ui::BitmapStrip twoFrames(ui::Bitmap(thumb), 2);
  EXPECT_EQ(twoFrames.FrameSize(), (ui::Size{13, 8}));
  EXPECT_EQ(twoFrames.Frame(1), (ui::Rect{13, 0, 26, 8}));
  EXPECT_TRUE(twoFrames.Frame(2).IsEmpty());
  EXPECT_TRUE(twoFrames.Frame(-1).IsEmpty());
  EXPECT_EQ(ui::BitmapStrip(ui::Bitmap(thumb), 0).FrameCount(), 0);
  EXPECT_EQ(ui::BitmapStrip::SquareFrames(ui::Bitmap()).FrameCount(), 0);

  QImage target = ui::MakeDrawingSurface({4, 4});
  {
    ui::Dc dc(target);
    dc.BlitFrame({0, 0}, twoFrames, 5, RasterOp::Copy);
    dc.Blit({0, 0}, ui::Bitmap(thumb), {20, 0, 40, 8}, RasterOp::Copy);  // clipped to the bitmap
  }
  EXPECT_EQ(PixelAt(target, 0, 0), ui::kBlack);
  EXPECT_EQ(PixelAt(target, 3, 3), ui::kBlack);
  QImage untouched = ui::MakeDrawingSurface({4, 4});
  {
    ui::Dc dc(untouched);
    dc.BlitFrame({0, 0}, twoFrames, 5, RasterOp::Copy);
  }
  EXPECT_EQ(PixelAt(untouched, 0, 0), ui::kWhite);
}

}  // namespace
