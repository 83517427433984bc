#include "platform/ui/ScrollingWindow.h"

#include <QScrollArea>
#include <QScrollBar>

namespace ui {

namespace {

constexpr int kLinesPerClient = 20;

class SteppedScrollArea : public QScrollArea {
 public:
  explicit SteppedScrollArea(QWidget* parent) : QScrollArea(parent) {
    // The content is laid out with child windows that repaint as they move: following the thumb
    // would move every one of them at each step of a drag.
    horizontalScrollBar()->setTracking(false);
    verticalScrollBar()->setTracking(false);
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QScrollArea::resizeEvent(e);
    horizontalScrollBar()->setSingleStep(viewport()->width() / kLinesPerClient);
    verticalScrollBar()->setSingleStep(viewport()->height() / kLinesPerClient);
  }
};

}  // namespace

QWidget* ScrollingWindow::MakeWidget(QWidget* parentWidget) {
  auto* area = new SteppedScrollArea(parentWidget);
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

void ScrollingWindow::FitItsWindowToContent() {
  if (Widget() == nullptr) return;
  QWidget* topWidget = Widget()->window();
  Window* top = FromWidget(topWidget);
  if (top == nullptr || (top != this && !top->PlaceChild(*this))) return;
  // Whatever the window shows beside this one: its menu bar, status bar, other panes.
  const QSize around = topWidget->size() - Widget()->size();
  const Size fitting = FittingSize();
  // The window asks for twice its content and is held to the content, the frame and one pixel.
  top->SetMaximumSize({around.width() + fitting.cx + 1, around.height() + fitting.cy + 1});
  top->SetClientSize({around.width() + 2 * fitting.cx, around.height() + 2 * fitting.cy});
}

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

Size ScrollingWindow::LineStep() const {
  auto* area = static_cast<QScrollArea*>(Widget());
  if (area == nullptr) return {};
  return {area->horizontalScrollBar()->singleStep(), area->verticalScrollBar()->singleStep()};
}

}  // namespace ui
