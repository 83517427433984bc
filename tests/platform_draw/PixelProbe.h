#pragma once

#include <QImage>

#include "platform/ui/draw/Color.h"

namespace drawtest {

// The colour of one pixel, for comparing with ui colours.
inline ui::Color PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
          static_cast<uint8_t>(qBlue(p))};
}

}  // namespace drawtest
