#pragma once

#include <QObject>

class QWidget;

namespace controls {

// Keeps the mouse buttons from a widget whose window handles them itself. The layer routes the
// mouse to the window before the widget sees it, so the window still gets every press and release.
class MouseBlocker : public QObject {
 public:
  explicit MouseBlocker(QWidget& widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
};

}  // namespace controls
