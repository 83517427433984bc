#pragma once

#include <QImage>
#include <memory>

#include "platform/ui/draw/Geometry.h"

class QLabel;

namespace ui {

class Window;

// The picture that follows the mouse while the user drags an item: shown over a window, moved with
// the mouse in place of the cursor (hidden meanwhile) but never past the window's edges, and gone
// when the drag ends (or the object goes), or when a modal prompt opens. `hotSpot` is the point of
// the image that sits under the mouse.
class DragImage {
 public:
  DragImage(const QImage& image, Point hotSpot);
  ~DragImage();
  DragImage(const DragImage&) = delete;
  DragImage& operator=(const DragImage&) = delete;

  void Enter(const Window& over, Point clientPoint);
  void Move(Point clientPoint);
  void Leave();
  bool IsShown() const;
  // Where the image's upper-left corner is, in the client coordinates of the window it is over.
  Point Position() const;
  // Every image leaves, for the rest of its drag: a modal prompt takes the mouse, and a picture
  // left floating over it would follow nothing.
  static void LeaveAll();

 private:
  std::unique_ptr<QLabel> label_;
  Point hotSpot_;
  const Window* over_ = nullptr;
  bool cursorHidden_ = false;
};

}  // namespace ui
