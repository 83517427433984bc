#include "controls/TSwitchButton.h"

#include <vector>

#include "controls/ControlDrawing.h"

namespace {

constexpr int kEndInsetPx = 2;
constexpr int kGapHalfPx = 5;
constexpr int kBladeRisePx = 10;

using Stroke = std::vector<ui::Point>;

std::vector<Stroke> SwitchStrokes(bool horizontal, bool known, bool closed, int w, int h) {
  const int cx = w / 2;
  const int cy = h / 2;
  if (!known && horizontal) {
    return {{{kEndInsetPx, cy}, {cx - kGapHalfPx, cy}},
            {{cx + kGapHalfPx, cy}, {w - kEndInsetPx, cy}}};
  }
  if (!known) {
    return {{{cx, kEndInsetPx}, {cx, cy - kGapHalfPx}},
            {{cx, cy + kGapHalfPx}, {cx, h - kEndInsetPx}}};
  }
  if (horizontal) {
    if (closed) return {{{kEndInsetPx, cy}, {kEndInsetPx + w - 2 * kEndInsetPx, cy}}};
    return {{{kEndInsetPx, cy}, {cx - kGapHalfPx, cy}, {cx + kGapHalfPx, cy - kBladeRisePx}},
            {{cx + kGapHalfPx, cy}, {w - kEndInsetPx, cy}}};
  }
  if (closed) return {{{cx, kEndInsetPx}, {cx, kEndInsetPx + h - 2 * kEndInsetPx}}};
  return {{{cx, kEndInsetPx}, {cx, cy - kGapHalfPx}, {cx - kBladeRisePx, cy + kGapHalfPx}},
          {{cx, cy + kGapHalfPx}, {cx, h - kEndInsetPx}}};
}

Stroke Shifted(const Stroke& stroke, int dx, int dy) {
  Stroke out;
  for (const ui::Point p : stroke) out.push_back({p.x + dx, p.y + dy});
  return out;
}

}  // namespace

void TSwitchButton::SelectChange(ui::Dc& dc, const ui::DrawItemState& state) {
  pressed_ = state.selected;
  DrawEntire(dc, state);
}

void TSwitchButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  const ui::Size client{ClientRect().Width(), ClientRect().Height()};
  controls::FillClient(dc, client, controls::Face(), controls::Shadow());
  controls::DrawButtonBevel(dc, client, controls::PushLook(pushStyle_, pressed_));
  const Colors& colors = IsClosed() ? closed_ : open_;
  // Each stroke twice, the second one pixel across, for a two-tone line two pixels wide.
  const int dx = horizontal_ ? 0 : 1;
  const int dy = horizontal_ ? 1 : 0;
  for (const Stroke& stroke :
       SwitchStrokes(horizontal_, KnowsState(), IsClosed(), client.cx - 1, client.cy - 1)) {
    dc.SetPen(ui::Pen::Solid(colors.shade));
    dc.Polyline(stroke);
    dc.SetPen(ui::Pen::Solid(colors.line));
    dc.Polyline(Shifted(stroke, dx, dy));
  }
}
