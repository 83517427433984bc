// The older family's settings file, loaded into a virtual unit the way the user loads one, every
// memory it holds. The first byte picks the model; the rest is the file. Loaded or refused, the
// unit ends unmuted; whatever loads must save, and the saved file must load back into a new unit
// and save the same again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "bus/SettingsTextFile.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "familycommon/CheckedFileReader.h"
#include "fuzz/InputFile.h"
#include "fuzz/SavedText.h"

using namespace namespace8100;

namespace {

constexpr uint32_t kEveryMemory = (1U << kMemoryCount) - 1;

std::unique_ptr<IQDevice8100> NewModel(uint8_t choice) {
  switch (choice % 4) {
    case 0:
      return std::make_unique<IQDevice8100>(nullptr, nullptr, nullptr);
    case 1:
      return std::make_unique<IQDevice8100Plus>(nullptr, nullptr, nullptr);
    case 2:
      return std::make_unique<IQDevice8100X>(nullptr, nullptr, nullptr);
    default:
      return std::make_unique<IQDevice8100RT>(nullptr, nullptr, nullptr);
  }
}

// A unit of the model with its audio on, as the user loads into one.
std::unique_ptr<IQDevice8100> NewUnit(uint8_t choice) {
  std::unique_ptr<IQDevice8100> unit = NewModel(choice);
  g8100BulkMute.Write(*unit, true);
  return unit;
}

// Loads the file at `path` into `unit`; false when the file is refused.
bool Load(IQDevice8100& unit, const std::string& path) {
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kRead)) std::abort();
  if (!IsSettingsFile(file)) return false;
  bool loaded = true;
  try {
    const SettingsLoad load = ReadSettingsFile(unit, file);
    ApplySettingsLoad(unit, load, load.Memories());
  } catch (const FileParserError&) {
    loaded = false;
  } catch (const familycommon::FileLineError&) {
    loaded = false;
  }
  // A refused file must not leave the audio off.
  if (!g8100BulkMute.Read(unit)) std::abort();
  return loaded;
}

// The unit saved over `path` with every memory.
std::optional<std::string> Saved(IQDevice8100& unit, const std::string& path) {
  return SavedText(path,
                   [&](SettingsTextFile& file) { WriteSettingsFile(unit, file, kEveryMemory); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  if (size == 0) return 0;
  const std::string path = input.Write(data + 1, size - 1).string();
  const std::unique_ptr<IQDevice8100> unit = NewUnit(data[0]);
  if (!Load(*unit, path)) return 0;
  const std::optional<std::string> saved = Saved(*unit, path);
  if (!saved) return 0;
  const std::unique_ptr<IQDevice8100> copy = NewUnit(data[0]);
  if (!Load(*copy, path)) std::abort();
  if (Saved(*copy, path) != saved) std::abort();
  return 0;
}
