// The newer family's settings file, loaded into a virtual unit the way the user loads one. The
// first byte picks the unit: its model and outputs, on a 2-input unit firmware from before the
// extra memories, and whether the user goes on at a warning; the rest is the file. Whatever
// loads must be what the file says, must save, and the saved file must load back as the same
// settings.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/SettingsFile.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/UnitGlobals.h"
#include "fuzz/InputFile.h"
#include "fuzz/SavedText.h"

using namespace namespaceOV;

namespace {

// The outputs of each configuration: the 2-input models, then the 4 x 8, 3 x 7 and 6 x 6 ones.
constexpr int kOutputs[] = {2, 4, 6, 8, 7, 6};
constexpr int kModelCount = static_cast<int>(std::size(kOutputs));
constexpr int kTwoInputModels = 3;
constexpr float kOlderTwoInputFirmware = 1.4f;

// The types give the units their family codes, which decide how much of a file they take.
std::unique_ptr<IQDeviceOrdavinex> NewUnit(uint8_t choice) {
  static IQ8126Type twoInput;
  static IQ8148Type fourInput;
  const int model = choice % kModelCount;
  const int outputs = kOutputs[model];
  if (model >= kTwoInputModels) {
    return std::make_unique<IQDevice8148>(&fourInput, nullptr, nullptr, outputs);
  }
  auto unit = std::make_unique<IQDevice8126>(&twoInput, nullptr, nullptr, outputs);
  if (choice / kModelCount % 2) unit->firmwareVersion = kOlderTwoInputFirmware;
  return unit;
}

// Memories a 2-input unit takes whatever firmware wrote the file; every other unit has fewer.
constexpr int kMemoriesAlwaysLoaded = 12;

// Memory `memory`'s dump as the file holds it, read without the loader's checks.
SettingsImage FileImage(SettingsTextFile& file, int memory, int length) {
  SettingsImage image(length);
  file.Rewind();
  if (!file.FindSection("Memory Dump " + std::to_string(memory))) std::abort();
  for (int b = 0; b < image.BlockCount(); ++b) {
    char line[64];
    file.ReadString(line);
    if (TextToInts(line, image.Block(b)) != kDumpBlockWords) std::abort();
  }
  return image;
}

// Every field of the unit's memory as the file's dump has it, and every filter of the file's
// records among the unit's, whatever record it took there.
void CheckLoadedAsWritten(IQDeviceOrdavinex& unit, SettingsTextFile& file) {
  const int length = ReadImageLength(unit);
  const ImageLayout layout(unit);
  const int memories = std::min(kMemoriesAlwaysLoaded, unit.GetMemoryCount());
  MemoryWalk walk(unit);
  for (int m = 0; m <= memories; ++m) {
    const SettingsImage written = FileImage(file, m, length);
    SettingsImage loaded(length);
    ReadMemoryImage(unit, m, loaded);
    ForEachImageField(unit, [&](int word, ImageField, const char*) {
      if (written.Words()[word] != loaded.Words()[word]) std::abort();
    });
    std::vector<std::span<const uint32_t>> unmatched;
    for (int r = 0; r < layout.filterRecords; ++r) {
      const auto record = loaded.Words().subspan(layout.FilterRecord(r), kFilterRecordWords);
      if ((record[0] & 0xFF00) != 0) unmatched.push_back(record);
    }
    for (int r = 0; r < layout.filterRecords; ++r) {
      const auto record = written.Words().subspan(layout.FilterRecord(r), kFilterRecordWords);
      if ((record[0] & 0xFF00) == 0) continue;
      const auto match = std::ranges::find_if(unmatched, [&](std::span<const uint32_t> held) {
        return SameFilterRecord(record, held);
      });
      if (match == unmatched.end()) std::abort();
      unmatched.erase(match);
    }
    if (!unmatched.empty()) std::abort();
  }
  // The names of the memories every file has.
  file.Rewind();
  if (!file.FindSection("Globals")) std::abort();
  const Globals globals = GlobalsOf(unit);
  for (int m = 0; m < memories; ++m) {
    char name[64];
    file.ReadString(name);
    if (globals.memoryNames.at(static_cast<std::size_t>(m)) != name) std::abort();
  }
}

// The unit saved over `path`; whatever loaded must save.
std::string Saved(IQDeviceOrdavinex& unit, const std::string& path) {
  const std::optional<std::string> text =
      SavedText(path, [&](SettingsTextFile& file) { WriteSettingsFile(unit, file, nullptr); });
  if (!text) std::abort();
  return *text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  if (size == 0) return 0;
  const std::unique_ptr<IQDeviceOrdavinex> unit = NewUnit(data[0]);
  const bool goOn = data[0] / (2 * kModelCount) % 2 == 0;
  const LoadConfirmation confirm = [goOn](const std::string&) { return goOn; };
  const std::string path = input.Write(data + 1, size - 1).string();
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kRead)) std::abort();
  try {
    if (ReadSettingsFile(*unit, file, confirm, nullptr) != LoadResult::kLoaded) return 0;
  } catch (const SettingsFileError&) {
    // The user is told which line is wrong; the unit is unchanged.
    return 0;
  }
  CheckLoadedAsWritten(*unit, file);
  // Saved over the input, which the load has read whole; the file must load into a new unit of
  // the model and save the same again.
  const std::string saved = Saved(*unit, path);
  const std::unique_ptr<IQDeviceOrdavinex> copy = NewUnit(data[0]);
  SettingsTextFile back;
  if (!back.Open(path, SettingsTextFile::kRead)) std::abort();
  if (ReadSettingsFile(*copy, back, confirm, nullptr) != LoadResult::kLoaded) std::abort();
  if (Saved(*copy, path) != saved) std::abort();
  return 0;
}
