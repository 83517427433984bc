#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

namespace ui {

// Tells of a right-button click (press and release) on a view's viewport, as the list controls'
// right-click notification does; the point is where the button went up.
class RightClickDetector : public QObject {
 public:
  RightClickDetector(QObject* viewport, std::function<void(QPoint releasePoint)> onRightClick);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  std::function<void(QPoint)> onRightClick_;
  bool pressed_ = false;
};

}  // namespace ui
