#pragma once

#include "platform/ui/DrawnWindow.h"
#include "platform/ui/draw/Region.h"

// The fan-shaped band of a level meter: a slice of a circle twice as wide as the control, centred
// far below it, cut by the band rectangle. Fractions of the scale map to points on the band's top
// edge: 0 the left end, 1 the right end.
struct FanGeometry {
  static FanGeometry For(ui::Size client);
  // The point on the top edge for a fraction of the scale (kept within 0..1).
  ui::Point AtFraction(float fraction) const;

  ui::Rect band;
  float radius = 0.0f;
  float halfAngle = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  ui::Point top;
  ui::Point centre;
  ui::Point bottomLeft;
  ui::Point bottomRight;
  ui::Point arcEndRight;
  ui::Point arcEndLeft;
  ui::Rect circle;
  ui::Region region;  // the band: the quadrilateral under the two rays, inside the circle
};

// Base of the level meters: the fan geometry, the frame, and the band painted by the subclass.
class THotGauge2 : public ui::OwnerDrawButton {
 public:
  using ui::OwnerDrawButton::OwnerDrawButton;
  // Repaints the band at once; the owner calls it after writing a new level.
  void PaintLevel();
  void ShowPeakLine(bool show) { peakLine_ = show; }

 protected:
  void SetupWindow() override;
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;
  virtual void PaintLevel(ui::Dc& dc) = 0;
  const FanGeometry& Fan() const { return fan_; }
  bool PeakLineShown() const { return peakLine_; }

 private:
  bool peakLine_ = true;
  FanGeometry fan_;
};
