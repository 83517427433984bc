#include "app/DragImage.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

DragImage::DragImage(const QImage& picture, ui::Point hotSpot, ui::Point screenPoint)
    : label_(std::make_unique<QLabel>()), hotSpot_(hotSpot) {
  label_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
  label_->setWindowOpacity(0.7);
  label_->setPixmap(QPixmap::fromImage(picture));
  label_->resize(picture.size());
  MoveTo(screenPoint);
  label_->show();
  QApplication::setOverrideCursor(Qt::BlankCursor);
}

DragImage::~DragImage() { QApplication::restoreOverrideCursor(); }

void DragImage::MoveTo(ui::Point screenPoint) {
  label_->move(screenPoint.x - hotSpot_.x, screenPoint.y - hotSpot_.y);
}
