#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "familycommon/FilterListing.h"

namespace ui {
class Window;
}

namespace namespace8100 {

class IQDevice8100;
class TFilter;

// "Right Input Filters" ... "Left Output Filters".
std::string BankCaption(int32_t bank);

// The bank's filters in the listing's order: by type name compared byte by byte, then by rising
// frequency.
std::vector<const TFilter*> BankListingOrder(const IQDevice8100& unit, int32_t bank);

// The bank's filter listing, headed by the bank's caption and the unit's name. A unit in doubt is
// read again first (controls::SettleCopy): none when it did not give its filters, which has been
// told.
std::unique_ptr<familycommon::FilterListPrintout> MakeBankListing(IQDevice8100& unit, int32_t bank);

// Prints the bank's listing after the print dialog; a bank without filters prints nothing, nor
// does a unit in doubt that does not give its filters.
void PrintFilterListing(IQDevice8100& unit, ui::Window& owner, int32_t bank);

}  // namespace namespace8100
