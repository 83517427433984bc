#pragma once

#include <cstdint>

#include "familycommon/ProgressReport.h"

class SettingsTextFile;

namespace namespace8100 {

class IQDevice8100;

// The "*.ov0" settings file: the unit or interface name, the chosen memories with their names,
// settings and filters, the current settings and the preset map. Sections the unit's model lacks
// are neither written nor looked for.

// The whole file, memories chosen by `memories` (bit n-1 for memory n). The memories are recalled
// one by one while the unit is muted; its current settings are put back and the mute lifted
// afterwards, also when a bus failure ends the save.
void WriteSettingsFile(IQDevice8100& unit, SettingsTextFile& file, uint32_t memories,
                       familycommon::ProgressReport* progress = nullptr);

// Whether the file has the section that marks the format.
bool IsSettingsFile(SettingsTextFile& file);
// The memories the file holds, as a mask.
uint32_t MemoriesInFile(SettingsTextFile& file);

// Loads the memories chosen by `memories` that the file holds, storing each in the unit, then the
// current settings and the preset map when the file has them. Filters beyond the unit's section
// budget are dropped. Values are kept in the ranges the unit takes. FileParserError for a file
// that cannot be read as it stands; bus failures pass on; what was loaded before either stays,
// and the mute is lifted.
void ReadSettingsFile(IQDevice8100& unit, SettingsTextFile& file, uint32_t memories,
                      familycommon::ProgressReport* progress = nullptr);

}  // namespace namespace8100
