#include "family8100/unit/SettingsFile8100.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/ValueConversions8100.h"
#include "familycommon/CheckedFileReader.h"

namespace namespace8100 {

namespace {

constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr const char* kDeviceType = "Device Type";
constexpr const char* kDeviceTypeText = "Standard";
constexpr const char* kMemorySection = "Settings Memory";
constexpr const char* kCurrentSettings = "Current Settings";
constexpr const char* kPresetMap = "Preset map";
// What a name element of the unit takes before its terminator: the unit's name and its memories'.
constexpr std::size_t kNameChars = 14;
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
// The longest value of [Device Type] taken; the program writes "Standard".
constexpr std::size_t kMarkChars = 255;
// Every value in a range the unit takes; anything else is refused with its line.
constexpr int kMaxByte = 255;
constexpr float kMaxRelease = 1.0F;
// Each routing byte, and each limiter mode byte, is a switch: off 0, on this.
constexpr uint8_t kRouteOn = 0x01;
constexpr uint8_t kLimiterSwitchOn = 0xFF;
// More records than the largest model has slots is no list of this format.
constexpr int kMaxFilterRecords = kFilterSlotsX;
// The sections a set of settings, a memory's or the current one, may hold.
constexpr std::array<const char*, 8> kSetSections = {"Globals",       "Delay",          "Filters",
                                                     "Low Crossover", "High Crossover", "Polarity",
                                                     "Limiting",      "Noise Sources"};

bool FindFromStart(SettingsTextFile& file, const std::string& section) {
  file.Rewind();
  return file.FindSection(section);
}

// "memory 3", or the current settings (memory 0).
std::string SetName(int memory) {
  return memory == 0 ? "the current settings" : "memory " + std::to_string(memory);
}

// The header a set of settings starts with.
std::string SetHeader(int memory) {
  return memory == 0 ? kCurrentSettings : Section(kMemorySection, memory);
}

std::string OutOfRange(const std::string& what, int32_t value, int32_t low, int32_t high) {
  return "The " + what + " " + std::to_string(value) + " is out of range (" + std::to_string(low) +
         " to " + std::to_string(high) + ").";
}

// Why a filter, read whole, cannot be loaded as it stands; empty when it can.
std::string FilterFault(const TFilter& filter) {
  if (filter.bank < kRightInputBank || filter.bank > kLeftOutputBank) {
    return OutOfRange("filter bank", filter.bank, kRightInputBank, kLeftOutputBank);
  }
  if (filter.frequency < kMinFrequencyHz || filter.frequency > kMaxFrequencyHz) {
    return "The filter frequency " + std::to_string(filter.frequency) + " is out of range.";
  }
  const auto orderFault = [](const std::string& what, int32_t order) {
    return order < 1 || order > familycommon::kMaxFilterOrder
               ? OutOfRange(what, order, 1, familycommon::kMaxFilterOrder)
               : std::string();
  };
  if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter)) {
    if (!(peak->level >= kMinPeakLevelDb && peak->level <= kMaxLevelDb)) {
      return "The filter level is out of range.";
    }
    // A new filter's Q is 0 until it is set.
    if (!(peak->q >= 0.0F && peak->q <= kMaxQ)) return "The filter Q is out of range.";
  }
  if (const auto* pass = dynamic_cast<const TPassFilter*>(&filter)) {
    return orderFault("filter order", pass->order);
  }
  if (const auto* shelf = dynamic_cast<const TShelfFilter*>(&filter)) {
    if (shelf->level < kMinShelfLevelDb || shelf->level > kMaxLevelDb) {
      return "The filter level is out of range.";
    }
    return orderFault("shelf order", shelf->shelfOrder);
  }
  if (const auto* crossover = dynamic_cast<const TCrossoverFilter*>(&filter)) {
    if (AlignmentName(crossover->alignment).empty()) {
      return "The crossover alignment " + std::to_string(crossover->alignment) + " is unknown.";
    }
    return orderFault("filter order", crossover->order);
  }
  return {};
}

// Reads a file for one unit. Every section it reads stands once in the file and holds just its
// values; every set of settings holds the sections the file's other sets hold; no section of a
// set stands without the set's header; every header is read or, a section of another model the
// unit lacks, passed over. So a damaged header, a lost section or a value too many is refused
// rather than read past.
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
    // The mark of the format stands once; its one text is not examined, but what follows it
    // would be dropped: a name whose header was lost.
    if (FindOnce(kDeviceType)) {
      read_.Text(kMarkChars);
      EndOfSection(kDeviceType);
    }
    Read("Unit Name", [&] { load.unitName = read_.Name(kNameChars, true); });
    // The program's name for a virtual unit, not the unit's: as long as the user may type it.
    Read("Interface Name", [&] { load.interfaceName = read_.Name(IQDevice::kMaxNameChars, true); });
    for (int memory = 0; memory <= kMemoryCount; ++memory) {
      if (!FindFromStart(file_, SetHeader(memory))) RefuseSectionsWithout(memory);
    }
    for (int memory = 1; memory <= kMemoryCount; ++memory) {
      if (!FindOnce(SetHeader(memory))) continue;
      MemoryLoad& loaded = load.memories.emplace_back();
      loaded.memory = memory;
      const std::size_t header = HeaderEnd();
      loaded.name = read_.Name(kNameChars, true);
      EndOfSection(SetHeader(memory));
      loaded.sections = Sections(memory, header);
    }
    // A file of memories only leaves the current settings and the preset map as they are.
    if (FindOnce(kCurrentSettings)) {
      load.current = Current();
    } else if (load.memories.empty()) {
      read_.Refuse(std::string::npos, "The file holds no settings.");
    } else if (FindFromStart(file_, kPresetMap)) {
      read_.Refuse(HeaderEnd(), std::string("The section [") + kPresetMap +
                                    "] stands without its [" + kCurrentSettings + "] section.");
    }
    // A header read nowhere would be dropped with its values: a renumbered memory, a damaged
    // name, a section no model's file holds.
    read_.AllSectionsRead();
    return load;
  }

 private:
  // The current settings, found last, and the preset map that goes with them.
  CurrentLoad Current() {
    CurrentLoad current;
    const std::size_t header = HeaderEnd();
    EndOfSection(kCurrentSettings);
    current.sections = Sections(0, header);
    if (!Read(kPresetMap, [&] {
          for (int& memory : current.presetMap) {
            // 0: a preset that recalls no memory, as a unit may hold one and its file says.
            memory = read_.Int(0, kMemoryCount, "preset's memory");
          }
        })) {
      read_.Refuse(std::string::npos, "The section [Preset map] is missing.");
    }
    return current;
  }

  // Just past the "]" of the header found last: its line is the header's.
  std::size_t HeaderEnd() const { return file_.Tell() - 1; }

  // Whether the file has the section, read on from just after its header; a second one is
  // refused.
  bool FindOnce(const std::string& name) {
    if (!FindFromStart(file_, name)) return false;
    const std::size_t values = file_.Tell();
    if (file_.FindSection(name)) {
      read_.Refuse(HeaderEnd(), "The section [" + name + "] appears twice.");
    }
    file_.Seek(values);
    return true;
  }

  // Reads the section's values with `values` when the file has the section; false when not.
  template <typename Values>
  bool Read(const std::string& name, Values values) {
    if (!FindOnce(name)) return false;
    values();
    EndOfSection(name);
    return true;
  }

  // The same for a section of the set `memory` starting at `header`, which must hold it when
  // `needed`.
  template <typename Values>
  void ReadOfSet(int memory, std::size_t header, const char* kind, bool needed, Values values) {
    const std::string name = Section(kind, memory);
    if (!Read(name, values) && needed) {
      read_.Refuse(header, "The section [" + name + "] is missing from " + SetName(memory) + ".");
    }
  }

  // A value after the last one a section holds would be dropped: it is refused.
  void EndOfSection(const std::string& name) {
    const std::size_t at = file_.Tell();
    bool more = file_.AtString();
    if (!more) {
      try {
        file_.ReadFloat();
        more = true;
      } catch (const FileParserError&) {
        // No value: a header, a comment or the end of the file follows.
      }
    }
    if (more) read_.Refuse(at, "The section [" + name + "] holds more values than it takes.");
    file_.Seek(at);
    read_.EndOfSection(name);
  }

  // A section of another model's file: its values are not the unit's to take, but it stands once
  // and holds numbers only, so that nothing in it hides a header that follows.
  void PassOver(int memory, const char* kind) {
    if (!FindOnce(Section(kind, memory))) return;
    while (file_.UnreadTextAt()) read_.Float();
  }

  // The sections of a set whose header the file lacks would be dropped: they are refused.
  void RefuseSectionsWithout(int memory) {
    for (const char* kind : kSetSections) {
      if (FindFromStart(file_, Section(kind, memory))) {
        read_.Refuse(HeaderEnd(), "The section [" + Section(kind, memory) +
                                      "] stands without its [" + SetHeader(memory) + "] section.");
      }
    }
  }

  // Whether any set of the file holds a section of this kind: then every set must.
  bool FileHolds(const char* kind) {
    for (int memory = 0; memory <= kMemoryCount; ++memory) {
      if (FindFromStart(file_, Section(kind, memory))) return true;
    }
    return false;
  }

  // Four switches, a byte each.
  uint32_t Switches(const std::string& what, uint8_t on) {
    const std::size_t at = read_.Tell();
    const auto value = static_cast<uint32_t>(read_.Int());
    for (uint32_t rest = value; rest != 0; rest >>= 8) {
      const uint32_t byte = rest & 0xFFU;
      if (byte != 0 && byte != on) read_.Refuse(at, "The " + what + " is no valid setting.");
    }
    return value;
  }

  // Thresholds are written as reals but are whole numbers.
  uint32_t Threshold() {
    const std::size_t at = read_.Tell();
    const float value = read_.Float(0.0F, kMaxThreshold, "threshold");
    if (value != std::trunc(value)) {
      read_.Refuse(at, "The threshold " + std::to_string(value) + " is no whole number.");
    }
    return static_cast<uint32_t>(value);
  }

  std::unique_ptr<TFilter> Filter() {
    const std::size_t at = read_.Tell();
    const int type = read_.Int();
    std::unique_ptr<TFilter> filter = MakeFilter(type);
    if (!filter) read_.Refuse(at, "The filter type " + std::to_string(type) + " is unknown.");
    try {
      read_.Checked([&] { filter->Load(file_); });
    } catch (const FilterRecordError& error) {
      read_.Refuse(at, error.what());
    }
    if (const std::string fault = FilterFault(*filter); !fault.empty()) read_.Refuse(at, fault);
    return filter;
  }

  // A crossover takes its side's place in the set, which holds one at most.
  void TakeCrossover(SectionsLoad& load, std::unique_ptr<TFilter> crossover, std::size_t at) {
    if (!unit_.HasCrossovers()) read_.Refuse(at, "Only the Ordavinex X takes a crossover filter.");
    const bool low = crossover->type == kLowCrossoverFilter;
    std::unique_ptr<TFilter>& place = low ? load.lowCrossover : load.highCrossover;
    if (place) {
      read_.Refuse(
          at, std::string("The settings hold a second ") + (low ? "low" : "high") + " crossover.");
    }
    place = std::move(crossover);
  }

  // A list holds as many filters as the unit's sections take; a crossover among them takes its
  // side's place.
  void FilterList(SectionsLoad& load) {
    const int count = read_.Int(0, kMaxFilterRecords, "filter count");
    int used = 0;
    for (int i = 0; i < count; ++i) {
      const std::size_t at = read_.Tell();
      std::unique_ptr<TFilter> filter = Filter();
      const int cost = filter->SectionCost();
      if (cost == 0) {
        TakeCrossover(load, std::move(filter), at);
        continue;
      }
      if (used + cost > kSectionBudget) {
        read_.Refuse(at, "The filter does not fit: the filters before it take " +
                             std::to_string(used) + " of the unit's " +
                             std::to_string(kSectionBudget) + " DSP sections, and it needs " +
                             std::to_string(cost) + ".");
      }
      used += cost;
      load.filters.push_back(std::move(filter));
    }
  }

  // A crossover section holds the crossover of its side and nothing else.
  void Crossover(SectionsLoad& load, int32_t type) {
    const std::size_t at = read_.Tell();
    std::unique_ptr<TFilter> filter = Filter();
    if (filter->type != type) read_.Refuse(at, "The crossover section holds another filter.");
    TakeCrossover(load, std::move(filter), at);
  }

  SectionsLoad Sections(int memory, std::size_t header) {
    SectionsLoad load;
    const auto read = [&](const char* kind, bool needed, auto values) {
      ReadOfSet(memory, header, kind, needed, values);
    };
    read("Globals", true, [&] {
      load.globals[0] = static_cast<uint32_t>(read_.Int(0, kMaxByte, "left attenuation"));
      load.globals[1] = static_cast<uint32_t>(read_.Int(0, kMaxByte, "right attenuation"));
      load.globals[2] = static_cast<uint32_t>(read_.Flag("left mute"));
      load.globals[3] = static_cast<uint32_t>(read_.Flag("right mute"));
      load.globals[4] = Switches("routing", kRouteOn);
    });
    if (unit_.HasDelay()) {
      read("Delay", FileHolds("Delay"), [&] {
        for (uint32_t& delay : load.delays.emplace()) {
          delay = static_cast<uint32_t>(read_.Int(0, kMaxDelaySamples, "delay"));
        }
      });
    } else {
      PassOver(memory, "Delay");
    }
    read("Filters", true, [&] { FilterList(load); });
    if (unit_.HasLimiter()) {
      read("Low Crossover", false, [&] { Crossover(load, kLowCrossoverFilter); });
      read("High Crossover", false, [&] { Crossover(load, kHighCrossoverFilter); });
      read("Polarity", FileHolds("Polarity"), [&] {
        for (bool& inverted : load.polarity.emplace()) inverted = read_.Flag("polarity");
      });
      read("Limiting", FileHolds("Limiting"), [&] {
        auto& limiting = load.limiting.emplace();
        for (uint32_t& threshold : limiting.thresholds) threshold = Threshold();
        for (float& release : limiting.releases)
          release = read_.Float(0.0F, kMaxRelease, "release");
        limiting.mode = Switches("limiter mode", kLimiterSwitchOn);
      });
    } else {
      for (const char* kind : {"Low Crossover", "High Crossover", "Polarity", "Limiting"}) {
        PassOver(memory, kind);
      }
    }
    if (unit_.HasNoise()) {
      read("Noise Sources", FileHolds("Noise Sources"), [&] {
        for (SectionsLoad::Noise& side : load.noise.emplace()) {
          // Pink is 0, any other value flat.
          side.type = static_cast<uint8_t>(read_.Int(0, kMaxByte, "noise type"));
          side.level = read_.Float(kNoiseFloorDb, 0.0F, "noise level");
          side.on = read_.Flag("noise switch");
        }
      });
    } else {
      PassOver(memory, "Noise Sources");
    }
    return load;
  }

  const IQDevice8100& unit_;
  SettingsTextFile& file_;
  familycommon::CheckedFileReader read_;
};

// ---- applying a checked file

void PlaceFilter(IQDevice8100& unit, const TFilter& filter) {
  TFilter& placed = unit.PlaceFilter(filter.Clone());
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
}

// The load was read for the unit's model: it holds only sections the model has.
void ApplySections(IQDevice8100& unit, const SectionsLoad& load) {
  const auto& globals = load.globals;
  g8100LeftAttenuation.Write(unit, static_cast<uint8_t>(globals[0]));
  g8100RightAttenuation.Write(unit, static_cast<uint8_t>(globals[1]));
  g8100LeftMute.Write(unit, globals[2] != 0);
  g8100RightMute.Write(unit, globals[3] != 0);
  g8100Routing.Write(unit, globals[4]);
  if (load.delays) {
    g8100LeftDelay.Write(unit, (*load.delays)[0]);
    g8100RightDelay.Write(unit, (*load.delays)[1]);
  }
  // A unit that deletes slot by slot must know which slots hold filters.
  if (!unit.DeletesAllAtOnce()) unit.ReadAllParameters();
  unit.RemoveFilters();
  for (const auto& filter : load.filters) PlaceFilter(unit, *filter);
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
  if (load.noise) {
    for (int side = 0; side < 2; ++side) {
      const SectionsLoad::Noise& noise = (*load.noise)[static_cast<std::size_t>(side)];
      (side == 0 ? g8100LeftNoiseType : g8100RightNoiseType).Write(unit, noise.type);
      (side == 0 ? g8100LeftNoiseLevel : g8100RightNoiseLevel).Write(unit, noise.level);
      (side == 0 ? g8100LeftNoiseOn : g8100RightNoiseOn).Write(unit, noise.on);
    }
  }
}

void ApplyAll(IQDevice8100& unit, const SettingsLoad& load, uint32_t memories,
              familycommon::ProgressReport* progress, BulkTransfer& transfer) {
  transfer.KeepNames(unit, {.unitName = load.unitName.has_value(),
                            .memoryNames = memories & load.Memories(),
                            .presetMap = true});
  if (load.unitName) g8100UnitName.Write(unit, *load.unitName);
  if (load.interfaceName && !unit.IsOnline()) unit.SetName(*load.interfaceName);
  familycommon::ProgressScope scope(progress, kLoadedSteps, "Setting device parameters...");
  for (const MemoryLoad& memory : load.memories) {
    if (!Has(memories, memory.memory)) continue;
    scope.Step(memory.memory - 1);
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory.memory));
    unit.SetMemoryName(memory.name);
    transfer.WriteSettings(unit, "the file's settings for memory " + std::to_string(memory.memory),
                           [&] { ApplySections(unit, memory.sections); });
    transfer.Store(unit, memory.memory);
  }
  scope.Step(kLoadedSteps);
  if (!load.current) return;
  transfer.WriteSettings(unit, "the file's current settings",
                         [&] { ApplySections(unit, load.current->sections); });
  // The unit takes no empty preset: an empty one in the file leaves the unit's own, as a copy does.
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    const int memory = load.current->presetMap[static_cast<std::size_t>(preset - 1)];
    if (!IsMemoryNumber(memory)) continue;
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    unit.SetPresetMapEntry(memory);
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

  familycommon::ProgressScope scope(progress, kSavedSteps, "Reading device parameters...");
  TransferWithPutBack({&unit}, progress, FilterLists::kRead, [&](BulkTransfer& transfer) {
    for (int memory = 1; memory <= kMemoryCount; ++memory) {
      scope.Step(memory - 1);
      if (!Has(memories, memory)) continue;
      file.WriteNewline();
      file.WriteSection(Section(kMemorySection, memory));
      g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
      file.WriteString(unit.GetMemoryName());
      file.WriteNewline();
      transfer.Recall(unit, memory);
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
      // Whatever else a unit answers recalls no memory either: the file says empty, which it
      // reads.
      const int memory = unit.GetPresetMapEntry();
      file.WriteInt(IsMemoryNumber(memory) ? memory : 0);
    }
  });
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
  TransferWithPutBack({&unit}, progress, FilterLists::kRead, [&](BulkTransfer& transfer) {
    ApplyAll(unit, load, memories, progress, transfer);
  });
}

}  // namespace namespace8100
