#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QAbstractItemView;

namespace ui {

// Watches a view and reports once per press on an item when the left button has dragged further
// than the platform's drag distance: the start of an item drag. Until then the view does not see
// the moves, so its selection stays on the pressed item; when the drag starts the view is told the
// press is over, since the release goes to whichever window takes the mouse for the drag, and a
// view left waiting for it ignores the next click.
class ItemDragDetector : public QObject {
 public:
  ItemDragDetector(QAbstractItemView* view, std::function<void(QPoint pressPoint)> onBeginDrag);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void EndPressInView();

  QAbstractItemView* view_;
  std::function<void(QPoint)> onBeginDrag_;
  QPoint pressPoint_;
  bool armed_ = false;
};

}  // namespace ui
