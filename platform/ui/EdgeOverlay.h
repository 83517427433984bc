#pragma once

#include <QWidget>

namespace ui {

enum class WindowEdge;

// Draws a window's border over the rim of its widget, above the window's own drawing and its
// children, and lets the mouse through to them.
class EdgeOverlay : public QWidget {
 public:
  EdgeOverlay(QWidget& host, WindowEdge edge);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  WindowEdge edge_;
};

}  // namespace ui
