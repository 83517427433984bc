#include "controls/MouseBlocker.h"

#include <QEvent>
#include <QWidget>

namespace controls {

MouseBlocker::MouseBlocker(QWidget& widget) { widget.installEventFilter(this); }

bool MouseBlocker::eventFilter(QObject*, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return true;
    default:
      return false;
  }
}

}  // namespace controls
