#pragma once

#include <memory>
#include <vector>

#include "family8100/filters/Filters8100.h"
#include "family8100/filters/GraphView8100.h"
#include "familycommon/GraphContexts.h"
#include "familycommon/IconDrag.h"
#include "familycommon/IconLimits.h"

// The markers of filters on the older family's response graphs, and the set of them a graph
// shows with its summed traces. An icon places itself at its filter, draws itself, answers hit
// tests, keeps a dragged point within what its filter type allows and gives the filter the
// result; writing to the unit is the graph's business. It never owns its filter.

namespace namespace8100 {

class IQDevice8100;

using familycommon::Curve;
using familycommon::GraphValue;
using familycommon::TFreqDC;

// Samples per trace; every trace of a graph shares its frequencies.
inline constexpr int kTracePoints = 256;

// How the icons of a filter type stand and move.
struct IconRule {
  ui::Color colour;
  bool onHalfPowerLine;  // the corner of a pass or crossover filter: the level never moves
  familycommon::IconLimits limits;
};

class TFilterIcon {
 public:
  virtual ~TFilterIcon() = default;
  TFilterIcon(const TFilterIcon&) = delete;
  TFilterIcon& operator=(const TFilterIcon&) = delete;

  // Places the icon at its filter; with fmin != fmax also samples its trace over that range.
  virtual void Update(int fmin, int fmax);
  virtual void Draw(TFreqDC& dc, bool printing) const;
  // The filter when `p` (a mouse point through TFreqDC::FlipPoint) is on the marker.
  virtual TFilter* HitTest(const TFreqDC& dc, ui::Point p) const;
  // Brings a dragged point within the filter type's limits.
  virtual void Constrain(GraphValue& value) const;
  // The limited point into the filter: whole Hz (truncated), the level in dB where it has one.
  virtual void Apply(GraphValue value);
  // A dragged point in the edit fields of the filter's open dialog, before anything is applied.
  void ShowInFields(GraphValue value) const;
  // Moves the drag's band to the mouse within the filter type's limits and shows where the band
  // stands in the open dialog's fields; gives that point.
  GraphValue FollowDrag(familycommon::IconDrag& drag, const TFreqDC& dc, ui::Point mouse) const;

  TFilter& Filter() const { return *filter_; }
  // Whether the icon stands for `filter`; safe on an icon whose filter has gone.
  bool Shows(const TFilter* filter) const { return filter_.get() == filter; }

  GraphValue position;
  ui::Color colour;
  int selected = 0;
  Curve trace;

 protected:
  // `level` is the filter's level field for icons whose height follows it, else null.
  TFilterIcon(TFilter& filter, const IconRule& rule, float* level);
  void ComputeTrace(int fmin, int fmax);

 private:
  familycommon::FilterHandle<TFilter> filter_;
  IconRule rule_;
  float* level_;
};

// A filter that counts in a graph's sums but is neither drawn nor picked there: another bank's
// filters, the crossover under an output bank.
class TInvisibleIcon final : public TFilterIcon {
 public:
  explicit TInvisibleIcon(TFilter& filter);
  void Update(int fmin, int fmax) override;
  void Draw(TFreqDC&, bool) const override {}
  TFilter* HitTest(const TFreqDC&, ui::Point) const override { return nullptr; }
  void Constrain(GraphValue&) const override {}
  void Apply(GraphValue) override {}
};

// The visible icon of a filter's type, placed but without a trace; none for a type without one.
std::unique_ptr<TFilterIcon> MakeFilterIcon(TFilter& filter);

// The icons of one graph, in the order of the unit's list, and the sums of their traces: the
// bank trace of the filters in use and the bypass trace of those bypassed.
class GraphIcons8100 {
 public:
  struct Range {
    int fmin;
    int fmax;
  };

  // A bank's own filters with visible icons, the overlaid banks' filters and the crossover of an
  // output bank (low under bank 4, high under bank 3) invisibly; traces sampled and summed.
  void RebuildBank(const IQDevice8100& unit, int bank, const GraphView8100& view, Range range);
  // The icon a newly added filter gets in this bank's graph, if any; sums again.
  void AddToBank(TFilter& filter, int bank, const GraphView8100& view, Range range);
  // The unit's crossovers, low then high; a linked low one follows the high one and cannot be
  // picked.
  void RebuildCrossovers(const IQDevice8100& unit, Range range);
  void Append(std::unique_ptr<TFilterIcon> icon, Range range);
  void Clear();
  // Every icon of the filter placed and sampled again.
  void Refresh(const TFilter& filter, Range range);
  void Accumulate();

  // Marks the filter's icons selected and the others not; null clears the selection.
  void Select(const TFilter* filter);
  TFilterIcon* Selected() const { return selected_; }
  // The last icon (the one drawn on top) whose marker `p` hits.
  TFilterIcon* HitTest(const TFreqDC& dc, ui::Point p) const;

  const std::vector<std::unique_ptr<TFilterIcon>>& All() const { return icons_; }
  const Curve& BankTrace() const { return bankTrace_; }
  const Curve& BypassTrace() const { return bypassTrace_; }

 private:
  std::vector<std::unique_ptr<TFilterIcon>> icons_;
  TFilterIcon* selected_ = nullptr;
  Curve bankTrace_;
  Curve bypassTrace_;
};

}  // namespace namespace8100
