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
  // A level the program could not read: the band holds no bar and no peak line but a "?", so that
  // a silent unit never reads as a silent signal, until the owner writes a level again.
  void ShowUnknown();
  bool ShowsUnknown() const { return unknown_; }

 protected:
  void SetupWindow() override;
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;
  // Paints the level over the empty band, clipped to it; the outline is drawn over it after.
  virtual void PaintLevel(ui::Dc& dc) = 0;
  // The owner wrote a level: the band shows it from the next paint on.
  void LevelKnown() { unknown_ = false; }
  const FanGeometry& Fan() const { return fan_; }
  bool PeakLineShown() const { return peakLine_; }

 private:
  void PaintBand(ui::Dc& dc);
  void PaintUnknown(ui::Dc& dc) const;
  void PaintOutline(ui::Dc& dc) const;

  bool peakLine_ = true;
  bool unknown_ = false;
  FanGeometry fan_;
};
