#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "family8100/filters/Filters8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "familycommon/ProgressReport.h"

class SettingsTextFile;

namespace namespace8100 {

class IQDevice8100;

// The "*.ov0" settings file: the unit or interface name, the chosen memories with their names,
// settings and filters, the current settings and the preset map. Sections the unit's model lacks
// are neither written nor looked for.

// The whole file, memories chosen by `memories` (bit n-1 for memory n). The memories are recalled
// one by one while the unit is muted; its current settings are put back and the mute lifted
// afterwards. A bus failure throws TransferFailure (BulkTransfer.h) once they are, as far as the
// unit answers within the wait for a silent unit; a failure to read the unit's name passes on. A
// value the unit holds that the reader would refuse ends the save with SettingsWriteError naming
// the value and its section, the unit put back the same way.
void WriteSettingsFile(IQDevice8100& unit, SettingsTextFile& file, uint32_t memories,
                       familycommon::ProgressReport* progress = nullptr);

// Whether the file has the section that marks the format.
bool IsSettingsFile(SettingsTextFile& file);

// The values of one set of sections, a memory's or the current settings'. Globals and filters
// every set holds; a section of the model that no set of the file holds (the file is another
// model's) is left out here, and its values stay on the unit as they are.
// Kept outside SectionsLoad: a nested class with member initialisers is not yet complete where
// the enclosing class's optionals of it are declared, and clang refuses to construct them.
struct LimitingLoad {
  std::array<uint32_t, 2> thresholds{};
  std::array<float, 2> releases{};
  uint32_t mode = 0;
};

struct NoiseLoad {
  uint8_t type = 0;
  float level = 0.0F;
  bool on = false;
};

struct SectionsLoad {
  using Limiting = LimitingLoad;
  using Noise = NoiseLoad;
  // Attenuations, mutes and routing.
  std::array<uint32_t, 5> globals{};
  std::optional<std::array<uint32_t, 2>> delays;
  // The unit's filters and crossovers are replaced by these.
  std::vector<std::unique_ptr<TFilter>> filters;
  std::unique_ptr<TFilter> lowCrossover;
  std::unique_ptr<TFilter> highCrossover;
  std::optional<std::array<bool, 2>> polarity;
  std::optional<Limiting> limiting;
  std::optional<std::array<Noise, 2>> noise;
};

struct MemoryLoad {
  int memory = 0;
  std::string name;
  SectionsLoad sections;
};

// The current settings and the preset map, which a file of memories only leaves out: the unit then
// keeps the settings the last memory loaded left, and its own preset map.
struct CurrentLoad {
  SectionsLoad sections;
  std::array<int, kMemoryCount> presetMap{};
};

// Everything a file gives a unit of one model, read and checked whole.
struct SettingsLoad {
  std::optional<std::string> unitName;
  std::optional<std::string> interfaceName;
  std::vector<MemoryLoad> memories;
  std::optional<CurrentLoad> current;

  // The memories the file holds, as a mask (bit n-1 for memory n).
  uint32_t Memories() const;
  // The presets the file's map leaves empty: the unit takes no empty preset, so they keep the
  // unit's own entries.
  std::vector<int> EmptyPresets() const;
};

// What a load that kept the unit's own entry for `presets` tells the user; empty when none.
std::string KeptPresetsText(const std::vector<int>& presets);

// Reads the whole file for a unit of `unit`'s model without a word to the unit; sections the
// model lacks are not looked for. What the unit could not load as written is refused with
// familycommon::FileLineError naming its line: a file cut short; a section
// missing, twice, without its set's header (the preset map's is the current settings') or no
// model's file holds; a value too many, text a section does not hold, a value out of the range the
// unit takes or no number; a filter type no class has, a crossover on a model without them, or a
// filter beyond the unit's sections; a name the format cannot carry.
SettingsLoad ReadSettingsFile(const IQDevice8100& unit, SettingsTextFile& file);

// Loads a checked file: the memories chosen by `memories` that it holds, each stored in the unit,
// then its current settings and preset map when it has them. The unit is muted meanwhile. A bus
// failure throws TransferFailure (BulkTransfer.h) after the unit's current settings and names are
// put back and the mute lifted, as far as the unit answers within the wait for a silent unit.
void ApplySettingsLoad(IQDevice8100& unit, const SettingsLoad& load, uint32_t memories,
                       familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace8100
