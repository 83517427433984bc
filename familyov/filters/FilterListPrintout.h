#pragma once

#include <string>
#include <vector>

#include "familycommon/FilterListing.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

using familycommon::TTextPrintDC;

// One channel's filters as a table headed by the channel's name, grouped by type name, each group
// by rising frequency.
class TFilterListPrintout : public familycommon::FilterListPrintout {
 public:
  // Reads the channel's name and the unit's list text; a bus failure passes to the caller.
  TFilterListPrintout(IQDeviceOrdavinex& device, int channel);

  const std::vector<const TFilter*>& Filters() const { return filters_; }

 private:
  TFilterListPrintout(IQDeviceOrdavinex& device, int channel, std::vector<const TFilter*> filters);

  std::vector<const TFilter*> filters_;
};

// The order of the listing: by type name, then by frequency.
std::vector<const TFilter*> ListingOrder(std::vector<const TFilter*> filters);

// Prints the channel's filters after the print dialog; failures are reported over `owner`.
void PrintChannelFilterListing(IQDeviceOrdavinex& device, ui::Window& owner, int channel);

}  // namespace namespaceOV
