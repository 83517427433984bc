#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "familycommon/ProgressReport.h"

// The settings file of a graphic-equaliser unit, "*.331" for a 3300XL and "*.332" for a 3300-2XL:
// the unit's name, a virtual unit's name in the program, the ten memories (name, corners, gain
// and bands of each channel) and the current settings.
namespace namespace3300 {

// "331" or "332", without the dot.
std::string SettingsFileExtension3300(Model3300 model);

// The whole file, read from the unit. What the reader would refuse, a name the format cannot
// carry or too long for its section or a value out of its parameter's range, is refused with
// SettingsWriteError before the file is saved. The memories are recalled in the unit to be read;
// its memory number and current settings are put back afterwards, also after a failure (a unit
// that fell silent once it answers again, the wait shown on `progress`). A bus failure throws
// familycommon::MemoryReadFailure, which says what the unit holds.
void WriteSettingsFile3300(IQDevice3300& device, SettingsTextFile& file,
                           familycommon::ProgressReport* progress = nullptr);

// One channel's values as a file gives them: high-pass, low-pass and gain (a memory) or those
// and mute and equaliser in (the current settings); then the 28 bands. Both are missing for a
// memory or current settings the file leaves out.
struct ChannelLoad {
  std::vector<uint8_t> line;
  std::optional<std::array<uint8_t, kBandCount>> bands;
};

// Memory k's name and channels; a memory the file leaves out still stores what the unit then
// holds.
struct MemoryLoad {
  std::optional<std::string> name;
  std::array<ChannelLoad, kChannelCount> channels;
};

// Everything a file gives, checked, in the order it goes to the unit.
struct SettingsLoad {
  std::optional<std::string> unitName;
  std::optional<std::string> programName;
  std::array<MemoryLoad, kMemoryCount> memories;
  std::array<ChannelLoad, kChannelCount> current;
};

enum class FileCheck { kLoadable, kUnrecognised, kWrongType };

// Reads a whole file for a unit of `model` without touching any unit: a file without a device
// type is kUnrecognised, one of the other model kWrongType. What the file holds is loaded as it is
// written or the file is refused: each memory and the current settings may be left out, but one
// that is there holds its channels' sections right after its own, each once, with exactly their
// values. Throws familycommon::FileLineError, naming the line, for text that is no settings file,
// a file cut short or without settings, a section that is unknown, missing, repeated or out of its
// place, a value out of range or a name too long for its unit or one the format cannot carry.
FileCheck ReadSettingsFile3300(SettingsTextFile& file, Model3300 model, SettingsLoad& load);

// Writes a checked file into the unit, memory by memory, then the current settings. A bus unit
// ignores the name in the program. A bus failure throws familycommon::LoadFailure after the
// unit's current settings, its name and the names of memories not yet stored are put back (a unit
// that fell silent once it answers again, the wait shown on `progress`); memories already stored
// keep the file's values.
void ApplySettingsLoad(IQDevice3300& device, const SettingsLoad& load,
                       familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace3300
