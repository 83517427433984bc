#include "platform/ui/draw/Bitmap.h"

#include <utility>

namespace ui {

Bitmap::Bitmap(const QImage& image) : image_(image.convertToFormat(QImage::Format_RGB32)) {}

BitmapStrip::BitmapStrip(Bitmap bitmap, int frameCount) : bitmap_(std::move(bitmap)) {
  const int width = bitmap_.Dimensions().cx;
  if (frameCount >= 1 && frameCount <= width) {
    frameCount_ = frameCount;
    frameWidth_ = width / frameCount;
  }
}

BitmapStrip BitmapStrip::SquareFrames(Bitmap bitmap) {
  const Size size = bitmap.Dimensions();
  const int count = size.cy > 0 ? size.cx / size.cy : 0;
  return BitmapStrip(std::move(bitmap), count);
}

Rect BitmapStrip::Frame(int index) const {
  if (index < 0 || index >= frameCount_) return {};
  return {index * frameWidth_, 0, (index + 1) * frameWidth_, bitmap_.Dimensions().cy};
}

}  // namespace ui
