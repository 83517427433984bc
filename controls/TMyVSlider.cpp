#include "controls/TMyVSlider.h"

#include <algorithm>
#include <cstdio>

#include "controls/ControlDrawing.h"
#include "controls/LevelScale.h"
#include "controls/PressDragRelease.h"
#include "resources/ControlsResources.h"

namespace {

constexpr int kGroovePenPx = 3;
constexpr int kThumbFrames = 2;
constexpr int kPositionShift = 16;
constexpr ui::Param kCodeMask = 0xFFFF;

ui::BitmapStrip Thumb() {
  return controls::ResourceStrip(controls_res::kSliderThumb, kThumbFrames);
}

// A focus change on one slider moves the focus between windows; the messages that causes on other
// sliders must not start focus handling of their own.
bool g_inFocusHandler = false;

class FocusGuard {
 public:
  FocusGuard() { g_inFocusHandler = true; }
  ~FocusGuard() { g_inFocusHandler = false; }
};

}  // namespace

TValueDialog::TValueDialog(ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId), text_(this, controls_res::kValueText) {}

SliderTravel::SliderTravel(int clientHeight, int minimum, int maximum)
    : bottom(clientHeight - 1 - kMarginPx), minimum(minimum), maximum(maximum) {
  const int length = bottom - top;
  unitsPerPixel = length > 0 ? static_cast<float>(maximum - minimum) / length : 0.0f;
}

int SliderTravel::PositionAt(int y) const {
  if (y < top) return maximum;
  if (y > bottom) return minimum;
  return minimum + static_cast<int>((bottom - y) * unitsPerPixel);
}

int SliderTravel::ThumbTop(int position, int thumbHeight) const {
  const float pixels = unitsPerPixel != 0.0f ? (position - minimum) / unitsPerPixel : 0.0f;
  return static_cast<int>(bottom - pixels - thumbHeight / 2);
}

ui::Param TMyVSlider::PackScroll(int position, ui::ScrollCode code) {
  return static_cast<ui::Param>(position) * (ui::Param{1} << kPositionShift) |
         static_cast<ui::Param>(code);
}

int TMyVSlider::ScrollPosition(ui::Param wParam) {
  return static_cast<int>((wParam - (wParam & kCodeMask)) / (ui::Param{1} << kPositionShift));
}

ui::ScrollCode TMyVSlider::ScrollCodeOf(ui::Param wParam) {
  return static_cast<ui::ScrollCode>(wParam & kCodeMask);
}

TMyVSlider::TMyVSlider(ui::Window* parent, int id) : ui::OwnerDrawButton(parent, id) {
  controls::RouteLeftButton(*this, {[this](ui::Point p) { Press(p); },
                                    [this](ui::Point p) { Drag(p); }, [this] { Release(); }});
  OnMessage(ui::msg::kSetFocus, [this](const ui::Message& m) {
    if (g_inFocusHandler) return ui::Param{0};
    const FocusGuard guard;
    const ui::Param answer = DefaultMessage(m);
    FocusGained();
    return answer;
  });
  OnMessage(ui::msg::kKillFocus, [this](const ui::Message& m) {
    if (g_inFocusHandler) return ui::Param{0};
    const FocusGuard guard;
    const ui::Param answer = DefaultMessage(m);
    FocusLost();
    return answer;
  });
}

TMyVSlider::~TMyVSlider() { readOut_.reset(); }

void TMyVSlider::SetDisplay(float scale, float offset) {
  scale_ = scale;
  offset_ = offset;
}

void TMyVSlider::SetupWindow() {
  ui::OwnerDrawButton::SetupWindow();
  SetRange(minimum_, maximum_);
}

void TMyVSlider::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  const ui::Rect client = ClientRect();
  travel_ = SliderTravel(client.Height(), minimum_, maximum_);
  grooveX_ = (client.Width() - 1) / 2 + 1;
  thumbLeft_ = grooveX_ - Thumb().FrameSize().cx / 2 - 1;
}

void TMyVSlider::SetValue(int value) {
  position_ = std::clamp(value, minimum_, std::max(minimum_, maximum_));
  known_ = true;
  RepaintTravel();
  UpdateReadOut();
}

void TMyVSlider::ShowUnknown() {
  known_ = false;
  RepaintTravel();
  UpdateReadOut();
}

int TMyVSlider::StepUp(int n) {
  SetValue(GetValue() + n);
  return GetValue();
}

int TMyVSlider::StepDown(int n) {
  SetValue(GetValue() - n);
  return GetValue();
}

std::string TMyVSlider::ReadOutText() const {
  if (!known_) return controls::kUnknownValue;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", position_ * scale_ + offset_);
  return text;
}

void TMyVSlider::UpdateReadOut() {
  if (readOut_) readOut_->SetValueText(ReadOutText());
}

void TMyVSlider::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  const ui::Rect client = ClientRect();
  const int right = client.Width() - 1;
  const int bottom = client.Height() - 1;
  dc.FillRect({0, 0, right, bottom}, controls::Face());
  if (frameStyle_ != 0) {
    const bool sunken = frameStyle_ < 0;
    dc.SetPen(ui::Pen::Solid(sunken ? controls::Shadow() : controls::Highlight()));
    dc.MoveTo({0, bottom});
    dc.LineTo({0, 0});
    dc.LineTo({right, 0});
    dc.SetPen(ui::Pen::Solid(sunken ? controls::Highlight() : controls::Shadow()));
    dc.LineTo({right, bottom});
    dc.LineTo({0, bottom});
  }
  DrawGroove(dc);
  DrawThumb(dc);
}

void TMyVSlider::DrawGroove(ui::Dc& dc) const {
  dc.SetPen(ui::Pen::Solid(controls::DarkShadow(), kGroovePenPx));
  dc.MoveTo({grooveX_ - 1, travel_.top});
  dc.LineTo({grooveX_ - 1, travel_.bottom});
}

void TMyVSlider::DrawThumb(ui::Dc& dc) const {
  if (!known_) return;
  const int thumbHeight = Thumb().FrameSize().cy;
  dc.BlitFrame({thumbLeft_, travel_.ThumbTop(position_, thumbHeight)}, Thumb(), active_ ? 1 : 0,
               ui::RasterOp::Copy);
}

void TMyVSlider::RepaintTravel() {
  auto client = DrawNow();
  if (!client) return;
  const ui::Size thumb = Thumb().FrameSize();
  client->dc().FillRect({thumbLeft_, travel_.top - thumb.cy / 2 - 1, thumbLeft_ + thumb.cx,
                         travel_.bottom + thumb.cy / 2},
                        controls::Face());
  DrawGroove(client->dc());
  DrawThumb(client->dc());
}

void TMyVSlider::PostScroll(ui::ScrollCode code) {
  if (Parent() != nullptr) {
    Parent()->Post(kScrollMessage, PackScroll(position_, code), reinterpret_cast<ui::Param>(this));
  }
}

bool TMyVSlider::OnThumbBand(ui::Point p) const {
  const ui::Size thumb = Thumb().FrameSize();
  return p.y >= travel_.top - thumb.cy / 2 && p.y <= travel_.bottom + thumb.cy / 2 &&
         p.x >= thumbLeft_ && p.x <= thumbLeft_ + thumb.cx;
}

void TMyVSlider::Press(ui::Point p) {
  if (!OnThumbBand(p)) return;
  active_ = true;
  CaptureMouse();
  position_ = travel_.PositionAt(p.y);
  known_ = true;
  RepaintTravel();
  UpdateReadOut();
  PostScroll(ui::ScrollCode::ThumbPosition);
}

void TMyVSlider::Drag(ui::Point p) {
  if (MouseCapture() != this || !active_) return;
  position_ = travel_.PositionAt(p.y);
  RepaintTravel();
  PostScroll(ui::ScrollCode::ThumbTrack);
  UpdateReadOut();
}

void TMyVSlider::Release() {
  if (!active_) return;
  if (MouseCapture() == this) ReleaseMouse();
  PostScroll(ui::ScrollCode::EndScroll);
}

void TMyVSlider::FocusGained() {
  active_ = true;
  if (auto client = DrawNow()) DrawThumb(client->dc());
  if (!readOut_) {
    readOut_ = std::make_unique<TValueDialog>(this, controls_res::kValueDialog);
    readOut_->Create();
    // Beside the slider rather than over it: at its own height the box would hide the thumb
    // whenever the thumb passes there.
    const ui::Rect box = readOut_->WindowRect();
    const ui::Point beside = ClientToScreen({ClientRect().right, 0});
    readOut_->SetRect({beside.x, box.top, beside.x + box.Width(), box.bottom});
    readOut_->Show();
    readOut_->SetValueText(ReadOutText());
    // Showing the read-out must not take the focus from the slider.
    SetFocus();
  }
}

void TMyVSlider::FocusLost() {
  active_ = false;
  if (auto client = DrawNow()) DrawThumb(client->dc());
  readOut_.reset();
}
