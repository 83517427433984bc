#include <QImage>
#include <QPainter>
#include <QPolygon>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace ovfilter_res {

namespace {

constexpr int kSide = 16;
constexpr int kStateWidth = 20;

// The editor's menu bar.
ui::MenuTemplate FilterEditorMenu() {
  const ui::MenuItemTemplate separator;
  return {
      {"&New",
       0,
       {{"&Parametric", kCmParametric, {}},
        {"&Lowpass", kCmLowpass, {}},
        {"&Highpass", kCmHighpass, {}},
        {"L&ow shelving", kCmLowShelving, {}},
        {"H&igh shelving", kCmHighShelving, {}},
        {"&Allpass", kCmAllpass, {}},
        separator,
        {"&Graphic EQ filters...", kCmOctaveArray, {}}}},
      {"&Edit",
       0,
       {{"&Bypass", kCmBypass, {}},
        {"E&nable", kCmEnable, {}},
        {"&Unlink", kCmUnlink, {}},
        separator,
        {"&Delete", kCmDelete, {}}}},
      {"&View",
       0,
       {{"&Graph", kCmShowGraph, {}},
        {"&List", kCmShowList, {}},
        separator,
        {"&Show phase", kCmShowPhase, {}}}},
      {"Window",
       0,
       {{"&Filter linking", kCmFilterLinking, {}}, {"&DSP capacity", kCmDspCapacity, {}}}},
  };
}

// Frames `width` pixels wide on white; `draw` paints frame i.
template <typename Draw>
QImage DrawnStrip(int frames, int width, Draw draw) {
  QImage strip(frames * width, kSide, QImage::Format_RGB32);
  strip.fill(Qt::white);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i < frames; ++i) {
    painter.save();
    painter.translate(i * width, 0);
    draw(painter, i);
    painter.restore();
  }
  return strip;
}

// The response a filter type draws: a few points of its curve in a 16-pixel square.
QPolygon TypeCurve(int icon) {
  switch (icon) {
    case 0:  // parametric: a peak
      return QPolygon({{1, 11}, {5, 11}, {8, 3}, {11, 11}, {15, 11}});
    case 1:  // lowpass: flat, then falling
      return QPolygon({{1, 5}, {8, 5}, {14, 14}});
    case 2:  // highpass: rising, then flat
      return QPolygon({{2, 14}, {8, 5}, {15, 5}});
    case 3:  // low shelf: high on the left
      return QPolygon({{1, 4}, {6, 4}, {10, 11}, {15, 11}});
    case 4:  // high shelf: high on the right
      return QPolygon({{1, 11}, {6, 11}, {10, 4}, {15, 4}});
    case 5:  // boost/cut: a narrow peak
      return QPolygon({{1, 11}, {6, 11}, {8, 5}, {10, 11}, {15, 11}});
    case 6:  // CD horn: a rising tilt
      return QPolygon(QList<QPoint>{{1, 12}, {15, 4}});
    default:  // allpass: flat
      return QPolygon(QList<QPoint>{{1, 8}, {15, 8}});
  }
}

constexpr int kTypeIconCount = 8;

void DrawType(QPainter& p, int icon) {
  p.setPen(QPen(QColor(0, 0, 160), 2));
  p.drawPolyline(TypeCurve(icon));
}

void DrawCross(QPainter& p) {
  p.setPen(QPen(QColor(192, 0, 0), 2));
  p.drawLine(3, 3, 12, 12);
  p.drawLine(12, 3, 3, 12);
}

void DrawLink(QPainter& p, bool broken) {
  p.setPen(QPen(QColor(96, 96, 96), 2));
  p.drawRect(1, 5, 6, 5);
  p.drawRect(9, 5, 6, 5);
  if (!broken) p.drawLine(5, 8, 11, 8);
}

void AddImages() {
  ui::Resources::AddImage(kFilterTypeIcons, DrawnStrip(kTypeIconCount, kSide, DrawType));
  const std::pair<int, int> typePictures[] = {
      {kParametricButton, 0}, {kLowpassButton, 1},   {kHighpassButton, 2}, {kLowShelfButton, 3},
      {kHighShelfButton, 4},  {kBoostCutPicture, 5}, {kAllpassButton, 7}};
  for (const auto& [id, icon] : typePictures) {
    ui::Resources::AddImage(
        id, DrawnStrip(1, kSide, [icon = icon](QPainter& p, int) { DrawType(p, icon); }));
  }
  ui::Resources::AddImage(kBypassButton, DrawnStrip(1, kSide, [](QPainter& p, int) {
                            DrawType(p, 0);
                            DrawCross(p);
                          }));
  ui::Resources::AddImage(kEnableButton, DrawnStrip(1, kSide, [](QPainter& p, int) {
                            p.setPen(QPen(QColor(0, 144, 0), 2));
                            p.drawPolyline(QPolygon({{2, 8}, {6, 12}, {14, 3}}));
                          }));
  ui::Resources::AddImage(kUnlinkButton,
                          DrawnStrip(1, kSide, [](QPainter& p, int) { DrawLink(p, true); }));
  ui::Resources::AddImage(kDeleteButton,
                          DrawnStrip(1, kSide, [](QPainter& p, int) { DrawCross(p); }));
  // State 1 bypassed, 2 linked, 3 both; state 0 stays blank.
  ui::Resources::AddImage(kFilterStateIcons, DrawnStrip(4, kStateWidth, [](QPainter& p, int state) {
                            if (state & 2) DrawLink(p, false);
                            if (state & 1) DrawCross(p);
                          }));
}

// The hints the editor's status bar shows for its menu items and buttons.
void AddStrings() {
  const std::pair<int, const char*> hints[] = {
      {kCmParametric, "Add a parametric filter"},
      {kCmLowpass, "Add a lowpass filter"},
      {kCmHighpass, "Add a highpass filter"},
      {kCmLowShelving, "Add a low shelving filter"},
      {kCmHighShelving, "Add a high shelving filter"},
      {kCmAllpass, "Add an allpass filter"},
      {kCmOctaveArray, "Add boost/cut filters on ISO centres"},
      {kCmBypass, "Bypass the selected filters"},
      {kCmEnable, "Enable the selected filters"},
      {kCmUnlink, "Unlink the selected filters"},
      {kCmDelete, "Delete the selected filters"},
      {kCmShowGraph, "Show the response graph"},
      {kCmShowList, "Show the filter list"},
      {kCmShowPhase, "Show the phase response"},
      {kCmFilterLinking, "Open the filter linking window"},
      {kCmDspCapacity, "Display DSP capacity window"},
  };
  for (const auto& [id, text] : hints) ui::Resources::AddString(kFilterEditorMenu, id, text);
}

}  // namespace

void RegisterFilterEditorResources() {
  ui::Resources::AddMenu(kFilterEditorMenu, FilterEditorMenu());
  AddImages();
  AddStrings();
}

}  // namespace ovfilter_res
