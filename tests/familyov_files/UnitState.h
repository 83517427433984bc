#pragma once

// What loading settings into a unit, from a file or from another unit, changes besides its stored
// memories: read from the unit itself, so that a test can say it was put back.

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace filestest {

struct UnitState {
  std::vector<std::string> names;
  std::vector<int> logic;
  int delayUnits = 0;
  // Day, hour, minute and logic input of each clock event; none for a unit without a clock.
  std::vector<std::array<int, 4>> events;
  std::vector<uint32_t> current;
  bool operator==(const UnitState&) const = default;
};

// Read from the unit, never from the values the device keeps.
UnitState StateOf(namespaceOV::IQDeviceOrdavinex& unit);
void PrintTo(const UnitState& state, std::ostream* out);

// Memory 3's name, the last channel's name, logic input 5's memory and output, clock event 2 (on a
// unit with a clock) and channel 1's level: one of each kind of thing a load writes.
void SetState(namespaceOV::IQDeviceOrdavinex& unit, const std::string& name, int logicMemory,
              float level);

// The unit's settings as the program saves them, in a file at `path`.
void SaveSettingsFile(namespaceOV::IQDeviceOrdavinex& unit, const std::string& path);

// Runs a load or a copy that the test expects a bus failure to end; whether the unit was put back.
// A failure before anything was written comes through as it is, and counts as put back.
bool FailingLoad(const std::function<void()>& load);

}  // namespace filestest
