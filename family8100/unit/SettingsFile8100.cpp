#include "family8100/unit/SettingsFile8100.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "familycommon/CheckedFileReader.h"
#include "familycommon/LoadFailure.h"

namespace namespace8100 {

namespace {

constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr const char* kDeviceType = "Device Type";
constexpr const char* kDeviceTypeText = "Standard";
constexpr const char* kMemorySection = "Settings Memory";
constexpr const char* kCurrentSettings = "Current Settings";
constexpr const char* kPresetMap = "Preset map";
// What a name element of the unit takes before its terminator.
constexpr std::size_t kNameChars = 14;
constexpr int32_t kMaxDelaySamples = 16383;
constexpr float kMaxThreshold = 524287.0F;
constexpr float kNoiseFloorDb = -80.0F;
constexpr int kSavedSteps = 13;
constexpr int kLoadedSteps = 12;

bool Has(uint32_t memories, int memory) { return (memories >> (memory - 1) & 1U) != 0; }

// "Globals 3" for memory 3; "Globals" for the current settings (memory 0).
std::string Section(const std::string& name, int memory) {
  return memory == 0 ? name : name + " " + std::to_string(memory);
}

void WriteFilterRecord(SettingsTextFile& file, const TFilter& filter) {
  filter.Save(file);
  file.WriteNewline();
}

// The settings and filters now current, under the sections of `memory`.
void WriteSettingsSections(IQDevice8100& unit, SettingsTextFile& file, int memory) {
  file.WriteSection(Section("Globals", memory));
  file.WriteInt(g8100LeftAttenuation.Read(unit));
  file.WriteInt(g8100RightAttenuation.Read(unit));
  file.WriteInt(g8100LeftMute.Read(unit));
  file.WriteInt(g8100RightMute.Read(unit));
  file.WriteInt(static_cast<int>(g8100Routing.Read(unit)));
  if (unit.HasDelay()) {
    file.WriteSection(Section("Delay", memory));
    file.WriteInt(static_cast<int>(g8100LeftDelay.Read(unit)));
    file.WriteInt(static_cast<int>(g8100RightDelay.Read(unit)));
  }
  file.WriteSection(Section("Filters", memory));
  file.WriteInt(static_cast<int>(unit.Filters().size()));
  file.WriteNewline();
  for (const auto& filter : unit.Filters()) WriteFilterRecord(file, *filter);
  if (unit.HasLimiter()) {
    if (const TFilter* low = unit.LowCrossover()) {
      file.WriteSection(Section("Low Crossover", memory));
      WriteFilterRecord(file, *low);
    }
    if (const TFilter* high = unit.HighCrossover()) {
      file.WriteSection(Section("High Crossover", memory));
      WriteFilterRecord(file, *high);
    }
    file.WriteSection(Section("Polarity", memory));
    file.WriteInt(g8100LeftPolarity.Read(unit));
    file.WriteInt(g8100RightPolarity.Read(unit));
    file.WriteSection(Section("Limiting", memory));
    file.WriteFloat(static_cast<float>(g8100LeftThreshold.Read(unit)));
    file.WriteFloat(static_cast<float>(g8100RightThreshold.Read(unit)));
    file.WriteFloat(g8100LeftRelease.Read(unit));
    file.WriteFloat(g8100RightRelease.Read(unit));
    file.WriteInt(static_cast<int>(g8100LimiterMode.Read(unit)));
  }
  if (unit.HasNoise()) {
    file.WriteSection(Section("Noise Sources", memory));
    file.WriteInt(g8100LeftNoiseType.Read(unit));
    file.WriteFloat(g8100LeftNoiseLevel.Read(unit));
    file.WriteInt(g8100LeftNoiseOn.Read(unit));
    file.WriteInt(g8100RightNoiseType.Read(unit));
    file.WriteFloat(g8100RightNoiseLevel.Read(unit));
    file.WriteInt(g8100RightNoiseOn.Read(unit));
  }
}

// ---- reading: the whole file is read and checked before the unit hears of it.

constexpr const char* kEndOfFile = "End of file";
// Every value in a range the unit takes; anything else is refused with its line.
constexpr int kMaxByte = 255;
constexpr float kMaxRelease = 1.0F;
constexpr int kLastNoiseType = 1;
// Each routing byte, and each limiter mode byte, is a switch.
constexpr uint32_t kSwitchBytes = 0x01010101;
// More records than the largest model has slots is no list of this format.
constexpr int kMaxFilterRecords = kFilterSlotsX;

bool FindFromStart(SettingsTextFile& file, const std::string& section) {
  file.Rewind();
  return file.FindSection(section);
}

class SettingsReader {
 public:
  SettingsReader(const IQDevice8100& unit, SettingsTextFile& file)
      : unit_(unit), file_(file), read_(file) {}

  SettingsLoad ReadAll() {
    if (!file_.EndsWithComment(kEndOfFile)) {
      read_.Refuse(std::string::npos,
                   "The file ends early: its closing \"End of file\" is missing.");
    }
    SettingsLoad load;
    if (FindFromStart(file_, "Unit Name")) load.unitName = read_.Name(kNameChars, true);
    if (FindFromStart(file_, "Interface Name")) load.interfaceName = read_.Name(kNameChars, true);
    for (int memory = 1; memory <= kMemoryCount; ++memory) {
      if (!FindFromStart(file_, Section(kMemorySection, memory))) continue;
      MemoryLoad& loaded = load.memories.emplace_back();
      loaded.memory = memory;
      loaded.name = read_.Name(kNameChars, true);
      loaded.sections = Sections(memory);
    }
    if (FindFromStart(file_, kCurrentSettings)) {
      load.current = Sections(0);
      if (FindFromStart(file_, kPresetMap)) {
        auto& presets = load.presetMap.emplace();
        for (int& memory : presets) memory = read_.Int(1, kMemoryCount, "preset's memory");
      }
    }
    if (load.memories.empty() && !load.current) {
      read_.Refuse(std::string::npos, "The file holds no settings.");
    }
    return load;
  }

 private:
  uint32_t Switches(const std::string& what) {
    const std::size_t at = read_.Tell();
    const auto value = static_cast<uint32_t>(read_.Int());
    if ((value & ~kSwitchBytes) != 0) read_.Refuse(at, "The " + what + " is no valid setting.");
    return value;
  }

  std::unique_ptr<TFilter> Filter() {
    const std::size_t at = read_.Tell();
    const int type = read_.Int();
    std::unique_ptr<TFilter> filter = MakeFilter(type);
    if (!filter) read_.Refuse(at, "The filter type " + std::to_string(type) + " is unknown.");
    read_.Checked([&] { filter->Load(file_); });
    if (const std::string fault = FilterFault(*filter); !fault.empty()) read_.Refuse(at, fault);
    return filter;
  }

  static std::string FilterFault(const TFilter& filter) {
    if (filter.frequency < kMinFrequencyHz || filter.frequency > kMaxFrequencyHz) {
      return "The filter frequency " + std::to_string(filter.frequency) + " is out of range.";
    }
    if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter)) {
      if (!(peak->level >= kMinPeakLevelDb && peak->level <= kMaxLevelDb)) {
        return "The filter level is out of range.";
      }
      // A new filter's Q is 0 until it is set.
      if (!(peak->q >= 0.0F && peak->q <= kMaxQ)) return "The filter Q is out of range.";
    }
    if (const auto* shelf = dynamic_cast<const TShelfFilter*>(&filter)) {
      if (shelf->level < kMinShelfLevelDb || shelf->level > kMaxLevelDb) {
        return "The filter level is out of range.";
      }
    }
    if (const auto* crossover = dynamic_cast<const TCrossoverFilter*>(&filter)) {
      if (AlignmentName(crossover->alignment).empty()) {
        return "The crossover alignment " + std::to_string(crossover->alignment) + " is unknown.";
      }
    }
    return {};
  }

  // A crossover section holds the crossover of its side and nothing else.
  std::unique_ptr<TFilter> Crossover(int32_t type) {
    const std::size_t at = read_.Tell();
    std::unique_ptr<TFilter> filter = Filter();
    if (filter->type != type) read_.Refuse(at, "The crossover section holds another filter.");
    return filter;
  }

  SectionsLoad Sections(int memory) {
    SectionsLoad load;
    if (FindFromStart(file_, Section("Globals", memory))) {
      auto& globals = load.globals.emplace();
      globals[0] = static_cast<uint32_t>(read_.Int(0, kMaxByte, "left attenuation"));
      globals[1] = static_cast<uint32_t>(read_.Int(0, kMaxByte, "right attenuation"));
      globals[2] = read_.Flag();
      globals[3] = read_.Flag();
      globals[4] = Switches("routing");
    }
    if (unit_.HasDelay() && FindFromStart(file_, Section("Delay", memory))) {
      auto& delays = load.delays.emplace();
      for (uint32_t& delay : delays) {
        delay = static_cast<uint32_t>(read_.Int(0, kMaxDelaySamples, "delay"));
      }
    }
    if (FindFromStart(file_, Section("Filters", memory))) {
      auto& filters = load.filters.emplace();
      const int count = read_.Int(0, kMaxFilterRecords, "filter count");
      for (int i = 0; i < count; ++i) filters.push_back(Filter());
    }
    if (unit_.HasLimiter()) {
      if (FindFromStart(file_, Section("Low Crossover", memory))) {
        load.lowCrossover = Crossover(kLowCrossoverFilter);
      }
      if (FindFromStart(file_, Section("High Crossover", memory))) {
        load.highCrossover = Crossover(kHighCrossoverFilter);
      }
      if (FindFromStart(file_, Section("Polarity", memory))) {
        load.polarity = {read_.Flag(), read_.Flag()};
      }
      if (FindFromStart(file_, Section("Limiting", memory))) {
        auto& limiting = load.limiting.emplace();
        // Thresholds are written as reals and taken truncated.
        for (uint32_t& threshold : limiting.thresholds) {
          threshold = static_cast<uint32_t>(read_.Float(0.0F, kMaxThreshold, "threshold"));
        }
        for (float& release : limiting.releases)
          release = read_.Float(0.0F, kMaxRelease, "release");
        limiting.mode = Switches("limiter mode");
      }
    }
    if (unit_.HasNoise() && FindFromStart(file_, Section("Noise Sources", memory))) {
      auto& noise = load.noise.emplace();
      for (SectionsLoad::Noise& side : noise) {
        side.type = static_cast<uint8_t>(read_.Int(0, kLastNoiseType, "noise type"));
        side.level = read_.Float(kNoiseFloorDb, 0.0F, "noise level");
        side.on = read_.Flag();
      }
    }
    return load;
  }

  const IQDevice8100& unit_;
  SettingsTextFile& file_;
  familycommon::CheckedFileReader read_;
};

// ---- applying a checked file

void PlaceFilter(IQDevice8100& unit, const TFilter& filter) {
  const bool crossover = filter.SectionCost() == 0;
  if (crossover ? !unit.HasLimiter() : !unit.CanAddFilter(filter)) return;
  TFilter& placed = unit.PlaceFilter(filter.Clone());
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
}

void ApplySections(IQDevice8100& unit, const SectionsLoad& load) {
  if (load.globals) {
    const auto& globals = *load.globals;
    g8100LeftAttenuation.Write(unit, static_cast<uint8_t>(globals[0]));
    g8100RightAttenuation.Write(unit, static_cast<uint8_t>(globals[1]));
    g8100LeftMute.Write(unit, globals[2] != 0);
    g8100RightMute.Write(unit, globals[3] != 0);
    g8100Routing.Write(unit, globals[4]);
  }
  if (load.delays && unit.HasDelay()) {
    g8100LeftDelay.Write(unit, (*load.delays)[0]);
    g8100RightDelay.Write(unit, (*load.delays)[1]);
  }
  if (load.filters) {
    // A unit that deletes slot by slot must know which slots hold filters.
    if (!unit.DeletesAllAtOnce()) unit.ReadAllParameters();
    unit.RemoveFilters();
    for (const auto& filter : *load.filters) PlaceFilter(unit, *filter);
  }
  if (!unit.HasLimiter()) return;
  for (const auto& crossover : {&load.lowCrossover, &load.highCrossover}) {
    if (*crossover) PlaceFilter(unit, **crossover);
  }
  if (load.polarity) {
    g8100LeftPolarity.Write(unit, (*load.polarity)[0]);
    g8100RightPolarity.Write(unit, (*load.polarity)[1]);
  }
  if (load.limiting) {
    g8100LeftThreshold.Write(unit, load.limiting->thresholds[0]);
    g8100RightThreshold.Write(unit, load.limiting->thresholds[1]);
    g8100LeftRelease.Write(unit, load.limiting->releases[0]);
    g8100RightRelease.Write(unit, load.limiting->releases[1]);
    g8100LimiterMode.Write(unit, load.limiting->mode);
  }
  if (load.noise && unit.HasNoise()) {
    for (int side = 0; side < 2; ++side) {
      const SectionsLoad::Noise& noise = (*load.noise)[static_cast<std::size_t>(side)];
      (side == 0 ? g8100LeftNoiseType : g8100RightNoiseType).Write(unit, noise.type);
      (side == 0 ? g8100LeftNoiseLevel : g8100RightNoiseLevel).Write(unit, noise.level);
      (side == 0 ? g8100LeftNoiseOn : g8100RightNoiseOn).Write(unit, noise.on);
    }
  }
}

void ApplyAll(IQDevice8100& unit, const SettingsLoad& load, uint32_t memories,
              familycommon::ProgressReport* progress) {
  if (load.unitName) g8100UnitName.Write(unit, *load.unitName);
  if (load.interfaceName && !unit.IsOnline()) unit.SetName(*load.interfaceName);
  familycommon::ProgressScope scope(progress, kLoadedSteps, "Setting device parameters...");
  for (const MemoryLoad& memory : load.memories) {
    if (!Has(memories, memory.memory)) continue;
    scope.Step(memory.memory - 1);
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory.memory));
    unit.SetMemoryName(memory.name);
    ApplySections(unit, memory.sections);
    unit.SaveMemory(memory.memory);
  }
  scope.Step(kLoadedSteps);
  if (!load.current) return;
  ApplySections(unit, *load.current);
  if (!load.presetMap) return;
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    unit.SetPresetMapEntry((*load.presetMap)[static_cast<std::size_t>(preset - 1)]);
  }
}

}  // namespace

void WriteSettingsFile(IQDevice8100& unit, SettingsTextFile& file, uint32_t memories,
                       familycommon::ProgressReport* progress) {
  file.WriteComment("Ordavinex setting file");
  file.WriteComment("Do not alter manually.");
  file.WriteNewline();
  file.WriteComment("Created by TelvoWindows");
  file.WriteComment(kNotice);
  file.WriteNewline();
  file.WriteSection(kDeviceType);
  file.WriteString(kDeviceTypeText);
  if (unit.IsOnline()) {
    file.WriteSection("Unit Name");
    file.WriteString(g8100UnitName.Read(unit));
  } else {
    file.WriteSection("Interface Name");
    file.WriteString(unit.GetName());
  }

  unit.ReadAllParameters();
  familycommon::ProgressScope scope(progress, kSavedSteps, "Reading device parameters...");
  BulkTransfer transfer({&unit});
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    scope.Step(memory - 1);
    if (!Has(memories, memory)) continue;
    file.WriteNewline();
    file.WriteSection(Section(kMemorySection, memory));
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
    file.WriteString(unit.GetMemoryName());
    file.WriteNewline();
    unit.RestoreMemory(memory);
    unit.ResetValueStore();
    unit.ReadAllParameters();
    WriteSettingsSections(unit, file, memory);
  }
  transfer.PutBack();
  scope.Step(kMemoryCount);

  file.WriteNewline();
  file.WriteSection(kCurrentSettings);
  WriteSettingsSections(unit, file, 0);
  file.WriteSection(kPresetMap);
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    file.WriteInt(unit.GetPresetMapEntry());
  }
  transfer.Unmute();
  file.WriteNewline();
  file.WriteNewline();
  file.WriteComment("End of file");
}

bool IsSettingsFile(SettingsTextFile& file) { return FindFromStart(file, kDeviceType); }

uint32_t SettingsLoad::Memories() const {
  uint32_t mask = 0;
  for (const MemoryLoad& memory : memories) mask |= 1U << (memory.memory - 1);
  return mask;
}

SettingsLoad ReadSettingsFile(const IQDevice8100& unit, SettingsTextFile& file) {
  return SettingsReader(unit, file).ReadAll();
}

void ApplySettingsLoad(IQDevice8100& unit, const SettingsLoad& load, uint32_t memories,
                       familycommon::ProgressReport* progress) {
  // Views read the filters once the load, or its recovery, has settled: the filters placed after
  // the old ones went would otherwise never reach them.
  const familycommon::FilterSetChange change(unit.filterSetNotice);
  try {
    TransferWithPutBack({&unit}, [&](BulkTransfer&) { ApplyAll(unit, load, memories, progress); });
  } catch (const TransferFailure& failure) {
    throw familycommon::LoadFailure{failure.error, failure.Restored(unit)};
  }
}

}  // namespace namespace8100
