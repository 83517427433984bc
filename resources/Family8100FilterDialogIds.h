#pragma once

// The older family's filter parameter dialogs, one resource per filter type, and their controls'
// ids. The newer family's dialogs of the same kinds have resources of their own; the family's own
// numbers sit in the 81000s, clear of the other families' templates.
namespace f8100res {

inline constexpr int kParametricDialog8100 = 81022;
inline constexpr int kBoostCutDialog8100 = 81084;
inline constexpr int kLowpassDialog8100 = 81085;
inline constexpr int kHighpassDialog8100 = 81086;
inline constexpr int kLowShelfDialog8100 = 81087;
inline constexpr int kHighShelfDialog8100 = 81088;

inline constexpr int kFilterFrequency = 101;
inline constexpr int kFilterLevel = 102;
inline constexpr int kFilterSlopeSpin = 102;  // the pass dialogs have no level
inline constexpr int kFilterQ = 103;
inline constexpr int kFilterBandwidth = 104;
inline constexpr int kFilterFrequencyQuad = 105;
inline constexpr int kFilterLevelQuad = 106;
inline constexpr int kFilterInvert = 107;
inline constexpr int kFilterTypePicture = 108;
inline constexpr int kFilterSlope = 316;
inline constexpr int kFilterFixedFrequency = 322;

void RegisterFamily8100FilterDialogs();

}  // namespace f8100res
