#include "family8100/unit/SettingsFile8100.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>

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

// ---- the limits of the file's values. The reader refuses a value outside them, and the writer
// too: a unit can hold what the program never gives it, and every file the program writes must
// load again.

// Every value in a range the unit takes.
constexpr int kMaxByte = 255;
constexpr float kMaxRelease = 1.0F;
// Each routing byte, and each limiter mode byte, is a switch: off 0, on this.
constexpr uint8_t kRouteOn = 0x01;
constexpr uint8_t kLimiterSwitchOn = 0xFF;
// More records than the largest model has slots is no list of this format.
constexpr int kMaxFilterRecords = kFilterSlotsX;

template <typename Number>
struct Limit {
  const char* what;
  Number low;
  Number high;
};

constexpr Limit<int> kLeftAttenuation{"left attenuation", 0, kMaxByte};
constexpr Limit<int> kRightAttenuation{"right attenuation", 0, kMaxByte};
constexpr Limit<int> kDelay{"delay", 0, kMaxDelaySamples};
constexpr Limit<int> kFilterCount{"filter count", 0, kMaxFilterRecords};
constexpr Limit<float> kThreshold{"threshold", 0.0F, kMaxThreshold};
constexpr Limit<float> kRelease{"release", 0.0F, kMaxRelease};
// Pink is 0, any other value flat.
constexpr Limit<int> kNoiseType{"noise type", 0, kMaxByte};
constexpr Limit<float> kNoiseLevel{"noise level", kNoiseFloorDb, 0.0F};

// Four switches, a byte each.
struct Switches {
  const char* what;
  uint8_t on;
};

constexpr Switches kRouting{"routing", kRouteOn};
constexpr Switches kLimiterMode{"limiter mode", kLimiterSwitchOn};

std::string Shown(int value) { return std::to_string(value); }

std::string Shown(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

template <typename Number>
std::string OutOfRange(const std::string& what, Number value, std::type_identity_t<Number> low,
                       std::type_identity_t<Number> high) {
  return "The " + what + " " + Shown(value) + " is out of range (" + Shown(low) + " to " +
         Shown(high) + ").";
}

// Why `value` cannot stand in the file; empty when it can. A value that is no number is never in
// range.
template <typename Number>
std::string RangeFault(Number value, const Limit<Number>& limit) {
  return value >= limit.low && value <= limit.high
             ? std::string()
             : OutOfRange(limit.what, value, limit.low, limit.high);
}

std::string SwitchesFault(uint32_t value, const Switches& switches) {
  for (uint32_t rest = value; rest != 0; rest >>= 8) {
    const uint32_t byte = rest & 0xFFU;
    if (byte != 0 && byte != switches.on) {
      return "The " + std::string(switches.what) + " " + Shown(static_cast<int32_t>(value)) +
             " is no valid setting.";
    }
  }
  return {};
}

// Thresholds are written as reals but are whole numbers.
std::string ThresholdFault(float value) {
  if (std::string fault = RangeFault(value, kThreshold); !fault.empty()) return fault;
  return value == std::trunc(value)
             ? std::string()
             : "The threshold " + std::to_string(value) + " is no whole number.";
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
    // The record holds the level's whole decibels.
    const float level = std::trunc(shelf->level);
    if (!(level >= kMinShelfLevelDb && level <= kMaxLevelDb)) {
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

// Why a filter of `cost` sections cannot join a list whose filters before it take `used`.
std::string FitFault(int used, int cost) {
  if (used + cost <= kSectionBudget) return {};
  return "The filter does not fit: the filters before it take " + std::to_string(used) +
         " of the unit's " + std::to_string(kSectionBudget) + " DSP sections, and it needs " +
         std::to_string(cost) + ".";
}

// ---- writing

// Writes a set's sections, each value checked against its limit: a value that no file could
// carry ends the save with SettingsWriteError naming it and its section.
class CheckedWriter {
 public:
  explicit CheckedWriter(SettingsTextFile& file) : file_(file) {}

  void Section(const std::string& name) {
    section_ = name;
    file_.WriteSection(name);
  }
  void Flag(bool on) { file_.WriteInt(on ? 1 : 0); }
  void Int(int value, const Limit<int>& limit) {
    Check(RangeFault(value, limit));
    file_.WriteInt(value);
  }
  void Float(float value, const Limit<float>& limit) {
    Check(RangeFault(value, limit));
    file_.WriteFloat(value);
  }
  void Threshold(uint32_t value) {
    const auto real = static_cast<float>(value);
    Check(ThresholdFault(real));
    file_.WriteFloat(real);
  }
  void Switches(uint32_t value, const struct Switches& switches) {
    Check(SwitchesFault(value, switches));
    file_.WriteInt(static_cast<int>(value));
  }
  void Filter(const TFilter& filter) {
    Check(FilterFault(filter));
    filter.Save(file_);
    file_.WriteNewline();
  }
  void FilterList(const std::vector<std::unique_ptr<TFilter>>& filters) {
    Int(static_cast<int>(filters.size()), kFilterCount);
    file_.WriteNewline();
    int used = 0;
    for (const auto& filter : filters) {
      Check(FitFault(used, filter->SectionCost()));
      used += filter->SectionCost();
      Filter(*filter);
    }
  }

 private:
  void Check(const std::string& fault) const {
    if (fault.empty()) return;
    throw SettingsWriteError("The unit holds a value that a settings file cannot carry, in [" +
                             section_ + "]: " + fault);
  }

  SettingsTextFile& file_;
  std::string section_;
};

// The settings and filters now current, under the sections of `memory`.
void WriteSettingsSections(IQDevice8100& unit, SettingsTextFile& file, int memory) {
  CheckedWriter write(file);
  write.Section(Section("Globals", memory));
  write.Int(g8100LeftAttenuation.Read(unit), kLeftAttenuation);
  write.Int(g8100RightAttenuation.Read(unit), kRightAttenuation);
  write.Flag(g8100LeftMute.Read(unit));
  write.Flag(g8100RightMute.Read(unit));
  write.Switches(g8100Routing.Read(unit), kRouting);
  if (unit.HasDelay()) {
    write.Section(Section("Delay", memory));
    write.Int(static_cast<int>(g8100LeftDelay.Read(unit)), kDelay);
    write.Int(static_cast<int>(g8100RightDelay.Read(unit)), kDelay);
  }
  write.Section(Section("Filters", memory));
  write.FilterList(unit.Filters());
  if (unit.HasLimiter()) {
    if (const TFilter* low = unit.LowCrossover()) {
      write.Section(Section("Low Crossover", memory));
      write.Filter(*low);
    }
    if (const TFilter* high = unit.HighCrossover()) {
      write.Section(Section("High Crossover", memory));
      write.Filter(*high);
    }
    write.Section(Section("Polarity", memory));
    write.Flag(g8100LeftPolarity.Read(unit));
    write.Flag(g8100RightPolarity.Read(unit));
    write.Section(Section("Limiting", memory));
    write.Threshold(g8100LeftThreshold.Read(unit));
    write.Threshold(g8100RightThreshold.Read(unit));
    write.Float(g8100LeftRelease.Read(unit), kRelease);
    write.Float(g8100RightRelease.Read(unit), kRelease);
    write.Switches(g8100LimiterMode.Read(unit), kLimiterMode);
  }
  if (unit.HasNoise()) {
    write.Section(Section("Noise Sources", memory));
    write.Int(g8100LeftNoiseType.Read(unit), kNoiseType);
    write.Float(g8100LeftNoiseLevel.Read(unit), kNoiseLevel);
    write.Flag(g8100LeftNoiseOn.Read(unit));
    write.Int(g8100RightNoiseType.Read(unit), kNoiseType);
    write.Float(g8100RightNoiseLevel.Read(unit), kNoiseLevel);
    write.Flag(g8100RightNoiseOn.Read(unit));
  }
}

// ---- reading: the whole file is read and checked before the unit hears of it.

constexpr const char* kEndOfFile = "End of file";
// The longest value of [Device Type] taken; the program writes "Standard".
constexpr std::size_t kMarkChars = 255;
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
    // A file of memories only, or of none, leaves the current settings and the preset map as they
    // are.
    if (FindOnce(kCurrentSettings)) {
      load.current = Current();
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

  int Int(const Limit<int>& limit) { return read_.Int(limit.low, limit.high, limit.what); }
  float Float(const Limit<float>& limit) { return read_.Float(limit.low, limit.high, limit.what); }

  uint32_t Switches(const struct Switches& switches) {
    const std::size_t at = read_.Tell();
    const auto value = static_cast<uint32_t>(read_.Int());
    if (const std::string fault = SwitchesFault(value, switches); !fault.empty()) {
      read_.Refuse(at, fault);
    }
    return value;
  }

  uint32_t Threshold() {
    const std::size_t at = read_.Tell();
    const float value = read_.Float();
    if (const std::string fault = ThresholdFault(value); !fault.empty()) read_.Refuse(at, fault);
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
    const int count = Int(kFilterCount);
    int used = 0;
    for (int i = 0; i < count; ++i) {
      const std::size_t at = read_.Tell();
      std::unique_ptr<TFilter> filter = Filter();
      const int cost = filter->SectionCost();
      if (cost == 0) {
        TakeCrossover(load, std::move(filter), at);
        continue;
      }
      if (const std::string fault = FitFault(used, cost); !fault.empty()) read_.Refuse(at, fault);
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
      load.globals[0] = static_cast<uint32_t>(Int(kLeftAttenuation));
      load.globals[1] = static_cast<uint32_t>(Int(kRightAttenuation));
      load.globals[2] = static_cast<uint32_t>(read_.Flag("left mute"));
      load.globals[3] = static_cast<uint32_t>(read_.Flag("right mute"));
      load.globals[4] = Switches(kRouting);
    });
    if (unit_.HasDelay()) {
      read("Delay", FileHolds("Delay"), [&] {
        for (uint32_t& delay : load.delays.emplace()) {
          delay = static_cast<uint32_t>(Int(kDelay));
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
        for (float& release : limiting.releases) release = Float(kRelease);
        limiting.mode = Switches(kLimiterMode);
      });
    } else {
      for (const char* kind : {"Low Crossover", "High Crossover", "Polarity", "Limiting"}) {
        PassOver(memory, kind);
      }
    }
    if (unit_.HasNoise()) {
      read("Noise Sources", FileHolds("Noise Sources"), [&] {
        for (SectionsLoad::Noise& side : load.noise.emplace()) {
          side.type = static_cast<uint8_t>(Int(kNoiseType));
          side.level = Float(kNoiseLevel);
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
  familycommon::ProgressScope scope(progress, kLoadedSteps, "Setting device parameters...");
  if (load.unitName) g8100UnitName.Write(unit, *load.unitName);
  if (load.interfaceName && !unit.IsOnline()) unit.SetName(*load.interfaceName);
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
  const std::vector<int> empty = load.EmptyPresets();
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    if (std::ranges::count(empty, preset) != 0) continue;
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    unit.SetPresetMapEntry(load.current->presetMap[static_cast<std::size_t>(preset - 1)]);
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

std::vector<int> SettingsLoad::EmptyPresets() const {
  std::vector<int> presets;
  if (!current) return presets;
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    if (!IsMemoryNumber(current->presetMap[static_cast<std::size_t>(preset - 1)])) {
      presets.push_back(preset);
    }
  }
  return presets;
}

std::string KeptPresetsText(const std::vector<int>& presets) {
  if (presets.empty()) return {};
  const bool one = presets.size() == 1;
  return PresetsText(presets) + (one ? " is" : " are") +
         " empty in the file: the unit takes no empty preset, so " +
         (one ? "it kept its own memory." : "they kept their own memories.");
}

SettingsLoad ReadSettingsFile(const IQDevice8100& unit, SettingsTextFile& file) {
  return SettingsReader(unit, file).ReadAll();
}

void ApplySettingsLoad(IQDevice8100& unit, const SettingsLoad& load, uint32_t memories,
                       familycommon::ProgressReport* progress) {
  // Views read the filters once the load, or its recovery, has settled: the filters placed after
  // the old ones went would otherwise never reach them.
  const familycommon::FilterSetChange change(unit.filterSetNotice);
  familycommon::LeadingReadProgress shown(progress);
  TransferWithPutBack({&unit}, &shown, FilterLists::kRead, [&](BulkTransfer& transfer) {
    ApplyAll(unit, load, memories, &shown, transfer);
  });
}

}  // namespace namespace8100
