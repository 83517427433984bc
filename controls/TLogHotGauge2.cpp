#include "controls/TLogHotGauge2.h"

#include "controls/ControlDrawing.h"

namespace {

// Until the owner sets its own scale, the meter reads from its initial level up to 0 dB.
constexpr float kDefaultTopDb = 0.0f;

}  // namespace

TLogHotGauge2::TLogHotGauge2(ui::Window* parent, int id) : THotGauge2(parent, id) {
  SetScale(kInitialLevelDb, kDefaultTopDb);
}

void TLogHotGauge2::SetScale(float bottomDb, float topDb) {
  bottom_ = bottomDb;
  top_ = topDb;
  green_ = topDb - kGreenBelowTopDb;
  yellow_ = topDb - kYellowBelowTopDb;
  peak_ = bottomDb;
  holdCounter_ = static_cast<float>(holdTicks_);
}

void TLogHotGauge2::SetLevel(float levelDb) {
  // A peak from before the unit fell silent is no longer the signal's: the hold starts afresh.
  if (ShowsUnknown()) {
    peak_ = levelDb;
    holdCounter_ = static_cast<float>(holdTicks_);
  }
  level_ = levelDb;
  LevelKnown();
}

void TLogHotGauge2::SetThresholds(float greenDb, float yellowDb) {
  green_ = greenDb;
  yellow_ = yellowDb;
}

float TLogHotGauge2::FractionOf(float levelDb) const {
  const float span = top_ - bottom_;
  return span != 0.0f ? (levelDb - bottom_) / span : 0.0f;
}

void TLogHotGauge2::Fill(ui::Dc& dc, float toDb, ui::Color color) const {
  dc.SetBrush(ui::Brush::Solid(color));
  dc.SetPen(ui::Pen::Solid(color));
  dc.Polygon({Fan().centre, Fan().AtFraction(0.0f), Fan().AtFraction(FractionOf(toDb))});
}

void TLogHotGauge2::HoldPeak() {
  if (level_ > peak_) {
    peak_ = level_;
    holdCounter_ = static_cast<float>(holdTicks_);
    return;
  }
  holdCounter_ -= 1.0f;
  if (holdCounter_ == 0.0f) {
    peak_ = level_;
    holdCounter_ = static_cast<float>(holdTicks_);
  }
}

void TLogHotGauge2::PaintLevel(ui::Dc& dc) {
  const FanGeometry& fan = Fan();
  // Each colour is laid over the one after it, so the band reads blue, green, yellow from the left.
  if (level_ > yellow_) Fill(dc, level_, ui::kYellow);
  if (level_ > green_) Fill(dc, level_ > yellow_ ? yellow_ : level_, ui::kGreen);
  if (level_ > bottom_) Fill(dc, level_ > green_ ? green_ : level_, ui::kBlue);
  HoldPeak();
  if (PeakLineShown()) {
    dc.SetPen(ui::Pen::Solid(ui::kBlack));
    dc.MoveTo(fan.centre);
    dc.LineTo(fan.AtFraction(FractionOf(peak_)));
  }
  if (level_ >= top_) Fill(dc, top_, ui::kRed);
}
