// The older family's settings file, loaded into a virtual unit the way the user loads one, every
// memory it holds. The first byte picks the model; the rest is the file. Loaded or refused, the
// unit ends unmuted; whatever loads must save, the saved file must say what the loaded file said
// (the unit took it as written), and it must load back into a new unit and save the same again.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
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

// Loads the file at `path` into `unit`; what the file said, or none when it is refused.
std::optional<SettingsLoad> Load(IQDevice8100& unit, const std::string& path) {
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kRead)) std::abort();
  if (!IsSettingsFile(file)) return std::nullopt;
  std::optional<SettingsLoad> loaded;
  try {
    loaded = ReadSettingsFile(unit, file);
    ApplySettingsLoad(unit, *loaded, loaded->Memories());
  } catch (const FileParserError&) {
    loaded.reset();
  } catch (const familycommon::FileLineError&) {
    loaded.reset();
  }
  // A refused file must not leave the audio off.
  if (!g8100BulkMute.Read(unit)) std::abort();
  return loaded;
}

// ---- what a file said against what the file saved after it says: the same values, reals as
// the format writes them.

bool Same(float a, float b) {
  char textA[64];
  char textB[64];
  std::snprintf(textA, sizeof textA, "%f", static_cast<double>(a));
  std::snprintf(textB, sizeof textB, "%f", static_cast<double>(b));
  return std::string(textA) == textB;
}

bool Same(const TFilter* a, const TFilter* b) {
  if (a == nullptr || b == nullptr) return a == b;
  const FilterShape x = a->Shape();
  const FilterShape y = b->Shape();
  return a->bank == b->bank && x.typeCode == y.typeCode && x.frequencyHz == y.frequencyHz &&
         Same(x.levelDb, y.levelDb) && Same(x.q, y.q) && x.order == y.order &&
         x.shelfOrder == y.shelfOrder && x.alignment == y.alignment;
}

// A section the file left out says nothing; the saved file has every section of the model.
template <typename Value, typename Equal>
bool SameWhereSaid(const std::optional<Value>& said, const std::optional<Value>& saved,
                   Equal equal) {
  return !said || (saved && equal(*said, *saved));
}

bool Same(const SectionsLoad& said, const SectionsLoad& saved) {
  if (said.globals != saved.globals || said.filters.size() != saved.filters.size()) return false;
  for (std::size_t i = 0; i < said.filters.size(); ++i) {
    if (!Same(said.filters[i].get(), saved.filters[i].get())) return false;
  }
  const auto equal = [](const auto& a, const auto& b) { return a == b; };
  const auto sameLimiting = [](const LimitingLoad& a, const LimitingLoad& b) {
    return a.thresholds == b.thresholds && Same(a.releases[0], b.releases[0]) &&
           Same(a.releases[1], b.releases[1]) && a.mode == b.mode;
  };
  const auto sameNoise = [](const std::array<NoiseLoad, 2>& a, const std::array<NoiseLoad, 2>& b) {
    for (std::size_t side = 0; side < a.size(); ++side) {
      if (a[side].type != b[side].type || !Same(a[side].level, b[side].level) ||
          a[side].on != b[side].on) {
        return false;
      }
    }
    return true;
  };
  return Same(said.lowCrossover.get(), saved.lowCrossover.get()) &&
         Same(said.highCrossover.get(), saved.highCrossover.get()) &&
         SameWhereSaid(said.delays, saved.delays, equal) &&
         SameWhereSaid(said.polarity, saved.polarity, equal) &&
         SameWhereSaid(said.limiting, saved.limiting, sameLimiting) &&
         SameWhereSaid(said.noise, saved.noise, sameNoise);
}

// Every memory, name and value the loaded file said, as the unit saved it again.
bool SavedAsSaid(const SettingsLoad& said, const SettingsLoad& saved, IQDevice8100& unit) {
  for (const MemoryLoad& memory : said.memories) {
    const auto found = std::find_if(saved.memories.begin(), saved.memories.end(),
                                    [&](const MemoryLoad& m) { return m.memory == memory.memory; });
    if (found == saved.memories.end() || found->name != memory.name ||
        !Same(memory.sections, found->sections)) {
      return false;
    }
  }
  if (said.unitName && g8100UnitName.Read(unit) != *said.unitName) return false;
  // A preset the file left empty keeps the unit's own entry.
  const auto samePresets = [](const CurrentLoad& a, const CurrentLoad& b) {
    for (std::size_t i = 0; i < a.presetMap.size(); ++i) {
      if (a.presetMap[i] != 0 && a.presetMap[i] != b.presetMap[i]) return false;
    }
    return true;
  };
  const auto sameCurrent = [&](const CurrentLoad& a, const CurrentLoad& b) {
    return Same(a.sections, b.sections) && samePresets(a, b);
  };
  return SameWhereSaid(said.interfaceName, saved.interfaceName,
                       [](const auto& a, const auto& b) { return a == b; }) &&
         SameWhereSaid(said.current, saved.current, sameCurrent);
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
  const std::optional<SettingsLoad> said = Load(*unit, path);
  if (!said) return 0;
  const std::optional<std::string> saved = Saved(*unit, path);
  if (!saved) return 0;
  const std::unique_ptr<IQDevice8100> copy = NewUnit(data[0]);
  const std::optional<SettingsLoad> savedSays = Load(*copy, path);
  if (!savedSays || !SavedAsSaid(*said, *savedSays, *unit)) std::abort();
  if (Saved(*copy, path) != saved) std::abort();
  return 0;
}
