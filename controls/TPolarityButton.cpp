#include "controls/TPolarityButton.h"

#include "controls/ControlDrawing.h"
#include "resources/ControlsResources.h"

namespace {

constexpr int kStateCount = 2;

ui::BitmapStrip Glyphs() { return controls::ResourceStrip(controls_res::kPolarityGlyphs); }

}  // namespace

void TPolarityButton::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  Redraw();
}

void TPolarityButton::SelectChange(ui::Dc& dc, const ui::DrawItemState& state) {
  pressed_ = state.selected;
  DrawEntire(dc, state);
}

void TPolarityButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) {
  const ui::Size client{ClientRect().Width(), ClientRect().Height()};
  controls::FillClient(dc, client, controls::Face(), controls::Face());
  if (state.disabled || !IsEnabled()) return;
  controls::DrawButtonBevel(dc, client, controls::PushLook(pushStyle_, pressed_));
  if (state_ == kUnknownState) return;
  const ui::Size s = Glyphs().FrameSize();
  controls::BlitMasked(dc, {(client.cx - s.cx) / 2, (client.cy - s.cy) / 2}, Glyphs(),
                       state_ + kStateCount, state_);
}
