#include "platform/ui/draw/CoordinateMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace ui {

namespace {

// Device and logical coordinates are kept within this range, so differences of two of them
// still fit an int.
constexpr int64_t kCoordinateLimit = (int64_t{1} << 30) - 1;

constexpr int kHundredthsPerInch = 100;

// (value - from) * numerator / denominator + to, rounded to the nearest integer with halves away
// from zero, without overflow on the way, clamped to the coordinate range.
int MapAxis(int value, int from, int numerator, int denominator, int to) {
  // One unit to one pixel, as in text mode: no scaling, and graphs map every point this way.
  if (numerator == denominator) {
    return static_cast<int>(
        std::clamp<int64_t>(int64_t{value} - from + to, -kCoordinateLimit, kCoordinateLimit));
  }
  const __int128 product = (__int128{value} - from) * numerator;
  const __int128 divisor = denominator < 0 ? -__int128{denominator} : __int128{denominator};
  const __int128 magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  const __int128 scaled = (product < 0) != (denominator < 0) ? -magnitude : magnitude;
  const __int128 mapped = scaled + to;
  return static_cast<int>(std::clamp<__int128>(mapped, -kCoordinateLimit, kCoordinateLimit));
}

// The viewport extent that gives `windowExtent` the scale `scale`, keeping the viewport's
// direction.
int ShrunkExtent(int viewportExtent, int windowExtent, double scale) {
  const int magnitude = std::max(1, static_cast<int>(std::lround(std::abs(windowExtent) * scale)));
  return viewportExtent < 0 ? -magnitude : magnitude;
}

}  // namespace

void CoordinateMapping::SetMode(MappingMode mode) {
  mode_ = mode;
  if (mode_ == MappingMode::Isotropic) KeepIsotropic();
}

Size CoordinateMapping::WindowExtent() const {
  switch (mode_) {
    case MappingMode::Text:
      return {1, 1};
    case MappingMode::LoEnglish:
      return {kHundredthsPerInch, kHundredthsPerInch};
    default:
      return windowExtent_;
  }
}

Size CoordinateMapping::ViewportExtent() const {
  switch (mode_) {
    case MappingMode::Text:
      return {1, 1};
    case MappingMode::LoEnglish:
      return {dpi_.cx, -dpi_.cy};
    default:
      return viewportExtent_;
  }
}

void CoordinateMapping::SetDeviceResolution(int dpiX, int dpiY) {
  if (dpiX > 0 && dpiY > 0) dpi_ = {dpiX, dpiY};
}

bool CoordinateMapping::SetWindowExtent(Size s) {
  if (s.cx == 0 || s.cy == 0) return false;
  windowExtent_ = s;
  if (mode_ == MappingMode::Isotropic) KeepIsotropic();
  return true;
}

bool CoordinateMapping::SetViewportExtent(Size s) {
  if (s.cx == 0 || s.cy == 0) return false;
  viewportExtent_ = s;
  if (mode_ == MappingMode::Isotropic) KeepIsotropic();
  return true;
}

// Shrinks the viewport extent on the axis with the larger scale, so a logical unit is as long on
// x as on y and a circle stays round whatever the window's shape.
void CoordinateMapping::KeepIsotropic() {
  const double scaleX = std::abs(double(viewportExtent_.cx) / windowExtent_.cx);
  const double scaleY = std::abs(double(viewportExtent_.cy) / windowExtent_.cy);
  if (scaleX > scaleY) {
    viewportExtent_.cx = ShrunkExtent(viewportExtent_.cx, windowExtent_.cx, scaleY);
  } else if (scaleY > scaleX) {
    viewportExtent_.cy = ShrunkExtent(viewportExtent_.cy, windowExtent_.cy, scaleX);
  }
}

Point CoordinateMapping::ToDevice(Point p) const {
  const Size we = WindowExtent();
  const Size ve = ViewportExtent();
  return {MapAxis(p.x, windowOrigin_.x, ve.cx, we.cx, viewportOrigin_.x),
          MapAxis(p.y, windowOrigin_.y, ve.cy, we.cy, viewportOrigin_.y)};
}

Point CoordinateMapping::ToLogical(Point p) const {
  const Size we = WindowExtent();
  const Size ve = ViewportExtent();
  return {MapAxis(p.x, viewportOrigin_.x, we.cx, ve.cx, windowOrigin_.x),
          MapAxis(p.y, viewportOrigin_.y, we.cy, ve.cy, windowOrigin_.y)};
}

Rect CoordinateMapping::RectToDevice(const Rect& r) const {
  const Point a = ToDevice({r.left, r.top});
  const Point b = ToDevice({r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

int CoordinateMapping::WidthToDevice(int logicalWidth) const {
  const Size we = WindowExtent();
  const Size ve = ViewportExtent();
  const int w = std::abs(MapAxis(logicalWidth, 0, ve.cx, we.cx, 0));
  return w < 1 ? 1 : w;
}

}  // namespace ui
