#include "platform/ui/draw/PixelLine.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
// Dash patterns in pixels: on, then off.
constexpr int kDashOnPixels = 18;
constexpr int kDashPeriodPixels = 24;
constexpr int kDotOnPixels = 3;
constexpr int kDotPeriodPixels = 6;

bool PatternOn(PenStyle style, int phase) {
  switch (style) {
    case PenStyle::Dash:
      return phase % kDashPeriodPixels < kDashOnPixels;
    case PenStyle::Dot:
      return phase % kDotPeriodPixels < kDotOnPixels;
    default:
      return true;
  }
}

}  // namespace

void PixelLine::SetClip(const QRegion* clip) {
  complexClip_ = nullptr;
  clipBounds_ = bounds_;
  if (clip == nullptr) return;
  clipBounds_ = bounds_.intersected(clip->boundingRect());
  if (clip->rectCount() > 1) complexClip_ = clip;
}

bool PixelLine::Inside(int x, int y) const {
  if (x < clipBounds_.left() || x > clipBounds_.right() || y < clipBounds_.top() ||
      y > clipBounds_.bottom()) {
    return false;
  }
  return complexClip_ == nullptr || complexClip_->contains(QPoint(x, y));
}

bool PixelLine::Draw(Point from, Point to, uint32_t rgb, PenStyle style, bool xorMode,
                     int& phase) const {
  // In 64 bits: the distance between two far-apart ints does not fit an int.
  const int64_t longDx = std::llabs(int64_t{to.x} - from.x);
  const int64_t longDy = std::llabs(int64_t{to.y} - from.y);
  if (std::max(longDx, longDy) > kMaxSteps) return false;
  const int dx = static_cast<int>(longDx);
  const int dy = static_cast<int>(longDy);
  const int steps = std::max(dx, dy);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  const bool solid = style == PenStyle::Solid;
  const uint32_t pixel = rgb | kOpaque;
  const uint32_t flip = rgb & ~kOpaque;
  int x = from.x;
  int y = from.y;
  int error = dx - dy;
  for (int i = 0; i < steps; ++i) {
    if ((solid || PatternOn(style, phase + i)) && Inside(x, y)) {
      uint32_t& target = bits_[static_cast<ptrdiff_t>(y) * stride_ + x];
      target = xorMode ? (target ^ flip) : pixel;
    }
    const int twice = 2 * error;
    if (twice > -dy) {
      error -= dy;
      x += sx;
    }
    if (twice < dx) {
      error += dx;
      y += sy;
    }
  }
  phase += steps;
  return true;
}

}  // namespace ui
