#include "controls/TLEDButton.h"

#include "controls/ControlDrawing.h"
#include "resources/ControlsResources.h"

namespace {

constexpr int kLampMaskFrame = 7;
// The ring around the lamp image, relative to the image's corner.
constexpr ui::Rect kRingBox{0, 0, 16, 17};
constexpr ui::Point kRingLowerLeft{3, 12};
constexpr ui::Point kRingUpperRight{11, 3};

ui::BitmapStrip Lamps() { return controls::ResourceStrip(controls_res::kLedLamps); }

ui::Point Centered(ui::Size client, ui::Size item) {
  return {(client.cx - item.cx) / 2, (client.cy - item.cy) / 2};
}

ui::Point Plus(ui::Point a, ui::Point b) { return {a.x + b.x, a.y + b.y}; }

}  // namespace

ui::Size TLEDButton::ClientSize() const { return {ClientRect().Width(), ClientRect().Height()}; }

ui::Color TLEDButton::StateColor() const {
  if (state_ == kUnknownState) return controls::Shadow();
  if (style_ != kColoredStyle) return controls::Face();
  switch (state_) {
    case kRed:
      return ui::kRed;
    case kYellow:
      return ui::kYellow;
    case kGreen:
      return ui::kGreen;
    default:
      return controls::Face();
  }
}

void TLEDButton::SelectChange(ui::Dc& dc, const ui::DrawItemState& state) {
  pressed_ = state.selected;
  DrawEntire(dc, state);
}

void TLEDButton::DrawFocusMark(ui::Dc& dc) const {
  if (!HasFocus()) return;
  // Inside the bevel, clear of the caption's box or the lamp's ring.
  const int inset = style_ == kColoredStyle ? 3 : 2;
  dc.SetBrush(ui::Brush::None());
  dc.SetPen({ui::PenStyle::Dot, 1, ui::kBlack});
  dc.Rectangle(ClientRect().Inflated(-inset, -inset));
}

void TLEDButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  const ui::Size client = ClientSize();
  controls::FillClient(dc, client, StateColor(), controls::Shadow());
  controls::DrawButtonBevel(dc, client, controls::PushLook(pushStyle_, pressed_));
  if (style_ == kColoredStyle) {
    DrawCaption(dc);
    DrawFocusMark(dc);
    return;
  }
  const ui::Point at = Centered(client, Lamps().FrameSize());
  const ui::Rect ring = kRingBox.Offset(at.x, at.y);
  dc.SetBrush(ui::Brush::None());
  dc.SetPen(ui::Pen::Solid(controls::Highlight()));
  dc.Arc(ring, Plus(at, kRingLowerLeft), Plus(at, kRingUpperRight));
  dc.SetPen(ui::Pen::Solid(controls::Shadow()));
  dc.Arc(ring, Plus(at, kRingUpperRight), Plus(at, kRingLowerLeft));
  DrawLamp(dc);
  DrawFocusMark(dc);
}

void TLEDButton::DrawCaption(ui::Dc& dc) const {
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  // The owner-drawn button widget keeps no text of its own; the window object holds the caption.
  const std::string caption = ui::Window::Text();
  dc.DrawTextAt(Centered(ClientSize(), dc.MeasureText(caption)), caption);
}

void TLEDButton::DrawLamp(ui::Dc& dc) const {
  if (state_ == kUnknownState) return;
  controls::BlitMasked(dc, Centered(ClientSize(), Lamps().FrameSize()), Lamps(), kLampMaskFrame,
                       state_);
}

void TLEDButton::Redraw() {
  auto client = DrawNow();
  if (!client) return;
  ui::Dc& dc = client->dc();
  if (style_ == kColoredStyle) {
    dc.SetPen(ui::Pen::Solid(ui::kBlack));
    dc.SetBrush(ui::Brush::Solid(StateColor()));
    dc.Rectangle(ClientRect().Inflated(-2, -2));
    // The colour changes under the caption ("Mute", "Mod"), which stays.
    DrawCaption(dc);
  } else {
    DrawLamp(dc);
  }
  DrawFocusMark(dc);
}
