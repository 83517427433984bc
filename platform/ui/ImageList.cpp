#include "platform/ui/ImageList.h"

#include <QIcon>
#include <QPixmap>

namespace ui {

namespace {
QImage WithTransparent(const QImage& image, Color transparent) {
  QImage masked = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = qRgb(transparent.r, transparent.g, transparent.b);
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      if ((line[x] & RGB_MASK) == (key & RGB_MASK)) line[x] = 0;
    }
  }
  return masked;
}
}  // namespace

int ImageList::Add(const QImage& image) {
  images_.push_back(
      image.size() == QSize(size_.cx, size_.cy)
          ? image
          : image.scaled(size_.cx, size_.cy, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  return Count() - 1;
}

int ImageList::AddStrip(const QImage& strip) {
  if (size_.cx <= 0 || strip.width() < size_.cx) return -1;
  const int first = Count();
  for (int x = 0; x + size_.cx <= strip.width(); x += size_.cx)
    Add(strip.copy(x, 0, size_.cx, strip.height()));
  return first;
}

int ImageList::Add(const QImage& image, Color transparent) {
  return Add(WithTransparent(image, transparent));
}

int ImageList::AddStrip(const QImage& strip, Color transparent) {
  return AddStrip(WithTransparent(strip, transparent));
}

QImage ImageList::Image(int index) const {
  return index >= 0 && index < Count() ? images_[static_cast<std::size_t>(index)] : QImage();
}

QIcon ImageList::Icon(int index) const {
  const QImage image = Image(index);
  return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

}  // namespace ui
