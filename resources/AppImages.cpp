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

const QColor kOrdavinexPanel(35, 105, 125);
const QColor kOrdavinexEdge(15, 45, 55);
const QColor kSocket(225, 225, 215);
const QColor kLampGreen(60, 220, 90);

// A two-unit rack front of the newer family with its display and a row of eight output sockets.
QImage OrdavinexPicture() {
  return Draw(kLargePixels, [](QPainter& p) {
    p.setPen(QPen(kOrdavinexEdge, 1));
    p.setBrush(kOrdavinexPanel);
    p.drawRect(QRectF(1.5, 6.5, 29, 19));
    p.setBrush(QColor(20, 40, 30));
    p.drawRect(QRectF(4.5, 9.5, 11, 5));
    p.setPen(QPen(kLampGreen, 1));
    p.drawLine(QPointF(6, 13), QPointF(14, 11));
    p.setPen(QPen(kOrdavinexEdge, 0.8));
    p.setBrush(kSocket);
    for (int i = 0; i < 8; ++i) p.drawEllipse(QRectF(4 + 3 * i, 19, 2.5, 2.5));
    p.setBrush(kLampGreen);
    p.drawEllipse(QRectF(25, 10, 3, 3));
  });
}

// The newer family's small icon: a rack front with a lamp and one socket per output, four to a
// row, so that the models tell themselves apart in the device lists.
QImage OrdavinexSmallIcon(int outputs) {
  constexpr int kSocketsPerRow = 4;
  constexpr int kSocketPitchPx = 3;
  return Draw(kSmallPixels, [outputs](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kOrdavinexEdge);
    p.setBrush(kOrdavinexPanel);
    p.drawRect(QRect(0, 2, 15, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kLampGreen);
    p.drawRect(QRect(2, 4, 2, 2));
    p.setBrush(kSocket);
    for (int i = 0; i < outputs; ++i) {
      const int row = i / kSocketsPerRow;
      const int column = i % kSocketsPerRow;
      p.drawRect(QRect(3 + kSocketPitchPx * column, 7 + kSocketPitchPx * row, 2, 2));
    }
  });
}

const QColor kOlderPanel(70, 70, 78);
const QColor kOlderEdge(25, 25, 30);
const QColor kLampAmber(250, 180, 40);

// The older family's small icon: a dark rack front with one amber lamp per step up the range
// (one for the first model, four for the last), so that the models tell themselves apart.
QImage OlderFamilySmallIcon(int lamps) {
  return Draw(kSmallPixels, [lamps](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kOlderEdge);
    p.setBrush(kOlderPanel);
    p.drawRect(QRect(0, 3, 15, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(kLampAmber);
    for (int i = 0; i < lamps; ++i) p.drawRect(QRect(2 + 3 * i, 7, 2, 2));
  });
}

const QColor kEqualiserPanel(190, 190, 180);
const QColor kEqualiserEdge(70, 70, 60);
const QColor kEqualiserSlider(30, 90, 170);

// The graphic equalisers' small icon: a light front with a row of slider knobs set on a curve,
// one row per channel.
QImage EqualiserSmallIcon(int channels) {
  static constexpr int kKnobs = 6;
  static constexpr int kCurve[kKnobs] = {2, 1, 0, 1, 2, 1};
  return Draw(kSmallPixels, [channels](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kEqualiserEdge);
    p.setBrush(kEqualiserPanel);
    p.drawRect(QRect(0, 2, 15, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kEqualiserSlider);
    const int rowHeight = 10 / channels;
    for (int row = 0; row < channels; ++row) {
      for (int i = 0; i < kKnobs; ++i) {
        p.drawRect(QRect(2 + 2 * i, 4 + row * rowHeight + kCurve[i], 1, 2));
      }
    }
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
  ui::Resources::AddImage(kOrdavinexIcon, OrdavinexPicture());
  ui::Resources::AddImage(kOrdavinex22SmallIcon, OrdavinexSmallIcon(2));
  ui::Resources::AddImage(kOrdavinex24SmallIcon, OrdavinexSmallIcon(4));
  ui::Resources::AddImage(kOrdavinex26SmallIcon, OrdavinexSmallIcon(6));
  ui::Resources::AddImage(kOrdavinex48SmallIcon, OrdavinexSmallIcon(8));
  ui::Resources::AddImage(kOrdavinex37SmallIcon, OrdavinexSmallIcon(7));
  ui::Resources::AddImage(kOrdavinex66SmallIcon, OrdavinexSmallIcon(6));
  ui::Resources::AddImage(kOlderBaseSmallIcon, OlderFamilySmallIcon(1));
  ui::Resources::AddImage(kOlderPlusSmallIcon, OlderFamilySmallIcon(2));
  ui::Resources::AddImage(kOlderXSmallIcon, OlderFamilySmallIcon(3));
  ui::Resources::AddImage(kOlderRuneTideSmallIcon, OlderFamilySmallIcon(4));
  ui::Resources::AddImage(kEqualiserSmallIcon, EqualiserSmallIcon(1));
  ui::Resources::AddImage(kTwoChannelEqualiserSmallIcon, EqualiserSmallIcon(2));
}
