#include "resources/ControlsBitmaps.h"

#include <functional>

namespace controls_res {

namespace {

const QRgb kWhitePixel = qRgb(255, 255, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kFacePixel = qRgb(240, 240, 240);
const QRgb kHighlightPixel = qRgb(255, 255, 255);
const QRgb kShadowPixel = qRgb(160, 160, 160);
const QRgb kDarkShadowPixel = qRgb(105, 105, 105);
const QRgb kActivePixel = qRgb(0, 120, 215);

using Shape = std::function<bool(int x, int y)>;

// One glyph and its mask: the image holds `ink` on the shape and white elsewhere, the mask white on
// the shape and black elsewhere, so OR with the mask and AND with the image draws only the shape.
void PutGlyph(QImage& strip, int imageFrame, int maskFrame, int side, const Shape& inside,
              const std::function<QRgb(int, int)>& ink) {
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const bool on = inside(x, y);
      strip.setPixel(imageFrame * side + x, y, on ? ink(x, y) : kWhitePixel);
      strip.setPixel(maskFrame * side + x, y, on ? kWhitePixel : kBlackPixel);
    }
  }
}

QImage Strip(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kWhitePixel);
  return image;
}

}  // namespace

QImage PolarityGlyphsImage() {
  constexpr int kSide = 10;
  QImage strip = Strip(4 * kSide, kSide);
  const auto black = [](int, int) { return kBlackPixel; };
  // State 0: "+" (normal polarity); state 1: "-" (inverted).
  PutGlyph(
      strip, 0, 2, kSide,
      [](int x, int y) {
        return (y >= 4 && y <= 5 && x >= 1 && x <= 8) || (x >= 4 && x <= 5 && y >= 1 && y <= 8);
      },
      black);
  PutGlyph(
      strip, 1, 3, kSide, [](int x, int y) { return y >= 4 && y <= 5 && x >= 1 && x <= 8; }, black);
  return strip;
}

QImage LedLampsImage() {
  constexpr int kSide = 16;
  constexpr int kFrames = 8;
  constexpr int kMaskFrame = 7;
  QImage strip = Strip(kFrames * kSide, kSide);
  // Frame 5 is an unlit lamp, so that a lamp flipping between 5 and 6 reads as off and on.
  const QRgb lamps[] = {qRgb(128, 128, 128), qRgb(255, 0, 0),  qRgb(255, 255, 0),  qRgb(0, 255, 0),
                        qRgb(0, 0, 255),     qRgb(64, 64, 64), qRgb(255, 255, 255)};
  const auto disc = [](int x, int y) {
    const int dx = 2 * x - 15;
    const int dy = 2 * y - 15;
    return dx * dx + dy * dy <= 11 * 11;
  };
  for (int frame = 0; frame < kMaskFrame; ++frame) {
    const QRgb colour = lamps[frame];
    // A lit spot at the upper left gives the lamp some depth.
    PutGlyph(strip, frame, kMaskFrame, kSide, disc, [colour](int x, int y) {
      return (x - 5) * (x - 5) + (y - 5) * (y - 5) <= 2 ? qRgb(255, 255, 255) : colour;
    });
  }
  return strip;
}

QImage QuadGlyphsImage() {
  constexpr int kSide = 7;
  QImage strip = Strip(8 * kSide, kSide);
  const auto black = [](int, int) { return kBlackPixel; };
  // A triangle pointing up (or down) with its base `rows` high, starting at row `top`.
  const auto arrow = [](bool up, int top, int rows) {
    return [=](int x, int y) {
      const int row = up ? y - top : top + rows - 1 - y;
      if (row < 0 || row >= rows) return false;
      return x >= 3 - row && x <= 3 + row;
    };
  };
  const Shape down1 = arrow(false, 2, 3);
  const Shape up1 = arrow(true, 2, 3);
  const Shape down2a = arrow(false, 0, 3);
  const Shape down2b = arrow(false, 4, 3);
  const Shape up2a = arrow(true, 0, 3);
  const Shape up2b = arrow(true, 4, 3);
  // Zones 0-3: coarse decrease, fine decrease, fine increase, coarse increase.
  PutGlyph(
      strip, 0, 4, kSide, [&](int x, int y) { return down2a(x, y) || down2b(x, y); }, black);
  PutGlyph(strip, 1, 5, kSide, down1, black);
  PutGlyph(strip, 2, 6, kSide, up1, black);
  PutGlyph(
      strip, 3, 7, kSide, [&](int x, int y) { return up2a(x, y) || up2b(x, y); }, black);
  return strip;
}

QImage SliderThumbImage() {
  constexpr int kWidth = 13;
  constexpr int kHeight = 8;
  QImage strip = Strip(2 * kWidth, kHeight);
  for (int frame = 0; frame < 2; ++frame) {
    const QRgb centre = frame == 0 ? kBlackPixel : kActivePixel;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        QRgb pixel = kFacePixel;
        if (x == 0 || y == 0) pixel = kHighlightPixel;
        if (x == kWidth - 2 || y == kHeight - 2) pixel = kShadowPixel;
        if (x == kWidth - 1 || y == kHeight - 1) pixel = kDarkShadowPixel;
        if ((y == 3 || y == 4) && x > 1 && x < kWidth - 2) pixel = centre;
        strip.setPixel(frame * kWidth + x, y, pixel);
      }
    }
  }
  return strip;
}

}  // namespace controls_res
