// The newer family's unit edit window: its menu with status-bar hints and the tree's images.

#include <QColor>
#include <QImage>
#include <QPainter>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvCommandIds.h"
#include "resources/FamilyOvCrossoverEditorIds.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "resources/FamilyOvIds.h"

namespace ovres {
namespace {

constexpr int kImagePixels = 16;
constexpr int kTreeImageCount = 9;

ui::MenuTemplate EditUnitMenu() {
  const ui::MenuItemTemplate separator;
  ui::MenuItemTemplate unit{"&Unit",
                            0,
                            {{"&Save settings...", kCmSaveSettings, {}},
                             {"&Load settings...", kCmLoadSettings, {}},
                             {"&Print report", kCmPrintReport, {}},
                             separator,
                             {"&Close", kCmCloseUnit, {}}}};
  ui::MenuItemTemplate special{"&Special",
                               0,
                               {{"Unit &Name...", kCmRenameUnit, {}},
                                separator,
                                {"&Reflash...", kCmReflash, {}},
                                {"&Strobe LEDs", kCmStrobeLeds, {}},
                                {"&Factory Init...", kCmFactoryInit, {}},
                                {"&Address...", kCmChangeAddress, {}},
                                {"Firmware &Version", kCmFirmwareVersion, {}},
                                {"Serial N&umber", kCmSerialNumber, {}}}};
  return {unit, special};
}

// One 16 x 16 frame of the strip: a page for the channel functions, a lock, a chip for the
// unit-wide nodes; the selected variant of each is drawn on a highlight.
void DrawFrame(QPainter& p, int index) {
  const bool selected = index % 2 == 1 && index != 6;
  const QRectF box(index * kImagePixels + 0.5, 0.5, kImagePixels - 1, kImagePixels - 1);
  if (selected) p.fillRect(box, QColor(200, 215, 245));
  p.setPen(QPen(QColor(40, 40, 40), 1));
  const double x = index * kImagePixels;
  if (index <= 5) {
    p.setBrush(QColor(250, 250, 235));
    p.drawRect(QRectF(x + 3.5, 1.5, 9, 12));
    p.setPen(QColor(40, 90, 170));
    p.drawLine(QPointF(x + 5, 5), QPointF(x + 11, 5));
    p.drawLine(QPointF(x + 5, 8), QPointF(x + 11, 8));
    p.drawLine(QPointF(x + 5, 11), QPointF(x + 9, 11));
  } else if (index == 6) {
    p.setBrush(QColor(220, 170, 40));
    p.drawRect(QRectF(x + 3.5, 7.5, 9, 7));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(x + 5.5, 2.5, 5, 9), 0, 180 * 16);
  } else {
    p.setBrush(QColor(70, 75, 85));
    p.drawRect(QRectF(x + 3.5, 3.5, 9, 9));
    p.setPen(QColor(70, 75, 85));
    for (int pin = 5; pin <= 11; pin += 3) {
      p.drawLine(QPointF(x + pin, 1), QPointF(x + pin, 3));
      p.drawLine(QPointF(x + pin, 13), QPointF(x + pin, 15));
    }
  }
}

// A strip of the nine frames on white, the mask colour.
QImage TreeImages() {
  QImage strip(kImagePixels * kTreeImageCount, kImagePixels, QImage::Format_RGB32);
  strip.fill(Qt::white);
  QPainter p(&strip);
  for (int i = 0; i < kTreeImageCount; ++i) DrawFrame(p, i);
  return strip;
}

}  // namespace

void RegisterFamilyOvResources() {
  ui::Resources::AddMenu(kEditUnitMenu, EditUnitMenu());
  ui::Resources::AddString(kEditUnitMenu, kCmSaveSettings, "Save the unit's settings to a file");
  ui::Resources::AddString(kEditUnitMenu, kCmLoadSettings, "Load the unit's settings from a file");
  ui::Resources::AddString(kEditUnitMenu, kCmPrintReport, "Print a report of the unit's settings");
  ui::Resources::AddString(kEditUnitMenu, kCmCloseUnit, "Close the unit's window");
  ui::Resources::AddString(kEditUnitMenu, kCmRenameUnit, "Change the unit's name");
  ui::Resources::AddString(kEditUnitMenu, kCmReflash, "Replace the unit's firmware from a file");
  ui::Resources::AddString(kEditUnitMenu, kCmStrobeLeds,
                           "Flash the unit's LEDs to find it in the rack");
  ui::Resources::AddString(kEditUnitMenu, kCmFactoryInit,
                           "Return the unit to its factory settings");
  ui::Resources::AddString(kEditUnitMenu, kCmChangeAddress, "Change the unit's bus address");
  ui::Resources::AddString(kEditUnitMenu, kCmFirmwareVersion, "Show the unit's firmware version");
  ui::Resources::AddString(kEditUnitMenu, kCmSerialNumber, "Show the unit's serial number");
  ui::Resources::AddImage(kTreeImages, TreeImages());
  RegisterFamilyOvCommandDialogs();
  ovfilter_res::RegisterFilterEditorResources();
  ovcrossover_res::RegisterFamilyOvCrossoverDialogs();
  ovchannels_res::RegisterChannelResources();
  ovcrossover_editor_res::RegisterCrossoverEditorResources();
}

}  // namespace ovres
