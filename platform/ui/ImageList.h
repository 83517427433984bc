#pragma once

#include <QImage>
#include <vector>

#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/Geometry.h"

class QIcon;

namespace ui {

// Images of one size, by index, for list views, tree views and drag images.
class ImageList {
 public:
  ImageList(int width, int height) : size_{width, height} {}
  // Adds one image, scaled to the list's size; returns its index.
  int Add(const QImage& image);
  // Adds every frame of a horizontal strip of frames as wide as the list's images; returns the
  // index of the first, or -1 when the strip holds no whole frame.
  int AddStrip(const QImage& strip);
  // The same, with every pixel of colour `transparent` see-through (the bitmaps' mask colour).
  int Add(const QImage& image, Color transparent);
  int AddStrip(const QImage& strip, Color transparent);
  int Count() const { return static_cast<int>(images_.size()); }
  QImage Image(int index) const;  // null when out of range
  QIcon Icon(int index) const;
  Size ImageSize() const { return size_; }

 private:
  Size size_;
  std::vector<QImage> images_;
};

}  // namespace ui
