#include "controls/THotGauge2.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlDrawing.h"
#include "controls/LevelScale.h"

namespace {

constexpr float kSideInsetShare = 0.1f;       // of the width, left and right
constexpr float kTopBottomInsetShare = 0.2f;  // of the height, top and bottom
constexpr float kRadiusPerWidth = 2.0f;

int Trunc(double v) { return static_cast<int>(v); }

}  // namespace

FanGeometry FanGeometry::For(ui::Size client) {
  FanGeometry g;
  g.radius = kRadiusPerWidth * client.cx;
  const int dx = Trunc(kSideInsetShare * client.cx);
  const int dy = Trunc(kTopBottomInsetShare * client.cy);
  g.band = {dx, dy, client.cx - dx, client.cy - dy};
  g.width = static_cast<float>(g.band.Width());
  g.height = static_cast<float>(g.band.Height());
  const ui::Rect& b = g.band;
  g.halfAngle = g.radius > 0.0f ? std::atan(g.width / (2 * g.radius)) : 0.0f;
  g.centre = {b.left + Trunc(g.width / 2), b.top + Trunc(g.radius)};
  g.top = {Trunc(b.left + g.width / 2), b.top};
  const double spread = std::tan(g.halfAngle) * (g.radius - g.height);
  g.bottomLeft = {Trunc(g.centre.x - spread), b.bottom};
  g.bottomRight = {g.centre.x + Trunc(spread), b.bottom};
  const double arcY = g.centre.y - std::cos(g.halfAngle) * (g.radius - 1);
  const double arcDx = std::sin(g.halfAngle) * (g.radius - 1);
  g.arcEndRight = {Trunc(g.top.x + arcDx), Trunc(arcY)};
  g.arcEndLeft = {Trunc(g.top.x - arcDx), Trunc(arcY)};
  g.circle = {Trunc(g.centre.x - g.radius), Trunc(g.centre.y - g.radius),
              Trunc(g.centre.x + g.radius), Trunc(g.centre.y + g.radius)};
  g.region =
      ui::Region::FromPolygon({{b.left, b.top}, {b.right, b.top}, g.bottomRight, g.bottomLeft})
          .Intersected(ui::Region::FromEllipse(g.circle));
  return g;
}

ui::Point FanGeometry::AtFraction(float fraction) const {
  // Outside 0..1 the ray would swing round towards the horizontal; no level is drawn there.
  const float f = std::isfinite(fraction) ? std::clamp(fraction, 0.0f, 1.0f) : 0.0f;
  return {top.x - Trunc(radius * std::tan(halfAngle - 2 * halfAngle * f)), top.y};
}

void THotGauge2::SetupWindow() {
  ui::OwnerDrawButton::SetupWindow();
  const ui::Rect client = ClientRect();
  fan_ = FanGeometry::For({client.Width(), client.Height()});
}

void THotGauge2::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  const ui::Size client{ClientRect().Width(), ClientRect().Height()};
  controls::FillClient(dc, client, controls::Face(), controls::DarkShadow());
  controls::DrawBevel(dc, client, controls::Highlight(), controls::DarkShadow(), 1);
  PaintBand(dc);
}

void THotGauge2::PaintLevel() {
  if (auto client = DrawNow()) PaintBand(client->dc());
}

void THotGauge2::ShowUnknown() {
  // Each idle pass that finds the unit still silent asks again: the band is painted once.
  if (unknown_) return;
  unknown_ = true;
  PaintLevel();
}

void THotGauge2::PaintBand(ui::Dc& dc) {
  dc.SetClip(fan_.region);
  dc.SetBrush(ui::Brush::Solid(controls::Face()));
  dc.SetPen(ui::Pen::Solid(controls::Face()));
  dc.Rectangle(fan_.band);
  if (unknown_) {
    PaintUnknown(dc);
  } else {
    PaintLevel(dc);
  }
  PaintOutline(dc);
}

void THotGauge2::PaintUnknown(ui::Dc& dc) const {
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetTextColor(ui::kBlack);
  dc.DrawTextIn(fan_.band, controls::kUnknownValue,
                {ui::TextAlign::Horizontal::Center, ui::TextAlign::Vertical::Middle});
}

void THotGauge2::PaintOutline(ui::Dc& dc) const {
  dc.SetBrush(ui::Brush::None());
  dc.SetPen(ui::Pen::Solid(controls::Shadow()));
  dc.Ellipse(fan_.circle);
  dc.SetClip(ui::Region::FromRect(ClientRect()));
  dc.MoveTo(fan_.arcEndLeft);
  dc.LineTo(fan_.bottomLeft);
  dc.SetPen(ui::Pen::Solid(controls::Highlight()));
  dc.LineTo(fan_.bottomRight);
  dc.LineTo(fan_.arcEndRight);
}
