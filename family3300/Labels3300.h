#pragma once

#include <string>

#include "bus/IQDeviceInfo.h"

// The graphic-equaliser family's texts: band and corner labels and the firmware version as the
// units report it.
namespace namespace3300 {

// Band b (1..28): its third-octave centre, padded with blanks to five characters ("31.5 ").
const char* BandLabel3300(int band);
// Corner index 0..7; an index past 7 has no label and gives "?".
const char* HpfLabel3300(int index);
const char* LpfLabel3300(int index);

// The firmware version of a bus unit: the five characters after the model digit of its roll-call
// identity, with "01.00" standing for 4.00 and the leading zeros dropped ("01.20" gives "1.20").
std::string FirmwareVersionText3300(const IQDeviceInfo& info);

}  // namespace namespace3300
