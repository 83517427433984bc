// The graphic-equaliser family's dialogs and the images of its edit window's tree.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>

#include "platform/ui/Resources.h"
#include "resources/Family3300Ids.h"
#include "resources/FamilyCommonIds.h"

namespace res3300 {
namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;
constexpr int kBandCount = 28;
constexpr int kMemoryCount = 10;
constexpr int kImagePixels = 16;
constexpr int kTreeImageCount = 10;
constexpr const char* kBandTexts[kBandCount] = {
    "31.5", "40",   "50",  "63",   "80",  "100",  "125",   "160",  "200",  "250",
    "315",  "400",  "500", "630",  "800", "1000", "1250",  "1600", "2000", "2500",
    "3150", "4000", "5k",  "6.3k", "8k",  "10k",  "12.5k", "16k"};

ui::DialogTemplate GraphicEqDialog() {
  constexpr int kPitch = 16;
  constexpr int kLeft = 8;
  // Neighbouring labels sit on alternate rows so that four-digit frequencies stay apart.
  constexpr int kLabelRowGap = 9;
  ui::DialogTemplate t{
      kGraphicEqDialog, "1/3 Octave Graphic EQ", {0, 0, 464, 179}, style::kNone, {}};
  t.controls.push_back({kNoId, ControlKind::Line, "", {4, 4, 456, 149}});
  for (int b = 0; b < kBandCount; ++b) {
    const int x = kLeft + b * kPitch;
    t.controls.push_back({kFirstBandSlider + b, ControlKind::OwnerDrawButton, "", {x, 8, 13, 118}});
    t.controls.push_back({kFirstBandLabel + b,
                          ControlKind::Static,
                          kBandTexts[b],
                          {x - 6, 130 + (b % 2) * kLabelRowGap, 25, 9},
                          style::kCenter});
  }
  t.controls.push_back({kFlattenButton, ControlKind::PushButton, "Flatten", {8, 159, 50, 14}});
  t.controls.push_back({kAdjustButton, ControlKind::PushButton, "Adjust ...", {64, 159, 50, 14}});
  t.controls.push_back(
      {ui::kIdOk, ControlKind::PushButton, "OK", {406, 159, 50, 14}, style::kDefault});
  return t;
}

ui::DialogTemplate DspiDialog() {
  return {kDspiDialog,
          "DSPI",
          {0, 0, 100, 64},
          style::kNone,
          {{kNoId, ControlKind::Line, "", {4, 4, 92, 34}},
           {kDspiLamp, ControlKind::OwnerDrawButton, "", {38, 12, 24, 18}},
           {ui::kIdOk, ControlKind::PushButton, "OK", {25, 44, 50, 14}, style::kDefault}}};
}

ui::DialogTemplate MemoryDialog() {
  constexpr int kRowPitch = 16;
  ui::DialogTemplate t{kMemoryDialog, "Memory", {0, 0, 176, 190}, style::kNone, {}};
  for (int k = 0; k < kMemoryCount; ++k) {
    const int y = 8 + k * kRowPitch;
    t.controls.push_back(
        {kNoId, ControlKind::Static, std::to_string(k + 1), {6, y + 2, 12, 10}, style::kRight});
    t.controls.push_back({kFirstName + k, ControlKind::Edit, "----------", {22, y, 60, 12}});
    t.controls.push_back({kFirstSave + k, ControlKind::PushButton, "Save", {88, y, 38, 12}});
    t.controls.push_back({kFirstRecall + k, ControlKind::PushButton, "Recall", {130, y, 38, 12}});
  }
  t.controls.push_back(
      {ui::kIdOk, ControlKind::PushButton, "OK", {63, 170, 50, 14}, style::kDefault});
  return t;
}

ui::DialogTemplate SecurityDialog() {
  return {kSecurityDialog,
          "Security",
          {0, 0, 170, 104},
          style::kNone,
          {{kNoId, ControlKind::Line, "", {4, 4, 162, 74}},
           {kNoId, ControlKind::Static, "Password:", {10, 12, 50, 10}},
           {kPasswordEdit,
            ControlKind::Edit,
            "",
            {62, 10, 60, 12},
            style::kPassword | style::kUpperCase},
           {kLockLamp, ControlKind::OwnerDrawButton, "", {10, 30, 20, 16}},
           {kNoId, ControlKind::Static, "Lock Device", {36, 33, 60, 10}},
           {kSetPasswordButton, ControlKind::PushButton, "Set new password ...", {10, 56, 90, 14}},
           {kStatusButton, ControlKind::PushButton, "Status", {106, 56, 54, 14}},
           {ui::kIdOk, ControlKind::PushButton, "OK", {60, 84, 50, 14}, style::kDefault}}};
}

// 0/1 channel A, 2 a switch as it should be, 3 a switch that wants attention (bypassed, muted),
// 4/5 channel B, 6 the lock, 7/8 the unit, 9 a switch not read (a dark lamp); the selected
// variants sit on a highlight.
void DrawFrame(QPainter& p, int index) {
  const double x = index * kImagePixels;
  const bool selected = index == 1 || index == 5 || index == 8;
  if (selected) p.fillRect(QRectF(x + 0.5, 0.5, 15, 15), QColor(200, 215, 245));
  p.setPen(QPen(QColor(40, 40, 40), 1));
  if (index <= 1 || index == 4 || index == 5) {
    p.setBrush(index <= 1 ? QColor(215, 230, 250) : QColor(250, 225, 200));
    p.drawRect(QRectF(x + 3.5, 1.5, 9, 12));
    for (int bar = 0; bar < 3; ++bar) {
      p.drawLine(QPointF(x + 5 + bar * 3, 12), QPointF(x + 5 + bar * 3, 5 + (bar % 2) * 3));
    }
  } else if (index == 2 || index == 3 || index == 9) {
    p.setBrush(index == 2   ? QColor(60, 170, 70)
               : index == 3 ? QColor(210, 50, 40)
                            : QColor(110, 110, 110));
    p.drawEllipse(QRectF(x + 3.5, 3.5, 9, 9));
  } else if (index == 6) {
    p.setBrush(QColor(220, 170, 40));
    p.drawRect(QRectF(x + 3.5, 7.5, 9, 7));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(x + 5.5, 2.5, 5, 9), 0, 180 * 16);
  } else {
    p.setBrush(QColor(70, 75, 85));
    p.drawRect(QRectF(x + 3.5, 3.5, 9, 9));
  }
}

ui::MenuTemplate EditUnitMenu() {
  return {{"&Unit",
           0,
           {{"&Save settings...", kCmSaveSettings, {}},
            {"&Load settings...", kCmLoadSettings, {}},
            {"&Print report...", kCmPrintReport, {}},
            {},
            {"&Close", kCmCloseUnit, {}}}}};
}

QImage TreeImages() {
  QImage strip(kImagePixels * kTreeImageCount, kImagePixels, QImage::Format_RGB32);
  strip.fill(Qt::white);
  QPainter p(&strip);
  for (int i = 0; i < kTreeImageCount; ++i) DrawFrame(p, i);
  return strip;
}

}  // namespace

void RegisterFamily3300Resources() {
  ui::Resources::AddDialog(GraphicEqDialog());
  ui::Resources::AddDialog(DspiDialog());
  ui::Resources::AddDialog(MemoryDialog());
  ui::Resources::AddDialog(SecurityDialog());
  ui::Resources::AddImage(kTreeImages, TreeImages());
  ui::Resources::AddMenu(kEditUnitMenu, EditUnitMenu());
  ui::Resources::AddString(kEditUnitMenu, kCmSaveSettings,
                           "Save the unit's settings and memories to a file");
  ui::Resources::AddString(kEditUnitMenu, kCmLoadSettings,
                           "Load the unit's settings and memories from a file");
  ui::Resources::AddString(kEditUnitMenu, kCmPrintReport,
                           "Write a report of the unit's settings to a file");
  ui::Resources::AddString(kEditUnitMenu, kCmCloseUnit, "Close the unit's window");
  common_res::RegisterFamilyCommonResources();
}

}  // namespace res3300
