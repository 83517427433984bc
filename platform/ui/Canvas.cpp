#include "platform/ui/Canvas.h"

#include <QPainter>

#include "platform/ui/Guard.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/WindowBridge.h"
#include "platform/ui/draw/Color.h"

namespace ui {

namespace {
// A custom-drawn window starts from the button face, like the old system's dialog background.
QColor Background() {
  const Color face = SystemColorOf(SystemColor::ButtonFace);
  return QColor(face.r, face.g, face.b);
}
}  // namespace

bool DeferredDrawing::DrawsNow(QWidget& widget) {
  if (!PaintingOnly()) return true;
  if (!redrawQueued_) {
    redrawQueued_ = true;
    PostCall(widget, [this, &widget] {
      redrawQueued_ = false;
      widget.update();
    });
  }
  return false;
}

bool OffscreenImage::Prepare(const QWidget& widget) {
  const QSize size = widget.size().expandedTo(QSize(1, 1));
  if (image_.size() == size) return false;
  image_ = QImage(size, QImage::Format_RGB32);
  image_.fill(Background());
  return true;
}

ClientDc::ClientDc(QWidget& widget, OffscreenImage& image) : widget_(widget) {
  image.Prepare(widget);
  dc_ = std::make_unique<Dc>(image.Image());
}

ClientDc::~ClientDc() {
  dc_.reset();
  widget_.update();
}

CanvasWidget::CanvasWidget(QWidget* parent, std::function<void(Dc&)> paint)
    : QWidget(parent), paint_(std::move(paint)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::Invalidate() {
  dirty_ = true;
  update();
}

void CanvasWidget::paintEvent(QPaintEvent*) {
  if ((image_.Prepare(*this) || dirty_) && deferred_.DrawsNow(*this)) {
    dirty_ = false;
    image_.Image().fill(Background());
    Dc dc(image_.Image());
    Guarded("paint", [&] { paint_(dc); });
  }
  QPainter(this).drawImage(0, 0, image_.Image());
}

void CanvasWidget::resizeEvent(QResizeEvent*) { dirty_ = true; }

CanvasButton::CanvasButton(QWidget* parent, std::function<void(Dc&, Change)> paint)
    : QAbstractButton(parent), paint_(std::move(paint)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(this, &QAbstractButton::pressed, this, [this] { Invalidate(Change::Selection); });
  connect(this, &QAbstractButton::released, this, [this] { Invalidate(Change::Selection); });
}

void CanvasButton::Invalidate(Change change) {
  // A pending full redraw covers any smaller change.
  if (!pending_ || *pending_ != Change::Entire) pending_ = change;
  update();
}

void CanvasButton::paintEvent(QPaintEvent*) {
  if (image_.Prepare(*this)) pending_ = Change::Entire;
  if (pending_ && deferred_.DrawsNow(*this)) {
    const Change change = *pending_;
    pending_.reset();
    Dc dc(image_.Image());
    Guarded("owner draw", [&] { paint_(dc, change); });
  }
  QPainter(this).drawImage(0, 0, image_.Image());
}

void CanvasButton::resizeEvent(QResizeEvent*) { pending_ = Change::Entire; }

void CanvasButton::focusInEvent(QFocusEvent* e) {
  QAbstractButton::focusInEvent(e);
  Invalidate(Change::Focus);
}

void CanvasButton::focusOutEvent(QFocusEvent* e) {
  QAbstractButton::focusOutEvent(e);
  Invalidate(Change::Focus);
}

}  // namespace ui
