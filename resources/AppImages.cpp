// The application shell's icons, drawn here so that no image file has to be shipped.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

#include "platform/ui/Resources.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"

using namespace appres;

namespace {

constexpr int kLargePixels = 32;
constexpr int kSmallPixels = 16;

QImage Draw(int size, const std::function<void(QPainter&)>& paint) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  paint(p);
  return image;
}

// A processor front panel with a level trace: the program's own icon.
QImage AppIcon() {
  return Draw(kLargePixels, [](QPainter& p) {
    p.setPen(QPen(QColor(20, 40, 80), 1.5));
    p.setBrush(QColor(40, 90, 170));
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
    QPainterPath trace;
    trace.moveTo(6, 20);
    trace.cubicTo(10, 6, 14, 6, 16, 16);
    trace.cubicTo(18, 26, 22, 26, 26, 12);
    p.setPen(QPen(QColor(250, 220, 90), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
  });
}

// A rack unit seen from the front.
QImage UnitPicture() {
  return Draw(kLargePixels, [](QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(90, 95, 105));
    p.drawRect(QRectF(1.5, 9.5, 29, 13));
    p.setBrush(QColor(60, 200, 90));
    for (int i = 0; i < 4; ++i) p.drawEllipse(QRectF(5 + 4 * i, 14, 3, 3));
    p.setBrush(QColor(210, 210, 210));
    p.drawRect(QRectF(22.5, 13.5, 5, 5));
  });
}

// A device of a type that brings no icon of its own.
QImage DefaultTypeIcon() {
  return Draw(kSmallPixels, [](QPainter& p) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(150, 155, 165));
    p.drawRect(QRectF(1.5, 4.5, 13, 7));
    p.setBrush(QColor(60, 200, 90));
    p.drawEllipse(QRectF(3, 7, 2.5, 2.5));
  });
}

// A printed page.
QImage ReportIcon() {
  return Draw(kSmallPixels, [](QPainter& p) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
    p.setPen(QColor(70, 110, 190));
    for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
  });
}

// A folder.
QImage FileIcon() {
  return Draw(kSmallPixels, [](QPainter& p) {
    p.setPen(QColor(120, 90, 20));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 3.5, 6, 3));
    p.drawRect(QRectF(1.5, 5.5, 13, 8));
  });
}

// A stop sign for the error dialogs.
QImage ErrorIcon() {
  return Draw(kLargePixels, [](QPainter& p) {
    p.setPen(QPen(QColor(120, 0, 0), 1.5));
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
  });
}

}  // namespace

void RegisterAppImages() {
  ui::Resources::AddImage(kAppIcon, AppIcon());
  ui::Resources::AddImage(kUnitPicture, UnitPicture());
  ui::Resources::AddImage(kDefaultTypeIcon, DefaultTypeIcon());
  ui::Resources::AddImage(kReportIcon, ReportIcon());
  ui::Resources::AddImage(kFileIcon, FileIcon());
  ui::Resources::AddImage(kErrorIcon, ErrorIcon());
}
