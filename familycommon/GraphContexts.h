#pragma once

#include <string>
#include <string_view>

#include "familycommon/GraphScale.h"
#include "platform/ui/draw/Dc.h"

// The drawing contexts of the response graphs: a logarithmic frequency axis across, gain or phase
// up, around a window's or a printer page's device context. The graphs build a fresh pair for
// every paint, mouse event and printed page; nothing is kept between uses.
//
// Logical units are device pixels with the origin at the left end of the 0 dB line; x grows with
// frequency and y downwards, so a gain above 1 has a negative y. ValueToPoint and PointToValue
// work with y pointing up, and FlipPoint turns a mouse position into that sense.

namespace familycommon {

// A position on the graph: frequency in Hz and linear gain.
struct GraphValue {
  float frequency = 0.0f;
  float gain = 1.0f;
};

// Where TextAt puts the text's box against its point; without flags it hangs below and right.
enum TextPlacement : unsigned {
  kTextLower = 1,     // 2 pixels lower
  kTextAbove = 2,     // wholly above, 2 pixels clear
  kTextMiddle = 4,    // centred vertically
  kTextRight = 8,     // 2 pixels to the right
  kTextLeft = 16,     // wholly left, 2 pixels clear
  kTextCentred = 32,  // centred horizontally
};

class TFreqDC {
 public:
  // The plot is the client rectangle less 40 pixels at the sides and 20 at top and bottom; on a
  // printer page it is the middle 60 % of the sheet in both directions.
  TFreqDC(ui::Dc& dc, const ui::Rect& client, float fmin, float fmax, float dBmin, float dBmax,
          bool printing);

  ui::Dc& Dc() const { return dc_; }
  bool Printing() const { return printing_; }
  float Fmin() const { return fmin_; }
  float Fmax() const { return fmax_; }
  float Gmin() const { return gmin_; }
  float Gmax() const { return gmax_; }
  float DbMin() const { return dBmin_; }
  float DbMax() const { return dBmax_; }
  const ui::Rect& Plot() const { return plot_; }
  float Kx() const { return kx_; }
  float Ky() const { return ky_; }

  // Clamped into the plot; LineTo only moves where the frequency leaves the range, so a curve
  // never runs outside it and stops at its right end.
  void MoveTo(float f, float g);
  void LineTo(float f, float g);
  void TextAt(std::string_view text, float f, float g, unsigned placement);
  // Markers of radius r at a value inside the plot; nothing outside.
  void Diamond(GraphValue v, int r);
  void Cross(GraphValue v, int r);
  ui::Point ValueToPoint(GraphValue v, bool toDevice) const;
  GraphValue PointToValue(ui::Point p) const;
  ui::Point FlipPoint(ui::Point p) const;
  // The value under a mouse position, kept within the plot's ranges.
  GraphValue MouseValue(ui::Point p) const;

 private:
  int X(float f) const;
  int Y(float g) const;
  bool Inside(GraphValue v) const;

  ui::Dc& dc_;
  bool printing_;
  float fmin_, fmax_, dBmin_, dBmax_, gmin_, gmax_;
  ui::Point origin_;
  ui::Rect client_;
  ui::Rect plot_;
  float kx_ = 1.0f;
  float ky_ = 1.0f;  // pixels per dB
};

// Phase on the frequency context's axes: 0 on the 0 dB line, +pi on the `top` line and -pi as far
// below. Draws with the origin a TFreqDC on the same device context has set.
class TPhaseDC {
 public:
  TPhaseDC(ui::Dc& dc, const ui::Rect& client, float fmin, float fmax, float bottom, float top,
           bool printing);

  ui::Dc& Dc() const { return dc_; }
  void MoveTo(float f, float phase);
  void LineTo(float f, float phase);

 private:
  int X(float f) const;

  ui::Dc& dc_;
  float fmin_, fmax_;
  float kx_ = 1.0f;
  float ky_ = 1.0f;  // pixels per radian
};

// A curve through its samples in one colour; nothing for an empty curve.
void DrawCurve(TFreqDC& dc, const Curve& curve, ui::Color colour);
void DrawCurve(TPhaseDC& dc, const Curve& curve, ui::Color colour);
// The same, broken where the curve reaches the bottom of the plot instead of running along it.
void DrawCurveAboveFloor(TFreqDC& dc, const Curve& curve, ui::Color colour);

// What a graph's grid shows besides its contexts' ranges.
struct GridStyle {
  int minorStep = 4;   // dB between level ticks
  int majorStep = 20;  // dB between labelled level lines
  bool linearLabels = false;
  bool phaseLabels = false;     // "180" and "-180" at the right edge (screen only)
  std::string title;            // above the plot on paper
  float kHzOffset = 0.0f;       // Hz added before a kHz label is truncated
  bool frameEndsLines = false;  // no frequency line over the frame's right edge
  // Short level ticks reach in from the edges by a tenth of the frequency, or, when these are
  // set, by these many Hz.
  float tickLeftHz = 0.0f;
  float tickRightHz = 0.0f;
};

// Frame, frequency lines and labels, level lines and labels.
void DrawGrid(TFreqDC& dc, const GridStyle& style);

// A filter's marker: a small diamond, a larger one round it when selected, a cross over it when
// bypassed; nothing outside the plot.
void DrawIconMarker(TFreqDC& dc, GraphValue at, ui::Color mark, ui::Color cross, bool selected,
                    bool bypassed);
// Whether `p` (a mouse point through FlipPoint) is within the reach of the marker at `at`.
bool HitsIconMarker(const TFreqDC& dc, GraphValue at, ui::Point p);

// Colours of the graphs, in the families' 0x00BBGGRR form.
inline constexpr ui::Color kGridFrameColour = ui::Color::FromBgr(0x800000);
inline constexpr ui::Color kGridLineColour = ui::Color::FromBgr(0x808000);
inline constexpr ui::Color kPhaseColour = ui::Color::FromBgr(0x0000FF);

}  // namespace familycommon
