#pragma once

#include "platform/ui/Trackbar.h"

namespace familycommon {

// A parametric filter's bandwidth slider, as both processor families' dialogs show it: position
// p stands for 4/p octaves, from 4 octaves at the left end to 1/70 at the right.
inline constexpr int kFirstBandwidthPosition = 1;
inline constexpr int kLastBandwidthPosition = 277;

// Its range, and ticks at the usual bandwidths with their fractions of an octave under them.
void SetUpBandwidthSlider(ui::Trackbar& slider);

}  // namespace familycommon
