#include "platform/ui/ItemDragDetector.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>

namespace ui {

ItemDragDetector::ItemDragDetector(QAbstractItemView* view, std::function<void(QPoint)> onBeginDrag)
    : QObject(view->viewport()), view_(view), onBeginDrag_(std::move(onBeginDrag)) {
  view->viewport()->installEventFilter(this);
}

bool ItemDragDetector::eventFilter(QObject*, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(e);
      pressPoint_ = m->position().toPoint();
      armed_ = m->button() == Qt::LeftButton && view_->indexAt(pressPoint_).isValid();
      break;
    }
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      if (!armed_ || !(m->buttons() & Qt::LeftButton)) break;
      if ((m->position().toPoint() - pressPoint_).manhattanLength() >=
          QApplication::startDragDistance()) {
        armed_ = false;
        EndPressInView();
        onBeginDrag_(pressPoint_);
      }
      return true;
    }
    case QEvent::MouseButtonRelease:
      armed_ = false;
      break;
    default:
      break;
  }
  return false;
}

void ItemDragDetector::EndPressInView() {
  // Released off every item, so that the view neither counts a click nor starts a label edit.
  const QPointF offItems(-1, -1);
  QMouseEvent release(QEvent::MouseButtonRelease, offItems,
                      view_->viewport()->mapToGlobal(offItems), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(view_->viewport(), &release);
}

}  // namespace ui
