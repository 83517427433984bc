#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

struct LogicEntry {
  uint8_t memory = 0;
  uint8_t output = 0;
};

// What a unit keeps beside its memories and clock: memory names, logic map (entry 0 unused),
// delay display unit and channel names in the order of the unit's channel indexes.
struct Globals {
  std::vector<std::string> memoryNames;
  std::array<LogicEntry, kLogicInputCount> logic{};
  uint8_t delayUnits = 0;
  std::vector<std::string> channelNames;
};

Globals GlobalsOf(IQDeviceOrdavinex& device);
// Whatever the globals came from (a file, another unit, a snapshot), the unit is never sent a
// memory it lacks: names beyond its memories and channels are left out, and a logic input that
// recalls a memory beyond its count is written to recall none. Returns those inputs, in order.
std::vector<int> WriteGlobals(IQDeviceOrdavinex& device, const Globals& globals);
// What a load or copy that set `inputs` to recall no memory tells the user of a unit of
// `memories` memories; empty when none.
std::string ClearedLogicText(const std::vector<int>& inputs, int memories);

// Every clock event slot of the unit, read as it stands; a failure passes on.
std::vector<TTimerStruct> EventsOf(IQDeviceOrdavinex& device);
// The device's event list becomes `events`, each written to the unit at its place in the list.
void WriteEvents(IQDeviceOrdavinex& device, const std::vector<TTimerStruct>& events);

}  // namespace namespaceOV
