#include "familycommon/IconDrag.h"

#include <cstdlib>

#include "platform/ui/draw/Dc.h"

namespace familycommon {

IconDrag::IconDrag(ui::DrawnWindow& window, Axes axes) : window_(window), axes_(axes) {}

void IconDrag::SetLiveWrite(ui::MessageId message, LiveWrite write, FailureReport report) {
  liveWrite_ = message;
  write_ = std::move(write);
  report_ = std::move(report);
  window_.OnMessage(liveWrite_, [this](const ui::Message&) {
    WriteLive();
    return 0;
  });
}

void IconDrag::Begin(const TFreqDC& dc, GraphValue start) {
  window_.CaptureMouse();
  active_ = true;
  startValue_ = start;
  bandStart_ = dc.ValueToPoint(start, false);
  bandEnd_ = bandStart_;
}

void IconDrag::End() {
  active_ = false;
  bandEnd_ = bandStart_;
  if (ui::Window::MouseCapture() == &window_) ui::Window::ReleaseMouse();
  if (onEnd_) onEnd_();
}

ui::Point IconDrag::MoveBandTo(ui::Point end) {
  const bool across = std::abs(end.y - bandStart_.y) < std::abs(end.x - bandStart_.x);
  if (axes_ == Axes::kAcrossOnly) {
    if (!across) end = bandStart_;
  } else if (across) {
    end.y = bandStart_.y;
  } else {
    end.x = bandStart_.x;
  }
  bandEnd_ = end;
  return end;
}

GraphValue IconDrag::BandValue(const TFreqDC& dc) const {
  GraphValue value = dc.PointToValue(dc.Dc().Mapping().ToDevice(bandEnd_));
  const bool vertical = std::abs(bandEnd_.x - bandStart_.x) <= std::abs(bandEnd_.y - bandStart_.y);
  if (vertical) {
    value.frequency = startValue_.frequency;
  } else {
    value.gain = startValue_.gain;
  }
  return value;
}

void IconDrag::DrawBand(ui::Dc& dc) const {
  if (!active_ || bandStart_ == bandEnd_) return;
  dc.SetPen(ui::Pen::Solid(ui::kWhite));
  const ui::DrawMode old = dc.SetDrawMode(ui::DrawMode::XorPen);
  dc.MoveTo({bandStart_.x, -bandStart_.y});
  dc.LineTo({bandEnd_.x, -bandEnd_.y});
  dc.SetDrawMode(old);
}

void IconDrag::QueueLiveWrite() {
  if (queued_ || !write_) return;
  queued_ = true;
  window_.Post(liveWrite_);
}

void IconDrag::FlushLiveWrite() {
  if (queued_) WriteLive();
}

void IconDrag::WriteLive() {
  queued_ = false;
  if (!active_ || !write_) return;
  try {
    write_();
  } catch (const IQException& e) {
    End();
    window_.Invalidate();
    if (report_) report_(e);
  }
}

}  // namespace familycommon
