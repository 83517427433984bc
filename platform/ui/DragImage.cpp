#include "platform/ui/DragImage.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <vector>

#include "platform/ui/Window.h"

namespace ui {

namespace {

std::vector<DragImage*>& LiveImages() {
  static std::vector<DragImage*> images;
  return images;
}

}  // namespace

DragImage::DragImage(const QImage& image, Point hotSpot)
    : label_(std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)),
      hotSpot_(hotSpot) {
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
  label_->setWindowOpacity(0.7);
  label_->setPixmap(QPixmap::fromImage(image));
  label_->resize(image.size());
  LiveImages().push_back(this);
}

DragImage::~DragImage() {
  Leave();
  std::erase(LiveImages(), this);
}

void DragImage::LeaveAll() {
  for (DragImage* image : LiveImages()) image->Leave();
}

void DragImage::Enter(const Window& over, Point clientPoint) {
  over_ = &over;
  Move(clientPoint);
  label_->show();
  if (!cursorHidden_) QApplication::setOverrideCursor(Qt::BlankCursor);
  cursorHidden_ = true;
}

void DragImage::Move(Point clientPoint) {
  if (over_ == nullptr || !over_->IsCreated()) return;
  // The picture stays whole inside the window, also while the mouse runs past its edge.
  const Rect room = over_->ClientRect();
  const auto keepInside = [](int at, int low, int high) {
    return std::clamp(at, low, std::max(low, high));
  };
  const Point topLeft{
      keepInside(clientPoint.x - hotSpot_.x, room.left, room.right - label_->width()),
      keepInside(clientPoint.y - hotSpot_.y, room.top, room.bottom - label_->height())};
  const Point screen = over_->ClientToScreen(topLeft);
  label_->move(screen.x, screen.y);
}

void DragImage::Leave() {
  label_->hide();
  over_ = nullptr;
  if (cursorHidden_) QApplication::restoreOverrideCursor();
  cursorHidden_ = false;
}

bool DragImage::IsShown() const { return label_->isVisible(); }

Point DragImage::Position() const {
  if (over_ == nullptr) return {};
  return over_->ScreenToClient({label_->x(), label_->y()});
}

}  // namespace ui
