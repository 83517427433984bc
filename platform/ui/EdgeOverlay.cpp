#include "platform/ui/EdgeOverlay.h"

#include <QEvent>
#include <QPainter>

#include "platform/ui/Window.h"
#include "platform/ui/draw/Color.h"

namespace ui {

namespace {
QColor Q(SystemColor which) {
  const Color c = SystemColorOf(which);
  return QColor(c.r, c.g, c.b);
}

// One ring of an edge: `topLeft` along the top and left sides, `bottomRight` along the others.
void Ring(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
  p.setPen(bottomRight);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}
}  // namespace

EdgeOverlay::EdgeOverlay(QWidget& host, WindowEdge edge) : QWidget(&host), edge_(edge) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(host.rect());
  host.installEventFilter(this);
  raise();
}

bool EdgeOverlay::eventFilter(QObject*, QEvent* e) {
  if (e->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  // Children made later would cover the edge.
  if (e->type() == QEvent::ChildAdded) raise();
  return false;
}

void EdgeOverlay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect outer = rect();
  if (edge_ == WindowEdge::Line) {
    p.setPen(QColor(0, 0, 0));
    p.drawRect(outer.adjusted(0, 0, -1, -1));
    return;
  }
  Ring(p, outer, Q(SystemColor::ButtonShadow), Q(SystemColor::ButtonHighlight));
  Ring(p, outer.adjusted(1, 1, -1, -1), Q(SystemColor::ButtonDarkShadow),
       Q(SystemColor::ButtonLight));
}

}  // namespace ui
