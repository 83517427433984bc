#pragma once

#include <QRegion>
#include <vector>

#include "platform/ui/draw/Geometry.h"

namespace ui {

// A set of device pixels, used to clip drawing. Built from device coordinates: a region does not
// follow a context's mapping mode.
class Region {
 public:
  Region() = default;  // empty
  static Region FromRect(const Rect& r);
  static Region FromEllipse(const Rect& bounds);
  // The pixels inside the closed polygon (alternate filling).
  static Region FromPolygon(const std::vector<Point>& points);

  Region Intersected(const Region& other) const { return Region(area_.intersected(other.area_)); }
  Region United(const Region& other) const { return Region(area_.united(other.area_)); }
  bool Contains(Point p) const { return area_.contains(QPoint(p.x, p.y)); }
  bool IsEmpty() const { return area_.isEmpty(); }

  const QRegion& Area() const { return area_; }

 private:
  explicit Region(QRegion area) : area_(std::move(area)) {}
  QRegion area_;
};

}  // namespace ui
