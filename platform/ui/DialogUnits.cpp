#include "platform/ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

namespace ui {

namespace {
constexpr int kDluPerBaseX = 4;
constexpr int kDluPerBaseY = 8;

int Scale(int value, int base, int perBase) {
  // Rounded to the nearest pixel, symmetric for negative values.
  const int scaled = value * base;
  return scaled >= 0 ? (scaled + perBase / 2) / perBase : -((-scaled + perBase / 2) / perBase);
}
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (alphabetWidth / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::ToPixelsX(int dluX) const { return Scale(dluX, baseX_, kDluPerBaseX); }
int DialogUnits::ToPixelsY(int dluY) const { return Scale(dluY, baseY_, kDluPerBaseY); }

Rect DialogUnits::ToPixels(const DluBox& box) const {
  const int left = ToPixelsX(box.x);
  const int top = ToPixelsY(box.y);
  return {left, top, left + ToPixelsX(box.width), top + ToPixelsY(box.height)};
}

}  // namespace ui
