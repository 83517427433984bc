#include "family8100/filters/FilterEdits.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

namespace {

const float* LevelOf(const TFilter& filter) {
  if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter)) return &peak->level;
  if (const auto* shelf = dynamic_cast<const TShelfFilter*>(&filter)) return &shelf->level;
  return nullptr;
}

float* LevelOf(TFilter& filter) { return const_cast<float*>(LevelOf(std::as_const(filter))); }

}  // namespace

float LowestTypedLevel(int32_t type) {
  return type == kParametricFilter || type == kBoostCutFilter ? kMinPeakLevelDb : kMinShelfLevelDb;
}

float LowestSteppedLevel(int32_t type) {
  return type == kParametricFilter ? kMinPeakLevelDb : kMinShelfLevelDb;
}

bool ApplyTypedFields(TFilter& filter, const TypedFields& fields, bool invertLevel) {
  bool any = false;
  if (fields.frequency) {
    if (const auto frequency = ParseFrequency(*fields.frequency)) {
      filter.frequency = *frequency;
      any = true;
    }
  }
  float* level = LevelOf(filter);
  if (fields.level && level) {
    const float lowest = LowestTypedLevel(filter.type);
    const float inf = std::numeric_limits<float>::infinity();
    if (auto typed = ParseClamped(*fields.level, -inf, inf)) {
      *level = std::clamp(invertLevel ? -*typed : *typed, lowest, kMaxLevelDb);
      any = true;
    }
  }
  auto* peak = dynamic_cast<TPeakFilter*>(&filter);
  if (fields.q && peak) {
    if (const auto q = ParseClamped(*fields.q, kMinQ, kMaxQ)) {
      peak->q = *q;
      any = true;
    }
  }
  return any;
}

void WriteAndCommit(IQDevice8100& unit, const TFilter& filter) {
  filter.WriteToUnit(unit);
  filter.SetUnitFlag(unit);
}

bool CommitFilter(IQDevice8100& unit, const TFilter& filter) {
  return controls::GuardedBusCall(&unit, [&] { WriteAndCommit(unit, filter); });
}

bool ReadFilterBackQuietly(IQDevice8100& unit, TFilter& filter) {
  bool held = true;
  unit.ReadQuietly([&] { held = filter.ReadFromUnit(unit); });
  return held;
}

}  // namespace namespace8100
