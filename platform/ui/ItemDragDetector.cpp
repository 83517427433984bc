#include "platform/ui/ItemDragDetector.h"

#include <QApplication>
#include <QMouseEvent>

namespace ui {

ItemDragDetector::ItemDragDetector(QObject* viewport, std::function<void(QPoint)> onBeginDrag)
    : QObject(viewport), onBeginDrag_(std::move(onBeginDrag)) {
  viewport->installEventFilter(this);
}

bool ItemDragDetector::eventFilter(QObject*, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(e);
      armed_ = m->button() == Qt::LeftButton;
      pressPoint_ = m->position().toPoint();
      break;
    }
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      if (armed_ && (m->buttons() & Qt::LeftButton) &&
          (m->position().toPoint() - pressPoint_).manhattanLength() >=
              QApplication::startDragDistance()) {
        armed_ = false;
        onBeginDrag_(pressPoint_);
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      armed_ = false;
      break;
    default:
      break;
  }
  return false;
}

}  // namespace ui
