#include "family8100/filters/BankListing.h"

#include <algorithm>

#include "controls/CopyInDoubt.h"
#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

std::string BankCaption(int32_t bank) {
  switch (bank) {
    case kRightInputBank:
      return "Right Input Filters";
    case kLeftInputBank:
      return "Left Input Filters";
    case kRightOutputBank:
      return "Right Output Filters";
    default:
      return "Left Output Filters";
  }
}

std::vector<const TFilter*> BankListingOrder(const IQDevice8100& unit, int32_t bank) {
  std::vector<const TFilter*> filters;
  for (const auto& filter : unit.Filters()) {
    if (filter->bank == bank) filters.push_back(filter.get());
  }
  std::ranges::stable_sort(filters, [](const TFilter* a, const TFilter* b) {
    return familycommon::ListedBefore(FilterTypeName(a->type), a->frequency,
                                      FilterTypeName(b->type), b->frequency,
                                      familycommon::TypeNameOrder::kBytewise);
  });
  return filters;
}

std::unique_ptr<familycommon::FilterListPrintout> MakeBankListing(IQDevice8100& unit,
                                                                  int32_t bank) {
  if (!controls::SettleCopy(unit)) return nullptr;
  std::vector<familycommon::ListingRow> rows;
  for (const TFilter* filter : BankListingOrder(unit, bank)) {
    rows.push_back({FilterTypeName(filter->type), filter->FormatFrequency(true),
                    filter->FormatParam1(true), filter->FormatParam2(true)});
  }
  std::string name;
  if (!unit.GetListText(name)) name = unit.GetName();
  return std::make_unique<familycommon::FilterListPrintout>(
      "TelvoWin 2.1 channel filter listing", BankCaption(bank), name, std::move(rows));
}

void PrintFilterListing(IQDevice8100& unit, ui::Window& owner, int32_t bank) {
  if (const auto listing = MakeBankListing(unit, bank)) familycommon::PrintListing(owner, *listing);
}

}  // namespace namespace8100
