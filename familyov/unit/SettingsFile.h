#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "familycommon/ProgressReport.h"
#include "familyov/unit/OrdavinexErrors.h"

class SettingsTextFile;

namespace namespaceOV {

class IQDeviceOrdavinex;
using familycommon::ProgressReport;

// A settings file that cannot be loaded as it stands; the text names the line.
class SettingsFileError : public OrdavinexError {
 public:
  SettingsFileError(int line, const std::string& what)
      : OrdavinexError("Line " + std::to_string(line) + ": " + what) {}
};

// A dump line: the words as signed decimal ints, one blank between.
std::string IntsToText(std::span<const uint32_t> words);
// The blank-separated ints of a dump line into `words`, at most words.size() of them; the count
// read. It stops at the first field that is no int.
int TextToInts(std::string_view text, std::span<uint32_t> words);

// Asks the user whether to go on despite a warning; false stops the load.
using LoadConfirmation = std::function<bool(const std::string& warning)>;

enum class LoadResult { kLoaded, kCancelled, kNotSettingsFile, kOtherOutputCount };

// The whole file: the heading, the output count, the body and the closing comment.
void WriteSettingsFile(IQDeviceOrdavinex& device, SettingsTextFile& file, ProgressReport* progress);
// Firmware version, globals, clock events and every memory.
void WriteSettingsBody(IQDeviceOrdavinex& device, SettingsTextFile& file, ProgressReport* progress);

// Checks the output count and that the file was not cut short, then reads the body. The whole
// file is read and checked before the user is asked about the firmware that wrote it and before
// anything is written to the unit: SettingsFileError, naming the line, for a file that cannot be
// loaded exactly as written (a section the unit takes missing or there twice, a section no file
// for the unit holds, text after a section's values, a dump line that is not four numbers, a dump
// longer than the unit's memory, a word its field cannot hold). A
// bus failure part way through the writes throws familycommon::LoadFailure once the unit's names,
// logic map, delay unit, clock events and current settings are put back as far as it answers;
// memories stored before the failure keep the file's settings. A file of newer firmware than a
// 2-input unit's may have its logic inputs recall memories the unit lacks: once the user goes on
// at the memories warning, those inputs recall none, and a load that wrote everything lists them
// in `logicInputsCleared`.
LoadResult ReadSettingsFile(IQDeviceOrdavinex& device, SettingsTextFile& file,
                            const LoadConfirmation& confirm, ProgressReport* progress,
                            std::vector<int>* logicInputsCleared = nullptr);
// False when the user stopped at a warning; nothing was written then.
bool ReadSettingsBody(IQDeviceOrdavinex& device, SettingsTextFile& file,
                      const LoadConfirmation& confirm, ProgressReport* progress,
                      std::vector<int>* logicInputsCleared = nullptr);

inline constexpr const char* kAllpassWarning =
    "WARNING: This file was created with more recent firmware than that currently installed on "
    "the destination unit.  The unit to which this file is about to be copied cannot implement "
    "allpass filters.  If such filters are contained in this file, the unit may malfunction.  To "
    "avoid such risks, either reflash the unit with the latest firmware or use a virtual device "
    "to check for and remove any allpass filters.";
inline constexpr const char* kMemoriesWarning =
    "WARNING: This file has more memories than the unit.  Make sure that settings in the logic or "
    "real-time-clock functions in the file do not cause the recall of memories that do not exist "
    "on the unit.  The unit may be reflashed with current firmware to attain the extra memories.";

}  // namespace namespaceOV
