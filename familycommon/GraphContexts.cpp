#include "familycommon/GraphContexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace familycommon {

namespace {

constexpr int kSideMargin = 40;  // pixels left and right of the plot on screen
constexpr int kEdgeMargin = 20;  // pixels above and below
constexpr double kPageMarginShare = 0.2;
constexpr int kTextGap = 2;

float GainOf(float dB) { return static_cast<float>(std::pow(10.0, 0.05 * dB)); }

// A coordinate in whole pixels, truncated toward zero. Values come from units and files: one
// that is not a number, or far off the page, must not become an undefined or endless line.
int Truncated(double v) {
  constexpr double kFarOff = 1.0e6;
  return std::isfinite(v) ? static_cast<int>(std::clamp(v, -kFarOff, kFarOff)) : 0;
}

ui::Rect InsetPlot(const ui::Rect& client) {
  return {client.left + kSideMargin, client.top + kEdgeMargin, client.right - kSideMargin,
          client.bottom - kEdgeMargin};
}

// The middle of the sheet, in the coordinates of the printable area the context draws on.
ui::Rect PagePlot(const ui::Dc& dc) {
  const ui::DeviceMetrics m = dc.Metrics();
  const double w = m.physicalPage.cx;
  const double h = m.physicalPage.cy;
  const ui::Rect sheet{static_cast<int>(kPageMarginShare * w),
                       static_cast<int>(kPageMarginShare * h),
                       static_cast<int>((1.0 - kPageMarginShare) * w),
                       static_cast<int>((1.0 - kPageMarginShare) * h)};
  return sheet.Offset(-m.physicalOffset.x, -m.physicalOffset.y);
}

float Decades(float fmin, float fmax) { return static_cast<float>(std::log10(fmax / fmin)); }

}  // namespace

TFreqDC::TFreqDC(ui::Dc& dc, const ui::Rect& client, float fmin, float fmax, float dBmin,
                 float dBmax, bool printing)
    : dc_(dc),
      printing_(printing),
      fmin_(fmin),
      fmax_(fmax),
      dBmin_(dBmin),
      dBmax_(dBmax),
      gmin_(GainOf(dBmin)),
      gmax_(GainOf(dBmax)),
      client_(client),
      plot_(printing ? PagePlot(dc) : InsetPlot(client)) {
  kx_ = static_cast<float>(plot_.Width()) / Decades(fmin, fmax);
  ky_ = static_cast<float>(plot_.Height()) / (dBmax - dBmin);
  ui::CoordinateMapping& mapping = dc_.Mapping();
  mapping.SetMode(ui::MappingMode::Text);
  if (printing_) {
    origin_ = {plot_.left, Truncated(static_cast<float>(plot_.bottom) + dBmin * ky_)};
    mapping.SetViewportOrigin(mapping.ToDevice(origin_));
  } else {
    origin_ = {-kSideMargin, Truncated(-dBmax * ky_ - static_cast<float>(kEdgeMargin))};
    mapping.SetWindowOrigin(origin_);
  }
}

int TFreqDC::X(float f) const { return Truncated(std::log10(f / fmin_) * kx_); }

int TFreqDC::Y(float g) const { return Truncated(-20.0f * std::log10(g) * ky_); }

bool TFreqDC::Inside(GraphValue v) const {
  return v.frequency >= fmin_ && v.frequency <= fmax_ && v.gain >= gmin_ && v.gain <= gmax_;
}

void TFreqDC::MoveTo(float f, float g) {
  dc_.MoveTo({X(std::clamp(f, fmin_, fmax_)), Y(std::clamp(g, gmin_, gmax_))});
}

void TFreqDC::LineTo(float f, float g) {
  const int y = Y(std::clamp(g, gmin_, gmax_));
  if (f < fmin_) {
    dc_.MoveTo({0, y});
  } else if (f > fmax_) {
    dc_.MoveTo({X(fmax_), y});
  } else {
    dc_.LineTo({X(f), y});
  }
}

void TFreqDC::TextAt(std::string_view text, float f, float g, unsigned placement) {
  f = std::clamp(f, fmin_, fmax_);
  g = std::clamp(g, gmin_, gmax_);
  const ui::Size size = dc_.MeasureText(text);
  int up = Truncated(std::log10(g) * ky_ * 20.0f);
  int x = X(f);
  if (placement & kTextLower) up -= kTextGap;
  if (placement & kTextAbove) up += size.cy + kTextGap;
  if (placement & kTextMiddle) up += size.cy / 2;
  if (placement & kTextLeft) x -= size.cx + kTextGap;
  if (placement & kTextRight) x += kTextGap;
  if (placement & kTextCentred) x -= size.cx / 2;
  dc_.DrawTextAt({x, -up}, text);
}

void TFreqDC::Diamond(GraphValue v, int r) {
  if (!Inside(v)) return;
  const int x = X(v.frequency);
  const int y = Y(v.gain);
  dc_.Polyline({{x - r, y}, {x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}});
}

void TFreqDC::Cross(GraphValue v, int r) {
  if (!Inside(v)) return;
  const int x = X(v.frequency);
  const int y = Y(v.gain);
  dc_.MoveTo({x - r, y - r});
  dc_.LineTo({x + r + 1, y + r + 1});
  dc_.MoveTo({x - r, y + r});
  dc_.LineTo({x + r + 1, y - r - 1});
}

ui::Point TFreqDC::ValueToPoint(GraphValue v, bool toDevice) const {
  const ui::Point p{X(v.frequency), Truncated(std::log10(v.gain) * ky_ * 20.0f)};
  return toDevice ? dc_.Mapping().ToDevice(p) : p;
}

GraphValue TFreqDC::PointToValue(ui::Point p) const {
  const ui::Point q = dc_.Mapping().ToLogical(p);
  return {fmin_ * static_cast<float>(std::pow(10.0, q.x / kx_)),
          static_cast<float>(std::pow(10.0, q.y / (20.0 * ky_)))};
}

ui::Point TFreqDC::FlipPoint(ui::Point p) const { return {p.x, -(p.y + 2 * origin_.y)}; }

GraphValue TFreqDC::MouseValue(ui::Point p) const {
  GraphValue value = PointToValue(FlipPoint(p));
  value.frequency = std::clamp(value.frequency, fmin_, fmax_);
  value.gain = std::clamp(value.gain, gmin_, gmax_);
  return value;
}

TPhaseDC::TPhaseDC(ui::Dc& dc, const ui::Rect& client, float fmin, float fmax, float bottom,
                   float top, bool printing)
    : dc_(dc), fmin_(fmin), fmax_(fmax) {
  const ui::Rect plot = printing ? PagePlot(dc) : InsetPlot(client);
  kx_ = static_cast<float>(plot.Width()) / Decades(fmin, fmax);
  ky_ = static_cast<float>(-plot.Height() / (top - bottom) * top * std::numbers::inv_pi);
}

int TPhaseDC::X(float f) const { return Truncated(std::log10(f / fmin_) * kx_); }

void TPhaseDC::MoveTo(float f, float phase) {
  dc_.MoveTo({X(std::clamp(f, fmin_, fmax_)), Truncated(ky_ * phase)});
}

void TPhaseDC::LineTo(float f, float phase) {
  const int y = Truncated(ky_ * phase);
  if (f < fmin_) {
    dc_.MoveTo({0, y});
  } else if (f > fmax_) {
    dc_.MoveTo({X(fmax_), y});
  } else {
    dc_.LineTo({X(f), y});
  }
}

namespace {

template <typename Context>
void DrawCurveOn(Context& dc, const Curve& curve, ui::Color colour) {
  if (curve.empty()) return;
  const ui::Pen old = dc.Dc().SetPen(ui::Pen::Solid(colour));
  dc.MoveTo(curve.front().frequency, curve.front().value);
  for (size_t i = 1; i < curve.size(); ++i) dc.LineTo(curve[i].frequency, curve[i].value);
  dc.Dc().SetPen(old);
}

}  // namespace

void DrawCurve(TFreqDC& dc, const Curve& curve, ui::Color colour) {
  DrawCurveOn(dc, curve, colour);
}

void DrawCurve(TPhaseDC& dc, const Curve& curve, ui::Color colour) {
  DrawCurveOn(dc, curve, colour);
}

void DrawCurveAboveFloor(TFreqDC& dc, const Curve& curve, ui::Color colour) {
  if (curve.empty()) return;
  const ui::Pen old = dc.Dc().SetPen(ui::Pen::Solid(colour));
  dc.MoveTo(curve.front().frequency, curve.front().value);
  for (size_t i = 1; i < curve.size(); ++i) {
    if (curve[i].value <= dc.Gmin()) {
      dc.MoveTo(curve[i].frequency, curve[i].value);
    } else {
      dc.LineTo(curve[i].frequency, curve[i].value);
    }
  }
  dc.Dc().SetPen(old);
}

void DrawGrid(TFreqDC& dc, const GridStyle& style) {
  ui::Dc& out = dc.Dc();
  const float fmin = dc.Fmin();
  const float fmax = dc.Fmax();
  const float gmin = dc.Gmin();
  const float gmax = dc.Gmax();
  const ui::Color textColour = dc.Printing() ? ui::kBlack : ui::kWhite;

  out.SetPen(ui::Pen::Solid(kGridFrameColour));
  dc.MoveTo(fmin, gmin);
  dc.LineTo(fmax, gmin);
  dc.LineTo(fmax, gmax);
  dc.LineTo(fmin, gmax);
  dc.LineTo(fmin, gmin);

  out.SetTextColor(textColour);
  out.SetBackgroundMode(ui::BackgroundMode::Transparent);
  out.SetFont(ui::Font::VariablePitch());
  if (dc.Printing()) dc.TextAt(style.title, 600.0f, gmax, kTextAbove | kTextCentred);

  out.SetPen(ui::Pen::Solid(kGridLineColour));
  const LabelRange range = ComputeLabelRange(fmin, fmax, style.linearLabels);
  for (int i = range.first; i < range.last; ++i) {
    const float f = GridLineFrequency(i, style.linearLabels);
    if (style.frameEndsLines && f >= fmax) break;
    dc.MoveTo(f, gmin);
    dc.LineTo(f, gmax);
    if (const auto label = GridLineLabel(i, range, style.linearLabels, style.kHzOffset)) {
      dc.TextAt(*label, f, gmin, kTextLower | kTextCentred);
    }
  }
  // A range starting at 100 Hz has no decade line at its left edge to carry the label.
  if (fmin == 100.0f && !style.linearLabels) {
    dc.TextAt("100 Hz", 100.0f, gmin, kTextLower | kTextRight);
    dc.TextAt("1 kHz", 1000.0f, gmin, kTextLower | kTextCentred);
  }

  constexpr float kTickShare = 1.1f;
  out.SetPen(ui::Pen::Solid(kGridFrameColour));
  for (const LevelLine& line :
       LevelLines(dc.DbMin(), dc.DbMax(), style.minorStep, style.majorStep)) {
    const float g = GainOf(static_cast<float>(line.dB));
    dc.MoveTo(fmin, g);
    if (line.major) {
      dc.LineTo(fmax, g);
      dc.TextAt(LevelLabel(line.dB), fmin, g, kTextMiddle | kTextLeft);
    } else {
      dc.LineTo(style.tickLeftHz > 0.0f ? fmin + style.tickLeftHz : fmin * kTickShare, g);
      dc.MoveTo(fmax, g);
      dc.LineTo(style.tickRightHz > 0.0f ? fmax - style.tickRightHz : fmax / kTickShare, g);
    }
  }
  dc.TextAt(LevelLabel(static_cast<int>(dc.DbMax())), fmin, gmax, kTextMiddle | kTextLeft);

  if (style.phaseLabels && !dc.Printing()) {
    out.SetTextColor(kPhaseColour);
    dc.TextAt("180", fmax, gmax, kTextMiddle | kTextRight);
    dc.TextAt("-180", fmax, GainOf(-dc.DbMax()), kTextMiddle | kTextRight);
    out.SetTextColor(textColour);
  }
}

namespace {

constexpr int kMarkRadius = 3;
constexpr int kSelectedRadius = 6;
constexpr int kBypassRadius = 5;
constexpr int kHitRadius = 5;

}  // namespace

void DrawIconMarker(TFreqDC& dc, GraphValue at, ui::Color mark, ui::Color cross, bool selected,
                    bool bypassed) {
  ui::Dc& out = dc.Dc();
  out.SetPen(ui::Pen::Solid(mark));
  dc.Diamond(at, kMarkRadius);
  if (selected) dc.Diamond(at, kSelectedRadius);
  out.SetPen(ui::Pen::Solid(cross));
  if (bypassed) dc.Cross(at, kBypassRadius);
}

bool HitsIconMarker(const TFreqDC& dc, GraphValue at, ui::Point p) {
  const ui::Point marker = dc.ValueToPoint(at, true);
  const long dx = marker.x - p.x;
  const long dy = marker.y - p.y;
  return static_cast<long>(std::sqrt(static_cast<double>(dx * dx + dy * dy))) < kHitRadius;
}

}  // namespace familycommon
