#pragma once

#include "platform/ui/draw/Geometry.h"

namespace ui {

enum class MappingMode {
  Text,         // one logical unit per device pixel, y downwards; origins still apply
  Isotropic,    // window and viewport extents, kept to equal scales on both axes
  Anisotropic,  // window and viewport extents, each axis scaled on its own
  LoEnglish,    // one logical unit is 0.01 inch at the device's resolution, y upwards
};

// The map from a drawing's logical coordinates to device pixels:
//   device = (logical - window origin) * viewport extent / window extent + viewport origin,
// in integers rounded to the nearest, halves away from zero.
class CoordinateMapping {
 public:
  MappingMode Mode() const { return mode_; }
  void SetMode(MappingMode mode);

  Point WindowOrigin() const { return windowOrigin_; }
  Point ViewportOrigin() const { return viewportOrigin_; }
  Size WindowExtent() const;
  Size ViewportExtent() const;
  void SetWindowOrigin(Point p) { windowOrigin_ = p; }
  void SetViewportOrigin(Point p) { viewportOrigin_ = p; }
  // Extents with a zero component are refused (returns false, nothing changes).
  bool SetWindowExtent(Size s);
  bool SetViewportExtent(Size s);

  Point ToDevice(Point logical) const;
  Point ToLogical(Point device) const;
  Rect RectToDevice(const Rect& logical) const;
  // A length along x in logical units as device pixels (pen widths), never below 1.
  int WidthToDevice(int logicalWidth) const;
  // Dots per inch of the device, for the modes measured in inches; the device context sets it.
  void SetDeviceResolution(int dpiX, int dpiY);

 private:
  void KeepIsotropic();

  MappingMode mode_ = MappingMode::Text;
  Point windowOrigin_;
  Point viewportOrigin_;
  Size windowExtent_{1, 1};
  Size viewportExtent_{1, 1};
  Size dpi_{96, 96};
};

}  // namespace ui
