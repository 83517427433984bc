#pragma once

#include "platform/ui/Resources.h"
#include "platform/ui/draw/Geometry.h"

class QFont;

namespace ui {

// Dialog units of a font: horizontally a quarter of the average character width, vertically an
// eighth of the character height, so templates keep their proportions whatever the font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int ToPixelsX(int dluX) const;
  int ToPixelsY(int dluY) const;
  Rect ToPixels(const DluBox& box) const;
  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

 private:
  int baseX_;
  int baseY_;
};

}  // namespace ui
