#include "familycommon/BandwidthSlider.h"

namespace familycommon {

void SetUpBandwidthSlider(ui::Trackbar& slider) {
  slider.SetRange(kFirstBandwidthPosition, kLastBandwidthPosition);
  slider.SetTickMarks({{kFirstBandwidthPosition, "4"},
                       {12, "1/3"},
                       {24, "1/6"},
                       {40, "1/10"},
                       {80, "1/20"},
                       {120, "1/30"},
                       {200, "1/50"},
                       {kLastBandwidthPosition, "1/70"}});
}

}  // namespace familycommon
