#include "family8100/filters/GraphIcons8100.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

namespace {

// Not 1/sqrt(2): the marker of a corner sits exactly where the family has always put it.
constexpr float kHalfPowerGain = 0.707f;
constexpr float kPeakMinDb = -70.0f;
constexpr float kDragMaxDb = 12.0f;
constexpr float kShelfMinDb = -12.0f;

constexpr ui::Color kGreen{0, 255, 0};
constexpr ui::Color kRed{255, 0, 0};
constexpr ui::Color kMagenta{255, 0, 255};
constexpr ui::Color kCyan{0, 255, 255};
constexpr ui::Color kYellow{255, 255, 0};
constexpr ui::Color kLightGrey{192, 192, 192};

constexpr IconRule Level(ui::Color colour, float minDb, bool frequencyFixed = false) {
  return {colour, false, {minDb, kDragMaxDb, frequencyFixed}};
}
constexpr IconRule Corner(ui::Color colour) {
  return {colour, true, {kPeakMinDb, kDragMaxDb, false}};
}
constexpr IconRule kInvisibleRule = Level(kLightGrey, kPeakMinDb);

class TVisibleIcon final : public TFilterIcon {
 public:
  TVisibleIcon(TFilter& filter, const IconRule& rule, float* level)
      : TFilterIcon(filter, rule, level) {
    Update(0, 0);
  }
};

template <typename Kind>
std::unique_ptr<TFilterIcon> WithLevel(TFilter& filter, const IconRule& rule) {
  return std::make_unique<TVisibleIcon>(filter, rule, &static_cast<Kind&>(filter).level);
}

}  // namespace

TFilterIcon::TFilterIcon(TFilter& filter, const IconRule& rule, float* level)
    : position{static_cast<float>(filter.frequency), 1.0f},
      colour(rule.colour),
      filter_(&filter),
      rule_(rule),
      level_(level) {}

void TFilterIcon::Update(int fmin, int fmax) {
  const float gain = rule_.onHalfPowerLine ? kHalfPowerGain
                     : level_              ? familycommon::GainOfDb(*level_)
                                           : 1.0f;
  position = {static_cast<float>(filter_->frequency), gain};
  if (fmin != fmax) ComputeTrace(fmin, fmax);
}

void TFilterIcon::ComputeTrace(int fmin, int fmax) {
  familycommon::SampleMagnitude(
      kTracePoints, fmin, fmax, static_cast<float>(filter_->frequency),
      [this](float f) { return filter_->Magnitude(f); }, trace);
}

void TFilterIcon::Draw(TFreqDC& dc, bool printing) const {
  const ui::Color ink = !selected ? colour : printing ? ui::kBlack : ui::kWhite;
  familycommon::DrawIconMarker(dc, position, ink, ink, selected != 0, filter_->bypass);
}

TFilter* TFilterIcon::HitTest(const TFreqDC& dc, ui::Point p) const {
  return familycommon::HitsIconMarker(dc, position, p) ? filter_ : nullptr;
}

void TFilterIcon::Constrain(GraphValue& value) const {
  familycommon::KeepWithin(value, rule_.limits, filter_->frequency,
                           rule_.onHalfPowerLine ? std::optional(kHalfPowerGain) : std::nullopt);
}

void TFilterIcon::ShowInFields(GraphValue value) const {
  const TFilter& filter = *filter_;
  if (filter.frequencyField) {
    filter.frequencyField->SetText(std::to_string(static_cast<int>(value.frequency)));
  }
  if (filter.levelField) {
    char level[32];
    std::snprintf(level, sizeof level, "%.1f", 20.0 * std::log10(value.gain));
    filter.levelField->SetText(level);
  }
}

GraphValue TFilterIcon::FollowDrag(familycommon::IconDrag& drag, const TFreqDC& dc,
                                   ui::Point mouse) const {
  GraphValue value = dc.MouseValue(mouse);
  Constrain(value);
  drag.MoveBandTo(dc.ValueToPoint(value, false));
  GraphValue shown = drag.BandValue(dc);
  Constrain(shown);
  ShowInFields(shown);
  return shown;
}

void TFilterIcon::Apply(GraphValue value) {
  Constrain(value);
  familycommon::ApplyToFilter(value, filter_->frequency, level_);
}

TInvisibleIcon::TInvisibleIcon(TFilter& filter) : TFilterIcon(filter, kInvisibleRule, nullptr) {}

void TInvisibleIcon::Update(int fmin, int fmax) {
  if (fmin != fmax) ComputeTrace(fmin, fmax);
}

std::unique_ptr<TFilterIcon> MakeFilterIcon(TFilter& filter) {
  switch (filter.type) {
    case kParametricFilter:
      return WithLevel<TPeakFilter>(filter, Level(kGreen, kPeakMinDb));
    case kBoostCutFilter:
      return WithLevel<TPeakFilter>(filter, Level(kGreen, kShelfMinDb, true));
    case kLowShelfFilter:
      return WithLevel<TShelfFilter>(filter, Level(kCyan, kShelfMinDb));
    case kHighShelfFilter:
      return WithLevel<TShelfFilter>(filter, Level(kYellow, kShelfMinDb));
    case kLowpassFilter:
      return std::make_unique<TVisibleIcon>(filter, Corner(kRed), nullptr);
    case kHighpassFilter:
      return std::make_unique<TVisibleIcon>(filter, Corner(kMagenta), nullptr);
    case kLowCrossoverFilter:
      return std::make_unique<TVisibleIcon>(filter, Corner(kGreen), nullptr);
    case kHighCrossoverFilter:
      return std::make_unique<TVisibleIcon>(filter, Corner(kRed), nullptr);
    default:
      return nullptr;
  }
}

void GraphIcons8100::Clear() {
  icons_.clear();
  selected_ = nullptr;
  bankTrace_.clear();
  bypassTrace_.clear();
}

void GraphIcons8100::Append(std::unique_ptr<TFilterIcon> icon, Range range) {
  if (!icon) return;
  icon->Update(range.fmin, range.fmax);
  icons_.push_back(std::move(icon));
}

namespace {

// The icon of `filter` in the graph of `bank`: its own kind for a filter of the bank, an invisible
// one for an overlaid bank's filter, none otherwise.
std::unique_ptr<TFilterIcon> BankIcon(TFilter& filter, int bank, const GraphView8100& view) {
  if (filter.bank == bank) return MakeFilterIcon(filter);
  const bool overlaid = filter.bank >= 1 && filter.bank <= 4 && view.overlay[filter.bank];
  return overlaid ? std::make_unique<TInvisibleIcon>(filter) : nullptr;
}

}  // namespace

void GraphIcons8100::RebuildBank(const IQDevice8100& unit, int bank, const GraphView8100& view,
                                 Range range) {
  Clear();
  for (const auto& filter : unit.Filters()) Append(BankIcon(*filter, bank, view), range);
  TFilter* crossover = bank == kLeftOutputBank    ? unit.LowCrossover()
                       : bank == kRightOutputBank ? unit.HighCrossover()
                                                  : nullptr;
  if (crossover) Append(std::make_unique<TInvisibleIcon>(*crossover), range);
  Accumulate();
}

void GraphIcons8100::RebuildCrossovers(const IQDevice8100& unit, Range range) {
  Clear();
  if (TFilter* low = unit.LowCrossover()) {
    Append(unit.crossoverLink ? std::make_unique<TInvisibleIcon>(*low) : MakeFilterIcon(*low),
           range);
  }
  if (TFilter* high = unit.HighCrossover()) Append(MakeFilterIcon(*high), range);
}

void GraphIcons8100::AddToBank(TFilter& filter, int bank, const GraphView8100& view, Range range) {
  Append(BankIcon(filter, bank, view), range);
  Accumulate();
}

void GraphIcons8100::Refresh(const TFilter& filter, Range range) {
  for (const auto& icon : icons_) {
    if (icon->Shows(&filter)) icon->Update(range.fmin, range.fmax);
  }
  Accumulate();
}

namespace {

void MultiplyInto(Curve& sum, const Curve& trace) {
  if (sum.empty()) {
    sum = trace;
    return;
  }
  const size_t n = std::min(sum.size(), trace.size());
  for (size_t i = 0; i < n; ++i) sum[i].value *= trace[i].value;
}

}  // namespace

void GraphIcons8100::Accumulate() {
  bankTrace_.clear();
  bypassTrace_.clear();
  for (const auto& icon : icons_) {
    if (icon->trace.empty()) continue;
    MultiplyInto(icon->Filter().bypass ? bypassTrace_ : bankTrace_, icon->trace);
  }
}

void GraphIcons8100::Select(const TFilter* filter) {
  selected_ = nullptr;
  for (const auto& icon : icons_) {
    const bool chosen = filter != nullptr && icon->Shows(filter);
    icon->selected = chosen ? 1 : 0;
    if (chosen) selected_ = icon.get();
  }
}

TFilterIcon* GraphIcons8100::HitTest(const TFreqDC& dc, ui::Point p) const {
  for (auto it = icons_.rbegin(); it != icons_.rend(); ++it) {
    if ((*it)->HitTest(dc, p)) return it->get();
  }
  return nullptr;
}

}  // namespace namespace8100
