#include "platform/ui/draw/Dc.h"

#include <QPaintDevice>
#include <QPainter>

namespace ui {

namespace {
QColor ToQColor(Color c) { return QColor(c.r, c.g, c.b); }
}  // namespace

struct Dc::State {
  explicit State(QPaintDevice& device) : painter(&device) {}
  QPainter painter;
  Point position;
};

Dc::Dc(QPaintDevice& device) : d_(std::make_unique<State>(device)) {}

Dc::~Dc() = default;

void Dc::MoveTo(Point p) { d_->position = p; }

void Dc::LineTo(Point p) {
  QPen pen(Qt::black, 0);
  pen.setCapStyle(Qt::FlatCap);
  d_->painter.setPen(pen);
  d_->painter.drawLine(d_->position.x, d_->position.y, p.x, p.y);
  d_->position = p;
}

void Dc::FillRect(const Rect& r, Color c) {
  if (r.IsEmpty()) return;
  d_->painter.fillRect(r.left, r.top, r.Width(), r.Height(), ToQColor(c));
}

}  // namespace ui
