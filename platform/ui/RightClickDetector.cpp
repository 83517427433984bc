#include "platform/ui/RightClickDetector.h"

#include <QMouseEvent>
#include <utility>

namespace ui {

RightClickDetector::RightClickDetector(QObject* viewport, std::function<void(QPoint)> onRightClick)
    : QObject(viewport), onRightClick_(std::move(onRightClick)) {
  viewport->installEventFilter(this);
}

bool RightClickDetector::eventFilter(QObject*, QEvent* e) {
  if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  auto* m = static_cast<QMouseEvent*>(e);
  if (m->button() != Qt::RightButton) return false;
  if (e->type() == QEvent::MouseButtonPress) {
    pressed_ = true;
  } else if (std::exchange(pressed_, false)) {
    onRightClick_(m->position().toPoint());
  }
  return false;
}

}  // namespace ui
