#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/draw/Dc.h"

namespace ui {

// The offscreen image of a custom-drawn widget: painted by the window's code through a device
// context, then shown. Keeps the image as large as the widget.
class OffscreenImage {
 public:
  // The image at the widget's size; true when it was just (re)made and holds nothing yet.
  bool Prepare(const QWidget& widget);
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

// Draws on a window's offscreen image outside a paint and shows the result when it goes.
class ClientDc {
 public:
  ClientDc(QWidget& widget, OffscreenImage& image);
  ~ClientDc();
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  Dc& dc() { return *dc_; }

 private:
  QWidget& widget_;
  std::unique_ptr<Dc> dc_;
};

// While an operation holds the message loop, a custom-drawn widget shows what it drew last: its
// drawing code may read the units, which has to wait until the operation is done. It draws anew
// once the operation has returned to the loop.
class DeferredDrawing {
 public:
  // Whether the widget's drawing code may run now; when not, one redraw is queued for later.
  bool DrawsNow(QWidget& widget);

 private:
  bool redrawQueued_ = false;
};

// A plain widget that shows an offscreen image, redrawn by `paint` whenever it was invalidated.
class CanvasWidget : public QWidget {
 public:
  CanvasWidget(QWidget* parent, std::function<void(Dc&)> paint);
  void Invalidate();
  OffscreenImage& Surface() { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  std::function<void(Dc&)> paint_;
  OffscreenImage image_;
  DeferredDrawing deferred_;
  bool dirty_ = true;
};

// A button that shows an offscreen image. `paint` receives what changed since the last paint.
class CanvasButton : public QAbstractButton {
 public:
  enum class Change { Entire, Selection, Focus };
  CanvasButton(QWidget* parent, std::function<void(Dc&, Change)> paint);
  void Invalidate(Change change);
  OffscreenImage& Surface() { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  std::function<void(Dc&, Change)> paint_;
  OffscreenImage image_;
  DeferredDrawing deferred_;
  std::optional<Change> pending_ = Change::Entire;
};

}  // namespace ui
