#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

namespace ui {

// Watches a view's viewport and reports once per press when the left button has dragged further
// than the platform's drag distance: the start of an item drag.
class ItemDragDetector : public QObject {
 public:
  ItemDragDetector(QObject* viewport, std::function<void(QPoint pressPoint)> onBeginDrag);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  std::function<void(QPoint)> onBeginDrag_;
  QPoint pressPoint_;
  bool armed_ = false;
};

}  // namespace ui
