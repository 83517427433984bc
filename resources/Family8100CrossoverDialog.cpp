#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "platform/ui/Resources.h"
#include "resources/Family8100CrossoverIds.h"

namespace f8100res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = -1;

constexpr int kPictureWidthPx = 20;
constexpr int kPictureHeightPx = 14;
// Left of a row's controls: its name, then its picture.
constexpr int kRowControlsLeft = 46;

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

// One crossover's row from `top`: its name and picture, alignment, frequency with its steps, slope
// and the polarity of the output it feeds.
void AddRow(std::vector<ui::ControlTemplate>& controls, int top, const char* name, int picture,
            int alignment, int frequency, int quad, int order, int slope, int polarity) {
  constexpr int x = kRowControlsLeft;
  controls.push_back({kNoId, ControlKind::Static, name, {4, top + 2, 22, 9}});
  controls.push_back(
      {kNoId, ControlKind::Picture, "", {26, top - 1, 16, 12}, style::kNone, picture});
  controls.push_back(
      {alignment, ControlKind::ComboBox, "", {x, top, 68, 60}, style::kDropDownList});
  controls.push_back({frequency, ControlKind::Edit, "0", {x + 71, top, 30, 12}});
  controls.push_back({quad, ControlKind::OwnerDrawButton, "", {x + 103, top - 2, 24, 16}});
  controls.push_back({order, ControlKind::UpDown, "", {x + 130, top - 2, 10, 16}});
  controls.push_back({slope, ControlKind::Static, "", {x + 142, top + 2, 16, 9}});
  controls.push_back({polarity, ControlKind::OwnerDrawButton, "", {x + 160, top - 2, 16, 16}});
}

}  // namespace

void RegisterFamily8100CrossoverDialog() {
  ui::Resources::AddImage(kLowCrossoverPicture, ResponsePicture(true));
  ui::Resources::AddImage(kHighCrossoverPicture, ResponsePicture(false));
  std::vector<ui::ControlTemplate> controls;
  AddRow(controls, 6, "Left", kLowCrossoverPicture, kLowAlignment, kLowFrequency, kLowQuad,
         kLowOrder, kLowSlope, kLowPolarity);
  AddRow(controls, 28, "Right", kHighCrossoverPicture, kHighAlignment, kHighFrequency, kHighQuad,
         kHighOrder, kHighSlope, kHighPolarity);
  constexpr int kLinkLeft = kRowControlsLeft + 180;
  controls.push_back({kNoId, ControlKind::GroupBox, "Link", {kLinkLeft, 2, 32, 42}});
  controls.push_back(
      {kCrossoverLink, ControlKind::OwnerDrawButton, "", {kLinkLeft + 6, 16, 20, 20}});
  // Narrow enough for the crossover window at its first size.
  ui::Resources::AddDialog(
      {kCrossoverDialog, "", {0, 0, kLinkLeft + 34, 48}, style::kChild, controls});
}

}  // namespace f8100res
