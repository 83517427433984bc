#include "family8100/filters/BankEditing.h"

#include <algorithm>

#include "family8100/unit/FamilyKey8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int32_t kMinOrder = 1;
constexpr int32_t kMaxOrder = 8;

int PassSections(int32_t order) { return (order + 1) / 2; }

TFilter& PlaceWriteCommit(IQDevice8100& unit, std::unique_ptr<TFilter> filter) {
  TFilter& placed = unit.PlaceFilter(std::move(filter));
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
  return placed;
}

}  // namespace

int32_t TwinBank(int32_t bank) {
  switch (bank) {
    case kRightInputBank:
      return kLeftInputBank;
    case kLeftInputBank:
      return kRightInputBank;
    case kRightOutputBank:
      return kLeftOutputBank;
    default:
      return kRightOutputBank;
  }
}

TFilter* AddBankFilter(IQDevice8100& unit, const FamilyKey8100& defaults, int32_t bank,
                       int32_t type) {
  std::unique_ptr<TFilter> filter = MakeFilter(type);
  if (!filter) return nullptr;
  filter->bank = bank;
  defaults.ApplyFilterDefaults(*filter);
  if (auto* pass = dynamic_cast<TPassFilter*>(filter.get())) {
    while (pass->order >= kMinOrder && !unit.CanAddFilter(*pass)) --pass->order;
    if (pass->order < kMinOrder) return nullptr;
  } else if (!unit.CanAddFilter(*filter)) {
    return nullptr;
  }
  return &PlaceWriteCommit(unit, std::move(filter));
}

void RemoveSelection(IQDevice8100& unit, std::vector<TFilter*>& selection,
                     std::vector<const TFilter*>& removed) {
  while (!selection.empty()) {
    TFilter* filter = selection.front();
    // A failure leaves the filter listed and selected: whether the unit deleted it all the same,
    // only a read of the unit can tell.
    unit.RemoveFilter(*filter);
    removed.push_back(filter);
    selection.erase(selection.begin());
  }
}

bool CopyToTwinBank(IQDevice8100& unit, const std::vector<TFilter*>& selection,
                    std::vector<TFilter*>& copies) {
  for (const TFilter* filter : selection) {
    if (!unit.CanAddFilter(*filter)) return false;
    copies.push_back(&filter->CloneToBank(unit, TwinBank(filter->bank)));
  }
  return true;
}

void ReadMovedSlot(IQDevice8100& unit, TFilter& filter) {
  if (!unit.IsOnline()) return;
  g8100FilterSlot.Write(unit, static_cast<uint8_t>(filter.slot));
  filter.slot = g8100FilterParam39.Read(unit);
}

bool StepOrder(IQDevice8100& unit, TPassFilter& filter, int steps) {
  const int32_t order = std::clamp(filter.order + steps, kMinOrder, kMaxOrder);
  // Asked also when the order falls, as the unit's own count would be.
  if (!unit.HasFilterCapacity(PassSections(order) - PassSections(filter.order))) return false;
  filter.order = order;
  ReadMovedSlot(unit, filter);
  filter.WriteToUnit(unit);
  filter.SetUnitFlag(unit);
  return true;
}

}  // namespace namespace8100
