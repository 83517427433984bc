#include "platform/ui/draw/Region.h"

#include <QPolygon>

namespace ui {

namespace {
QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
}  // namespace

Region Region::FromRect(const Rect& r) {
  return r.IsEmpty() ? Region() : Region(QRegion(ToQRect(r)));
}

Region Region::FromEllipse(const Rect& bounds) {
  return bounds.IsEmpty() ? Region() : Region(QRegion(ToQRect(bounds), QRegion::Ellipse));
}

Region Region::FromPolygon(const std::vector<Point>& points) {
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  return Region(QRegion(polygon, Qt::OddEvenFill));
}

}  // namespace ui
