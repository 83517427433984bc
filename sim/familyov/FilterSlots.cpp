#include "sim/familyov/FilterSlots.h"

#include <algorithm>

#include "sim/Unit.h"
#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {
namespace {

constexpr uint8_t kFirstFilterType = 3;
constexpr uint8_t kLastFilterType = 12;
constexpr uint8_t kLowpassType = 4;
constexpr uint8_t kHighpassType = 5;
constexpr uint8_t kLowCrossoverType = 8;
constexpr uint8_t kHighCrossoverType = 9;
constexpr uint8_t kDeleteSelected = 0;
constexpr uint8_t kDeleteAll = 1;
constexpr uint8_t kCreateCommand = 0;
constexpr uint8_t kLiveUpdateCommand = 2;
constexpr int kOrderParam = 1;

bool CarriesOrder(uint8_t type) {
  return type == kLowpassType || type == kHighpassType || type == kLowCrossoverType ||
         type == kHighCrossoverType;
}

// The objects that address the selected filter's record, in either direction.
bool OfSelectedFilter(int objectId) {
  using namespace object;
  return objectId == kFilterChannel || objectId == kFilterType || objectId == kFilterParam ||
         objectId == kFilterBypass || objectId == kFilterBypassSet || objectId == kFilterLinkGroup;
}

Outcome OutOfRange() { return Outcome::Fail(unit_error::kParameterOutOfRange); }
Outcome WrongMethod() { return Outcome::Fail(unit_error::kMethodOutOfRange); }

}  // namespace

FilterSlots::FilterSlots(int slotCount, int channels) : slots_(slotCount), channels_(channels) {}

void FilterSlots::Clear() {
  std::fill(slots_.begin(), slots_.end(), FilterRecord{});
  selected_ = 0;
  lastCommand_ = -1;
  lastLink_ = 0;
}

std::optional<Outcome> FilterSlots::Set(const Access& access) {
  using namespace object;
  if (OfSelectedFilter(access.objectId)) return WriteSelected(access);
  switch (access.objectId) {
    case kNewFilter:
    case kFilterOrder:
    case kDspUsage:
      // Only the unit changes these; the program reads them.
      return WrongMethod();
    case kDeleteFilter:
      return Delete(access.data[0]);
    case kFilterSelect:
      return Select(access.data[0]);
    case kFilterCommand:
      return Command(access.data[0]);
    case kFilterLink:
      return CopyLinked(WordOf(access.data));
    default:
      return std::nullopt;
  }
}

std::optional<Outcome> FilterSlots::Get(const Access& access) {
  using namespace object;
  if (OfSelectedFilter(access.objectId)) {
    Outcome read = ReadSelected(access);
    if (access.objectId == kFilterType && retype_ && retype_->slot == selected_) {
      slots_[selected_].type = retype_->type;
      retype_.reset();
    }
    return read;
  }
  switch (access.objectId) {
    case kNewFilter:
      return Allocate();
    case kFilterOrder:
      return Reallocate();
    case kDeleteFilter:
      return WrongMethod();
    case kFilterSelect:
      return Outcome::Done({static_cast<uint8_t>(selected_)});
    case kFilterCommand:
      return Outcome::Done({static_cast<uint8_t>(std::max(lastCommand_, 0))});
    case kFilterLink:
      return Outcome::Done(WordBytes(lastLink_));
    default:
      return std::nullopt;
  }
}

std::optional<int> FilterSlots::FirstFreeSlot() const {
  const auto free = std::find_if(slots_.begin(), slots_.end(),
                                 [](const FilterRecord& slot) { return !slot.allocated; });
  if (free == slots_.end()) return std::nullopt;
  return static_cast<int>(free - slots_.begin());
}

Outcome FilterSlots::Allocate() {
  const auto slot = FirstFreeSlot();
  // A full unit has no number to give; it answers that the request is out of its range.
  if (!slot) return OutOfRange();
  // The new filter is selected, ready for its record.
  slots_[*slot] = FilterRecord{.allocated = true};
  selected_ = *slot;
  return Outcome::Done({static_cast<uint8_t>(*slot)});
}

Outcome FilterSlots::Reallocate() {
  if (!slots_[selected_].allocated) return OutOfRange();
  // The new room is taken before the old is given up, so the number changes whenever another
  // slot is free; a full unit keeps the filter where it is.
  if (const auto slot = FirstFreeSlot()) {
    slots_[*slot] = slots_[selected_];
    slots_[*slot].active = false;
    slots_[selected_] = FilterRecord{};
    selected_ = *slot;
  }
  return Outcome::Done({static_cast<uint8_t>(selected_)});
}

Outcome FilterSlots::Delete(uint8_t mode) {
  if (mode == kDeleteSelected) {
    slots_[selected_] = FilterRecord{};
  } else if (mode == kDeleteAll) {
    std::fill(slots_.begin(), slots_.end(), FilterRecord{});
  } else {
    return OutOfRange();
  }
  return Outcome::Done();
}

Outcome FilterSlots::Select(uint8_t number) {
  if (number >= slots_.size()) return OutOfRange();
  selected_ = number;
  return Outcome::Done();
}

Outcome FilterSlots::Command(uint8_t code) {
  FilterRecord& slot = slots_[selected_];
  if (code > kLiveUpdateCommand || !slot.allocated || slot.type == 0) return OutOfRange();
  // Updates apply to a running filter only; the create command starts it.
  if (code != kCreateCommand && !slot.active) return OutOfRange();
  slot.active = true;
  lastCommand_ = code;
  return Outcome::Done();
}

Outcome FilterSlots::CopyLinked(uint32_t link) {
  const uint32_t target = link >> 8;
  const uint32_t source = link & 0xFF;
  if (target >= slots_.size() || source >= slots_.size() || !slots_[target].allocated ||
      !slots_[source].allocated) {
    return OutOfRange();
  }
  // The linked filter takes the source's parameters and bypass; its type, channel and link stay.
  slots_[target].params = slots_[source].params;
  slots_[target].bypass = slots_[source].bypass;
  lastLink_ = link;
  return Outcome::Done();
}

Outcome FilterSlots::WriteSelected(const Access& access) {
  using namespace object;
  FilterRecord& slot = slots_[selected_];
  if (!slot.allocated) return OutOfRange();
  const uint8_t value = access.data[0];
  switch (access.objectId) {
    case kFilterChannel:
      if (value >= channels_) return OutOfRange();
      slot.channel = value;
      break;
    case kFilterType:
      if (value < kFirstFilterType || value > kLastFilterType) return OutOfRange();
      slot.type = value;
      break;
    case kFilterParam:
      std::copy(access.data.begin(), access.data.end(), slot.params[access.index].begin());
      break;
    case kFilterLinkGroup:
      // Zero, or the number of the chain's head plus one.
      if (value > slots_.size()) return OutOfRange();
      slot.linkNumber = value;
      break;
    default:  // either bypass object
      slot.bypass = value != 0;
      break;
  }
  return Outcome::Done();
}

Outcome FilterSlots::ReadSelected(const Access& access) const {
  using namespace object;
  // A free slot reads as an empty record: type 0 tells the program there is no filter.
  const FilterRecord& slot = slots_[selected_];
  switch (access.objectId) {
    case kFilterChannel:
      return Outcome::Done({slot.channel});
    case kFilterType:
      return Outcome::Done({slot.type});
    case kFilterParam: {
      const auto& param = slot.params[access.index];
      return Outcome::Done({param.begin(), param.end()});
    }
    case kFilterLinkGroup:
      return Outcome::Done({slot.linkNumber});
    default:  // either bypass object
      return Outcome::Done({static_cast<uint8_t>(slot.bypass)});
  }
}

uint32_t FilterSlots::SectionsInUse() const {
  uint32_t sections = 0;
  for (const FilterRecord& slot : slots_) {
    if (!slot.active) continue;
    sections += CarriesOrder(slot.type) ? (WordOf(slot.params[kOrderParam]) + 1) / 2 : 1;
  }
  return sections;
}

}  // namespace sim::familyov
