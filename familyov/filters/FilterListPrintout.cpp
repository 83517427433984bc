#include "familyov/filters/FilterListPrintout.h"

#include <algorithm>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"

namespace namespaceOV {

namespace {

std::vector<const TFilter*> ChannelFilters(const IQDeviceOrdavinex& device, int channel) {
  std::vector<const TFilter*> filters;
  for (const auto& filter : device.Filters()) {
    if (filter->channel == channel) filters.push_back(filter.get());
  }
  return ListingOrder(std::move(filters));
}

// Values that may not be the unit's print as "?".
std::vector<familycommon::ListingRow> RowsOf(const std::vector<const TFilter*>& filters,
                                             bool known) {
  std::vector<familycommon::ListingRow> rows;
  for (const TFilter* filter : filters) {
    const std::string type = FilterTypeName(filter->typeCode);
    if (!known) {
      rows.push_back({type, "?", "?", "?"});
      continue;
    }
    rows.push_back({type, filter->FormatFrequency(true), filter->FormatParam1(true),
                    filter->FormatParam2(true, false)});
  }
  return rows;
}

std::string ChannelName(IQDeviceOrdavinex& device, int channel) {
  gChannelNameObject.SetElement(std::min(channel, gChannelNameObject.GetCount() - 1));
  return gChannelNameObject.Read(device);
}

std::string UnitName(const IQDeviceOrdavinex& device) {
  std::string unit;
  if (!device.GetListText(unit)) unit = device.GetName();
  return unit;
}

}  // namespace

std::vector<const TFilter*> ListingOrder(std::vector<const TFilter*> filters) {
  std::ranges::stable_sort(filters, [](const TFilter* a, const TFilter* b) {
    return familycommon::ListedBefore(FilterTypeName(a->typeCode), a->frequency,
                                      FilterTypeName(b->typeCode), b->frequency,
                                      familycommon::TypeNameOrder::kIgnoringCase);
  });
  return filters;
}

TFilterListPrintout::TFilterListPrintout(IQDeviceOrdavinex& device, int channel)
    : TFilterListPrintout(device, channel, ChannelFilters(device, channel)) {}

TFilterListPrintout::TFilterListPrintout(IQDeviceOrdavinex& device, int channel,
                                         std::vector<const TFilter*> filters)
    : familycommon::FilterListPrintout("Channel filter listing", ChannelName(device, channel),
                                       UnitName(device), RowsOf(filters, !device.FiltersStale())),
      filters_(std::move(filters)) {}

void PrintChannelFilterListing(IQDeviceOrdavinex& device, ui::Window& owner, int channel) {
  // A unit silent for the read again is told of once, however many reads of the listing fail.
  const controls::OneReportScope listing;
  controls::SettleCopy(device);
  std::unique_ptr<TFilterListPrintout> printout;
  if (!GuardedUnitCall(
          device, [&] { printout = std::make_unique<TFilterListPrintout>(device, channel); })) {
    return;
  }
  familycommon::PrintListing(owner, *printout);
}

}  // namespace namespaceOV
