#include "resources/CrossoverPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace crossover_pictures {

namespace {

constexpr int kPictureWidthPx = 20;
constexpr int kPictureHeightPx = 14;

// A response trace on a grid line: flat in the pass band, rolling off towards the stop band.
QImage ResponsePicture(bool lowPass) {
  QImage image(kPictureWidthPx, kPictureHeightPx, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(128, 128, 128), 1));
  p.drawLine(QPointF(0, 3.5), QPointF(kPictureWidthPx, 3.5));
  QPainterPath trace;
  if (lowPass) {
    trace.moveTo(1, 3.5);
    trace.lineTo(8, 3.5);
    trace.cubicTo(12, 3.5, 14, 6, 18, 13);
  } else {
    trace.moveTo(2, 13);
    trace.cubicTo(6, 6, 8, 3.5, 12, 3.5);
    trace.lineTo(19, 3.5);
  }
  p.setPen(QPen(QColor(0, 0, 160), 2));
  p.drawPath(trace);
  return image;
}

}  // namespace

QImage LowCrossoverPicture() { return ResponsePicture(true); }
QImage HighCrossoverPicture() { return ResponsePicture(false); }

}  // namespace crossover_pictures
