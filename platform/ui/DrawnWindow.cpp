#include "platform/ui/DrawnWindow.h"

namespace ui {

QWidget* DrawnWindow::MakeWidget(QWidget* parentWidget) {
  auto* canvas = new CanvasWidget(parentWidget, [this](Dc& dc) { Paint(dc); });
  canvas->setFocusPolicy(Qt::ClickFocus);
  return canvas;
}

std::unique_ptr<ClientDc> DrawnWindow::DrawNow() {
  auto* canvas = static_cast<CanvasWidget*>(Widget());
  if (canvas == nullptr) return nullptr;
  return std::make_unique<ClientDc>(*canvas, canvas->Surface());
}

QImage DrawnWindow::Snapshot() const {
  auto* canvas = static_cast<CanvasWidget*>(Widget());
  return canvas != nullptr ? canvas->Surface().Image() : QImage();
}

void DrawnWindow::Invalidate() {
  if (auto* canvas = static_cast<CanvasWidget*>(Widget())) canvas->Invalidate();
}

QWidget* OwnerDrawButton::MakeControlWidget(QWidget* parentWidget) {
  auto* button = new CanvasButton(parentWidget, [this](Dc& dc, CanvasButton::Change change) {
    switch (change) {
      case CanvasButton::Change::Entire:
        DrawEntire(dc, State());
        break;
      case CanvasButton::Change::Selection:
        SelectChange(dc, State());
        break;
      case CanvasButton::Change::Focus:
        FocusChange(dc, State());
        break;
    }
  });
  QObject::connect(button, &QAbstractButton::clicked, button, [this] { RouteClick(); });
  return button;
}

DrawItemState OwnerDrawButton::State() const {
  auto* button = As<CanvasButton>();
  return {button->isDown(), button->hasFocus(), !button->isEnabled()};
}

std::unique_ptr<ClientDc> OwnerDrawButton::DrawNow() {
  auto* button = As<CanvasButton>();
  if (button == nullptr) return nullptr;
  return std::make_unique<ClientDc>(*button, button->Surface());
}

QImage OwnerDrawButton::Snapshot() const {
  auto* button = As<CanvasButton>();
  return button != nullptr ? button->Surface().Image() : QImage();
}

void OwnerDrawButton::Redraw() {
  if (auto* button = As<CanvasButton>()) button->Invalidate(CanvasButton::Change::Entire);
}

void OwnerDrawButton::Click() {
  if (auto* button = As<CanvasButton>(); button != nullptr && button->isEnabled()) button->click();
}

}  // namespace ui
