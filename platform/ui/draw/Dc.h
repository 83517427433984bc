#pragma once

#include <memory>

#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/Geometry.h"

class QPaintDevice;

namespace ui {

// A device context: draws on a paint device (a window's offscreen image or a printer page) with the
// old drawing model's pixel rules. The device must outlive the context; the context holds a painter
// open on it for its whole life, so only one context per device at a time.
class Dc {
 public:
  explicit Dc(QPaintDevice& device);
  ~Dc();
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;

  // The current position; LineTo draws up to but not including its end point and moves there.
  void MoveTo(Point p);
  void LineTo(Point p);

  void FillRect(const Rect& r, Color c);

 private:
  struct State;
  std::unique_ptr<State> d_;
};

}  // namespace ui
