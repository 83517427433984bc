#pragma once

#include <QImage>

#include "platform/ui/draw/Geometry.h"

namespace ui {

// An image to copy onto a context with a raster operation. Kept as 32-bit RGB, so the raster
// operations work on exact pixel values.
class Bitmap {
 public:
  Bitmap() = default;
  explicit Bitmap(const QImage& image);

  bool IsNull() const { return image_.isNull(); }
  Size Dimensions() const { return {image_.width(), image_.height()}; }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

// A row of equal-width frames in one bitmap, e.g. a button's states or glyphs and their masks.
class BitmapStrip {
 public:
  // `frameCount` frames side by side; a count below 1 or wider than the bitmap gives no frames.
  BitmapStrip(Bitmap bitmap, int frameCount);
  // Square frames, as wide as the bitmap is high.
  static BitmapStrip SquareFrames(Bitmap bitmap);

  const Bitmap& Source() const { return bitmap_; }
  int FrameCount() const { return frameCount_; }
  Size FrameSize() const { return {frameWidth_, bitmap_.Dimensions().cy}; }
  // The frame's rectangle in the bitmap; empty for an index out of range.
  Rect Frame(int index) const;

 private:
  Bitmap bitmap_;
  int frameCount_ = 0;
  int frameWidth_ = 0;
};

}  // namespace ui
