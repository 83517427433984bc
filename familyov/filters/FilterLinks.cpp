#include "familyov/filters/FilterLinks.h"

#include "controls/TDataWindow.h"
#include "familyov/filters/TFilter.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

void AnnounceChanged(const TDataWindow& sender, TFilter& filter) {
  NotifyRecord record{FilterChanged, filter.channel, 0, &filter};
  sender.NotifyRoot(&record);
}

}  // namespace

void UnlinkChain(IQDeviceOrdavinex& device, TFilter& filter, const TDataWindow& sender) {
  TFilter& head = filter.linkHead ? *filter.linkHead : filter;
  TFilter* member = head.nextInChain;
  head.nextInChain = nullptr;
  head.UpdateLinkedChannels();
  AnnounceChanged(sender, head);
  // A chain that runs into itself ends where it meets a filter already unlinked.
  while (member != nullptr && member != &head) {
    gFilterSelectObject.Write(device, static_cast<uint8_t>(member->number));
    gFilterLinkGroupObject.Write(device, 0);
    member->linkNumber = 0;
    TFilter* next = member->nextInChain;
    member->nextInChain = nullptr;
    member->linkHead = nullptr;
    member->UpdateLinkedChannels();
    AnnounceChanged(sender, *member);
    member = next;
  }
}

}  // namespace namespaceOV
