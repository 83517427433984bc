#include "controls/THotGauge2.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlDrawing.h"

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
  PaintLevel(dc);
}

void THotGauge2::PaintLevel() {
  if (auto client = DrawNow()) PaintLevel(client->dc());
}
