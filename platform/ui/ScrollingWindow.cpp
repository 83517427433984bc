#include "platform/ui/ScrollingWindow.h"

#include <QScrollArea>
#include <QScrollBar>

namespace ui {

QWidget* ScrollingWindow::MakeWidget(QWidget* parentWidget) {
  auto* area = new QScrollArea(parentWidget);
  area->setWidgetResizable(false);
  auto* content = new QWidget;
  content->resize(contentSize_.cx, contentSize_.cy);
  area->setWidget(content);
  return area;
}

QWidget* ScrollingWindow::ChildArea() const {
  auto* area = static_cast<QScrollArea*>(Widget());
  return area != nullptr ? area->widget() : nullptr;
}

void ScrollingWindow::SetContentSize(Size s) {
  contentSize_ = s;
  if (QWidget* content = ChildArea()) content->resize(s.cx, s.cy);
}

Size ScrollingWindow::ContentSize() const { return contentSize_; }

Size ScrollingWindow::FittingSize() const {
  const auto* area = static_cast<const QScrollArea*>(Widget());
  const int frame = area != nullptr ? 2 * area->frameWidth() : 0;
  return {contentSize_.cx + frame, contentSize_.cy + frame};
}

void ScrollingWindow::FitToContent() { SetClientSize(FittingSize()); }

void ScrollingWindow::ScrollTo(Point p) {
  auto* area = static_cast<QScrollArea*>(Widget());
  if (area == nullptr) return;
  area->horizontalScrollBar()->setValue(p.x);
  area->verticalScrollBar()->setValue(p.y);
}

Point ScrollingWindow::ScrollPosition() const {
  auto* area = static_cast<QScrollArea*>(Widget());
  if (area == nullptr) return {};
  return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
}

}  // namespace ui
