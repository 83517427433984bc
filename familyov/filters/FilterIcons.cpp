#include "familyov/filters/FilterIcons.h"

#include <complex>

namespace namespaceOV {

namespace {

constexpr float kLabelGain = 1.1f;
// The high shelf is sampled from its plateau at the bottom of the band.
constexpr float kHighShelfMarkHz = 20.0f;

constexpr ui::Color kGreen = ui::Color::FromBgr(0x00FF00);
constexpr ui::Color kRed = ui::Color::FromBgr(0x0000FF);
constexpr ui::Color kMagenta = ui::Color::FromBgr(0xFF00FF);
constexpr ui::Color kYellow = ui::Color::FromBgr(0x00FFFF);
constexpr ui::Color kCyan = ui::Color::FromBgr(0xFFFF00);
constexpr ui::Color kLightGrey = ui::Color::FromBgr(0xC0C0C0);

float HalfPower(const TFilter&) { return 0.707f; }
float Unity(const TFilter&) { return 1.0f; }
// The horn rise of 6 dB per octave stands lower than that of 12.
float HornRise(const TFilter& f) {
  return static_cast<const TCDHornFilter&>(f).order == 1 ? 1.414f : 2.0f;
}

constexpr IconRule Level(ui::Color colour, float minDb, float maxDb, bool frequencyFixed = false) {
  return {colour, nullptr, {minDb, maxDb, frequencyFixed}};
}
constexpr IconRule OnLine(ui::Color colour, float (*gain)(const TFilter&)) {
  return {colour, gain, {TParametricFilter::kMinLevelDb, TParametricFilter::kMaxLevelDb, false}};
}

}  // namespace

TFilterIcon::TFilterIcon(TFilter& filter, const IconRule& rule, float* level)
    : colour(rule.colour), filter_(&filter), rule_(rule), level_(level) {}

void TFilterIcon::Update(int fStart, int fEnd) {
  const float gain = rule_.fixedGain ? rule_.fixedGain(*filter_)
                     : level_        ? familycommon::GainOfDb(*level_)
                                     : 1.0f;
  position = {static_cast<float>(filter_->frequency), gain};
  if (fStart != fEnd) ComputeCurve(kCurvePoints, fStart, fEnd, position.frequency);
}

void TFilterIcon::ComputeCurve(int count, int fStart, int fEnd, float fMark) {
  familycommon::SampleCurve(
      count, fStart, fEnd, fMark,
      [this](float f) {
        return familycommon::SampleValue{filter_->Magnitude(f),
                                         static_cast<float>(std::arg(filter_->Response(f)))};
      },
      magnitude, phase);
}

void TFilterIcon::Draw(TFreqDC& dc, bool printing) const {
  const ui::Color ink = printing ? ui::kBlack : ui::kWhite;
  familycommon::DrawIconMarker(dc, position, selected ? ink : colour, printing ? ui::kBlack : kRed,
                               selected != 0, filter_->bypass);
}

TFilter* TFilterIcon::HitTest(const TFreqDC& dc, ui::Point p) const {
  return familycommon::HitsIconMarker(dc, position, p) ? filter_ : nullptr;
}

void TFilterIcon::DragTo(GraphValue& value) const {
  familycommon::KeepWithin(
      value, rule_.limits, filter_->frequency,
      rule_.fixedGain ? std::optional(rule_.fixedGain(*filter_)) : std::nullopt);
}

void TFilterIcon::Apply(GraphValue& value) {
  DragTo(value);
  familycommon::ApplyToFilter(value, filter_->frequency, level_);
}

TParametricIcon::TParametricIcon(TParametricFilter& filter)
    : TFilterIcon(filter,
                  Level(kGreen, TParametricFilter::kMinLevelDb, TParametricFilter::kMaxLevelDb),
                  &filter.level) {
  Update(0, 0);
}

TOctaveIcon::TOctaveIcon(TOctaveFilter& filter)
    : TFilterIcon(filter,
                  Level(kGreen, TOctaveFilter::kMinLevelDb, TOctaveFilter::kMaxLevelDb, true),
                  &filter.level) {
  Update(0, 0);
}

TLowpassIcon::TLowpassIcon(TLowpassFilter& filter)
    : TFilterIcon(filter, OnLine(kRed, HalfPower), nullptr) {
  Update(0, 0);
}

THighpassIcon::THighpassIcon(THighpassFilter& filter)
    : TFilterIcon(filter, OnLine(kMagenta, HalfPower), nullptr) {
  Update(0, 0);
}

TCDHornIcon::TCDHornIcon(TCDHornFilter& filter)
    : TFilterIcon(filter, OnLine(kYellow, HornRise), nullptr) {
  Update(0, 0);
}

TAllpassIcon::TAllpassIcon(TAllpassFilter& filter)
    : TFilterIcon(filter, OnLine(kYellow, Unity), nullptr) {
  Update(0, 0);
}

TLowshelfIcon::TLowshelfIcon(TLowshelfFilter& filter)
    : TFilterIcon(filter, Level(kCyan, TLowshelfFilter::kMinLevelDb, TLowshelfFilter::kMaxLevelDb),
                  &filter.level) {
  Update(0, 0);
}

THighshelfIcon::THighshelfIcon(THighshelfFilter& filter)
    : TFilterIcon(filter,
                  Level(kYellow, THighshelfFilter::kMinLevelDb, THighshelfFilter::kMaxLevelDb),
                  &filter.level) {
  Update(0, 0);
}

void THighshelfIcon::Update(int fStart, int fEnd) {
  TFilterIcon::Update(0, 0);
  if (fStart != fEnd) ComputeCurve(kCurvePoints, fStart, fEnd, kHighShelfMarkHz);
}

TInvisibleIcon::TInvisibleIcon(TFilter& filter)
    : TFilterIcon(filter, OnLine(kLightGrey, Unity), nullptr) {
  Update(0, 0);
}

void TInvisibleIcon::Update(int fStart, int fEnd) {
  // The filter may have moved since the icon was made; its peak is sampled where it is now.
  position = {static_cast<float>(Filter().frequency), 1.0f};
  if (fStart != fEnd) ComputeCurve(kCurvePoints, fStart, fEnd, position.frequency);
}

TCrossoverIcon::TCrossoverIcon(TFilter& filter, unsigned labelSide)
    : TFilterIcon(filter, OnLine(kGreen, HalfPower), nullptr), labelSide_(labelSide) {}

void TCrossoverIcon::DrawLabeled(TFreqDC& dc, std::string_view text, bool printing) const {
  Draw(dc, printing);
  dc.TextAt(text, static_cast<float>(Filter().frequency), kLabelGain,
            familycommon::kTextAbove | labelSide_);
}

TLowCrossoverIcon::TLowCrossoverIcon(TLowCrossover& filter)
    : TCrossoverIcon(filter, familycommon::kTextLeft) {
  Update(0, 0);
}

THighCrossoverIcon::THighCrossoverIcon(THighCrossover& filter)
    : TCrossoverIcon(filter, familycommon::kTextRight) {
  Update(0, 0);
}

namespace {

// The class decides, not the type code: a code read from a unit need not match the object.
template <typename Icon, typename FilterClass, typename... Others>
std::unique_ptr<TFilterIcon> IconOfClass(TFilter& filter) {
  if (auto* typed = dynamic_cast<FilterClass*>(&filter)) return std::make_unique<Icon>(*typed);
  if constexpr (sizeof...(Others) > 0) {
    return IconOfClass<Others...>(filter);
  } else {
    return nullptr;
  }
}

}  // namespace

std::unique_ptr<TFilterIcon> MakeFilterIcon(TFilter& filter) {
  return IconOfClass<TParametricIcon, TParametricFilter, TLowpassIcon, TLowpassFilter,
                     THighpassIcon, THighpassFilter, TLowshelfIcon, TLowshelfFilter, THighshelfIcon,
                     THighshelfFilter, TOctaveIcon, TOctaveFilter, TCDHornIcon, TCDHornFilter,
                     TAllpassIcon, TAllpassFilter>(filter);
}

}  // namespace namespaceOV
