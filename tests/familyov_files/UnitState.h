#pragma once

// What loading settings into a unit, from a file or from another unit, changes besides its stored
// memories: read from the unit itself, so that a test can say it was put back.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "familycommon/LoadFailure.h"
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

// The unit's stored memories, from 1, read from it.
std::vector<std::vector<uint32_t>> MemoriesOf(namespaceOV::IQDeviceOrdavinex& unit);

// A unit before a load or copy and as a whole one leaves it.
struct LoadEnds {
  UnitState before;
  UnitState loaded;
  std::vector<std::vector<uint32_t>> memoriesBefore;
  std::vector<std::vector<uint32_t>> memoriesLoaded;
};

// Whether the unit holds what the closing message of a load or copy stopped at `progress` says:
// each part it names as put back, as it was or as loaded is so; parts it says may be partly
// loaded are not looked at.
::testing::AssertionResult HoldsWhatItSays(namespaceOV::IQDeviceOrdavinex& unit,
                                           const familycommon::LoadProgress& progress,
                                           bool restored, const LoadEnds& ends);

// Runs a load or a copy that the test expects a bus failure to end; whether the unit was put back.
// A failure before anything was written comes through as it is, and counts as put back.
bool FailingLoad(const std::function<void()>& load);

}  // namespace filestest
