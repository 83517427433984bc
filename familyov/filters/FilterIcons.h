#pragma once

#include <memory>
#include <string_view>

#include "familycommon/FilterLifetime.h"
#include "familycommon/GraphContexts.h"
#include "familycommon/IconLimits.h"
#include "familyov/filters/FilterClasses.h"

// The markers of filters on the response graphs. An icon knows where its filter sits, draws
// itself, answers hit tests, keeps a dragged position within what the filter allows and writes it
// into the filter record (never to the unit: the graph does that), and holds the filter's own
// curves. It never owns its filter.

namespace namespaceOV {

using familycommon::Curve;
using familycommon::GraphValue;
using familycommon::TFreqDC;
using familycommon::TPhaseDC;
using familycommon::TPlotPoint;

// Samples per curve; every curve of a graph shares its frequencies.
inline constexpr int kCurvePoints = 256;

// How an icon of a class stands and moves.
struct IconRule {
  ui::Color colour;
  // Icons on a fixed gain line take it from here; null when the gain is the filter's level.
  float (*fixedGain)(const TFilter& filter);
  familycommon::IconLimits limits;
};

class TFilterIcon {
 public:
  virtual ~TFilterIcon() = default;
  TFilterIcon(const TFilterIcon&) = delete;
  TFilterIcon& operator=(const TFilterIcon&) = delete;

  // Places the icon at its filter; with fStart != fEnd also samples its curves over that range.
  virtual void Update(int fStart, int fEnd);
  virtual void Draw(TFreqDC& dc, bool printing) const;
  // The filter when `p` (a mouse point through TFreqDC::FlipPoint) is within 4 pixels.
  virtual TFilter* HitTest(const TFreqDC& dc, ui::Point p) const;
  // Brings a dragged value within the class's limits.
  virtual void DragTo(GraphValue& value) const;
  // The limited value into the filter record: whole Hz, the level in dB.
  virtual void Apply(GraphValue& value);

  TFilter& Filter() const { return *filter_; }
  // Whether the icon stands for `filter`; safe on an icon whose filter has gone.
  bool Shows(const TFilter* filter) const { return filter_.get() == filter; }

  GraphValue position;
  ui::Color colour;
  int selected = 0;
  Curve magnitude;
  Curve phase;

 protected:
  // `level` is the filter's level field for icons whose gain follows it, else null.
  TFilterIcon(TFilter& filter, const IconRule& rule, float* level);
  void ComputeCurve(int count, int fStart, int fEnd, float fMark);

 private:
  familycommon::FilterHandle<TFilter> filter_;
  IconRule rule_;
  float* level_;  // in filter_; the graph builds its icons again whenever filters leave
};

class TParametricIcon final : public TFilterIcon {
 public:
  explicit TParametricIcon(TParametricFilter& filter);
};
class TOctaveIcon final : public TFilterIcon {
 public:
  explicit TOctaveIcon(TOctaveFilter& filter);
};
class TLowpassIcon final : public TFilterIcon {
 public:
  explicit TLowpassIcon(TLowpassFilter& filter);
};
class THighpassIcon final : public TFilterIcon {
 public:
  explicit THighpassIcon(THighpassFilter& filter);
};
class TCDHornIcon final : public TFilterIcon {
 public:
  explicit TCDHornIcon(TCDHornFilter& filter);
};
class TAllpassIcon final : public TFilterIcon {
 public:
  explicit TAllpassIcon(TAllpassFilter& filter);
};
class TLowshelfIcon final : public TFilterIcon {
 public:
  explicit TLowshelfIcon(TLowshelfFilter& filter);
};
class THighshelfIcon final : public TFilterIcon {
 public:
  explicit THighshelfIcon(THighshelfFilter& filter);
  void Update(int fStart, int fEnd) override;
};

// A filter that counts in a graph's sum but is not shown there: an input's filters under an
// output's, a network's crossovers.
class TInvisibleIcon final : public TFilterIcon {
 public:
  explicit TInvisibleIcon(TFilter& filter);
  void Update(int fStart, int fEnd) override;
  void Draw(TFreqDC&, bool) const override {}
  TFilter* HitTest(const TFreqDC&, ui::Point) const override { return nullptr; }
  void DragTo(GraphValue&) const override {}
  void Apply(GraphValue&) override {}
};

// A crossover edge, labelled with its output's name above it, to the side away from its band.
class TCrossoverIcon : public TFilterIcon {
 public:
  void DrawLabeled(TFreqDC& dc, std::string_view text, bool printing) const;

 protected:
  TCrossoverIcon(TFilter& filter, unsigned labelSide);

 private:
  unsigned labelSide_;
};
class TLowCrossoverIcon final : public TCrossoverIcon {
 public:
  explicit TLowCrossoverIcon(TLowCrossover& filter);
};
class THighCrossoverIcon final : public TCrossoverIcon {
 public:
  explicit THighCrossoverIcon(THighCrossover& filter);
};

// The icon the filter graph shows for a channel filter, placed; none for crossovers and for
// types without one.
std::unique_ptr<TFilterIcon> MakeFilterIcon(TFilter& filter);

}  // namespace namespaceOV
