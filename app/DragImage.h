#pragma once

#include <QImage>
#include <memory>

#include "platform/ui/draw/Geometry.h"

class QLabel;

// The picture of a dragged list item that follows the mouse in place of the cursor, from the
// start of a drag to its drop.
class DragImage {
 public:
  // `hotSpot`: where the mouse holds the picture, from its upper-left corner.
  DragImage(const QImage& picture, ui::Point hotSpot, ui::Point screenPoint);
  ~DragImage();
  DragImage(const DragImage&) = delete;
  DragImage& operator=(const DragImage&) = delete;

  void MoveTo(ui::Point screenPoint);

 private:
  std::unique_ptr<QLabel> label_;
  ui::Point hotSpot_;
};
