#pragma once

#include <QRect>
#include <QRegion>
#include <cstdint>

#include "platform/ui/draw/Geometry.h"
#include "platform/ui/draw/Pen.h"

namespace ui {

// Draws one-pixel lines straight into a 32-bit image, with the old drawing model's choice of
// pixels (the end point left out) and an exact XOR; QPainter's own lines leave out whichever end
// it draws towards, not necessarily the end point.
class PixelLine {
 public:
  // Lines longer than this many pixels are left to the caller (QPainter clips those faster).
  static constexpr int kMaxSteps = 1 << 15;

  PixelLine(uint32_t* bits, int stridePixels, QRect bounds)
      : bits_(bits), stride_(stridePixels), bounds_(bounds), clipBounds_(bounds) {}

  void SetClip(const QRegion* clip);
  // Returns false (and draws nothing) when the line is too long for pixel stepping.
  // `phase` carries the dash pattern from one line of a figure to the next.
  bool Draw(Point from, Point to, uint32_t rgb, PenStyle style, bool xorMode, int& phase) const;

 private:
  bool Inside(int x, int y) const;

  uint32_t* bits_;
  int stride_;
  QRect bounds_;
  QRect clipBounds_;
  const QRegion* complexClip_ = nullptr;
};

}  // namespace ui
