#include "controls/TQuadButton.h"

#include <algorithm>

#include "controls/ControlDrawing.h"
#include "controls/PressDragRelease.h"
#include "resources/ControlsResources.h"

namespace {

constexpr int kZoneGapPx = 2;
constexpr int kGlyphMaskOffset = 4;

ui::BitmapStrip Glyphs() { return controls::ResourceStrip(controls_res::kQuadGlyphs); }

void Line(ui::Dc& dc, ui::Color c, ui::Point from, ui::Point to) {
  dc.SetPen(ui::Pen::Solid(c));
  dc.MoveTo(from);
  dc.LineTo(to);
}

}  // namespace

TQuadButton::TQuadButton(ui::Window* parent, int id)
    : ui::OwnerDrawButton(parent, id),
      repeat_(*this, kRepeatTimerId, {kTickMs, kTickMs}, [this] { HoldEnded(); }) {
  // It draws no focus mark: the keyboard passes it by, to the entry it steps.
  SetTabStop(false);
  // The zones take the mouse themselves; the button underneath must not also click.
  SetMouseButtonsHandledAlone(true);
  controls::RouteLeftButton(*this, {[this](ui::Point p) { Press(p); },
                                    [this](ui::Point p) { Drag(p); }, [this] { Release(); }});
  // A quick second click repeats like the first.
  OnMessage(ui::msg::kLButtonDblClk, [this](const ui::Message& m) {
    Press(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(kQueuedStep, [this](const ui::Message& m) {
    Deliver(m);
    return 0;
  });
}

bool TQuadButton::IsZonePressed(int zone) const {
  return zone >= 0 && zone < static_cast<int>(zones_.size()) && zones_[zone].pressed;
}

ui::Rect TQuadButton::ZoneRect(int zone) const {
  return zone >= 0 && zone < static_cast<int>(zones_.size()) ? zones_[zone].rect : ui::Rect{};
}

void TQuadButton::SetupWindow() {
  ui::OwnerDrawButton::SetupWindow();
  repeatThreshold_ = kTicksPerDoubling;
  const ui::Rect client = ClientRect();
  const int hw = client.Width() / 2;
  const int hh = client.Height() / 2;
  zones_[kUpperLeft].rect = {0, 0, hw - 1 - kZoneGapPx, hh - 1};
  zones_[kLowerLeft].rect = {0, hh, hw - 1 - kZoneGapPx, 2 * hh - 1};
  zones_[kUpperRight].rect = {hw, 0, 2 * hw - 1 - kZoneGapPx, hh - 1};
  zones_[kLowerRight].rect = {hw, hh, 2 * hw - 1 - kZoneGapPx, 2 * hh - 1};
}

void TQuadButton::Press(ui::Point p) {
  currentZone_ = kNoZone;
  for (int zone = 0; zone < static_cast<int>(zones_.size()); ++zone) {
    if (zones_[zone].rect.Contains(p)) {
      currentZone_ = zone;
      break;
    }
  }
  if (currentZone_ == kNoZone) return;
  zones_[currentZone_].pressed = true;
  CaptureMouse();
  Repaint();
  Queue(1);
  tickCount_ = 0;
  step_ = 0;
  repeat_.Begin([this] { Tick(); });
}

// Queued, not sent at once, so that the parent's bus transaction runs after the press or tick that
// asked for it has been handled.
void TQuadButton::Queue(int step) { Post(kQueuedStep, step, endedHolds_); }

void TQuadButton::Deliver(const ui::Message& queued) {
  if (queued.lParam != endedHolds_ || Parent() == nullptr) return;
  Parent()->Send(kQuadSpin, queued.wParam, reinterpret_cast<ui::Param>(this));
}

void TQuadButton::Tick() {
  // A pointer dragged out of the zone pauses the repeat; the timer keeps running.
  if (!IsZonePressed(currentZone_)) return;
  if (++tickCount_ >= repeatThreshold_) {
    tickCount_ = 0;
    step_ = step_ == 0 ? 1 : std::min(step_, kMaxStep / 2) * 2;
  }
  if (step_ != 0) Queue(step_);
}

void TQuadButton::Drag(ui::Point p) {
  if (MouseCapture() != this || currentZone_ == kNoZone) return;
  ZoneState& zone = zones_[currentZone_];
  const bool inside = zone.rect.Contains(p);
  if (zone.pressed != inside) {
    zone.pressed = inside;
    Repaint();
  }
}

void TQuadButton::Release() {
  repeat_.LetGo();
  for (ZoneState& zone : zones_) zone.pressed = false;
  if (MouseCapture() == this) ReleaseMouse();
  Repaint();
}

void TQuadButton::HoldEnded() {
  ++endedHolds_;
  Release();
}

void TQuadButton::Repaint() {
  if (auto client = DrawNow()) {
    for (int zone = 0; zone < static_cast<int>(zones_.size()); ++zone) {
      DrawZone(client->dc(), zone);
    }
  }
}

void TQuadButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  for (int zone = 0; zone < static_cast<int>(zones_.size()); ++zone) DrawZone(dc, zone);
}

void TQuadButton::DrawZone(ui::Dc& dc, int zone) const {
  const auto& [r, pressed] = zones_[zone];
  const int zw = r.Width();
  const int zh = r.Height();
  dc.SetBrush(ui::Brush::Solid(controls::Face()));
  dc.SetPen(ui::Pen::Solid(controls::Face()));
  dc.Rectangle(r);
  const ui::Color lit = pressed ? controls::DarkShadow() : controls::Highlight();
  const ui::Color dark = pressed ? controls::Highlight() : controls::DarkShadow();
  Line(dc, lit, {r.left, r.top}, {r.left, r.top + zh});
  Line(dc, lit, {r.left, r.top}, {r.left + zw, r.top});
  Line(dc, dark, {r.left, r.top + zh}, {r.left + zw, r.top + zh});
  Line(dc, dark, {r.left + zw, r.top}, {r.left + zw, r.top + zh});
  if (!pressed) {
    Line(dc, controls::Shadow(), {r.left + 1, r.top + zh - 1}, {r.left + zw, r.top + zh - 1});
    Line(dc, controls::Shadow(), {r.left + zw - 1, r.top + 1}, {r.left + zw - 1, r.top + zh});
  }
  const int s = Glyphs().FrameSize().cy;
  const int push = pressed ? 1 : 0;
  controls::BlitMasked(dc, {r.left + (zw - s) / 2 + 1 + push, r.top + (zh - s) / 2 + push},
                       Glyphs(), zone + kGlyphMaskOffset, zone);
}
