#include "family8100/unit/SettingsFile8100.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "bus/SettingsTextFile.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

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
// Room for a name read from a file; a longer one is no name of this format.
constexpr std::size_t kNameBuffer = 256;
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

// ---- reading: every value is kept in the range the unit takes.

bool FindFromStart(SettingsTextFile& file, const std::string& section) {
  file.Rewind();
  return file.FindSection(section);
}

std::string ReadName(SettingsTextFile& file) {
  char text[kNameBuffer];
  file.ReadString(text);
  return std::string(text).substr(0, kNameChars);
}

uint8_t ReadByte(SettingsTextFile& file) {
  return static_cast<uint8_t>(std::clamp(file.ReadInt(), 0, 255));
}

bool ReadFlag(SettingsTextFile& file) { return file.ReadInt() != 0; }

// A real written for an integer parameter, truncated into its range.
uint32_t ReadTruncated(SettingsTextFile& file, float maximum) {
  return static_cast<uint32_t>(std::clamp(file.ReadFloat(), 0.0F, maximum));
}

void ReadFilterRecord(IQDevice8100& unit, SettingsTextFile& file) {
  std::unique_ptr<TFilter> filter = MakeFilter(file.ReadInt());
  if (!filter) return;
  filter->Load(file);
  const bool crossover = filter->SectionCost() == 0;
  if (crossover ? !unit.HasLimiter() : !unit.CanAddFilter(*filter)) return;
  TFilter& placed = unit.PlaceFilter(std::move(filter));
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
}

void ReadSettingsSections(IQDevice8100& unit, SettingsTextFile& file, int memory) {
  if (FindFromStart(file, Section("Globals", memory))) {
    g8100LeftAttenuation.Write(unit, ReadByte(file));
    g8100RightAttenuation.Write(unit, ReadByte(file));
    g8100LeftMute.Write(unit, ReadFlag(file));
    g8100RightMute.Write(unit, ReadFlag(file));
    g8100Routing.Write(unit, static_cast<uint32_t>(file.ReadInt()));
  }
  if (unit.HasDelay() && FindFromStart(file, Section("Delay", memory))) {
    g8100LeftDelay.Write(unit,
                         static_cast<uint32_t>(std::clamp(file.ReadInt(), 0, kMaxDelaySamples)));
    g8100RightDelay.Write(unit,
                          static_cast<uint32_t>(std::clamp(file.ReadInt(), 0, kMaxDelaySamples)));
  }
  if (FindFromStart(file, Section("Filters", memory))) {
    // A unit that deletes slot by slot must know which slots hold filters.
    if (!unit.DeletesAllAtOnce()) unit.ReadAllParameters();
    unit.RemoveFilters();
    const int count = file.ReadInt();
    for (int i = 0; i < count; ++i) ReadFilterRecord(unit, file);
  }
  if (unit.HasLimiter()) {
    for (const char* crossover : {"Low Crossover", "High Crossover"}) {
      if (FindFromStart(file, Section(crossover, memory))) ReadFilterRecord(unit, file);
    }
    if (FindFromStart(file, Section("Polarity", memory))) {
      g8100LeftPolarity.Write(unit, ReadFlag(file));
      g8100RightPolarity.Write(unit, ReadFlag(file));
    }
    if (FindFromStart(file, Section("Limiting", memory))) {
      g8100LeftThreshold.Write(unit, ReadTruncated(file, kMaxThreshold));
      g8100RightThreshold.Write(unit, ReadTruncated(file, kMaxThreshold));
      g8100LeftRelease.Write(unit, file.ReadFloat());
      g8100RightRelease.Write(unit, file.ReadFloat());
      g8100LimiterMode.Write(unit, static_cast<uint32_t>(file.ReadInt()));
    }
  }
  if (unit.HasNoise() && FindFromStart(file, Section("Noise Sources", memory))) {
    for (int side = 0; side < 2; ++side) {
      const uint8_t type = ReadByte(file);
      const float level = std::clamp(file.ReadFloat(), kNoiseFloorDb, 0.0F);
      const bool on = ReadFlag(file);
      (side == 0 ? g8100LeftNoiseType : g8100RightNoiseType).Write(unit, type);
      (side == 0 ? g8100LeftNoiseLevel : g8100RightNoiseLevel).Write(unit, level);
      (side == 0 ? g8100LeftNoiseOn : g8100RightNoiseOn).Write(unit, on);
    }
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

uint32_t MemoriesInFile(SettingsTextFile& file) {
  uint32_t memories = 0;
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    if (FindFromStart(file, Section(kMemorySection, memory))) memories |= 1U << (memory - 1);
  }
  return memories;
}

void ReadSettingsFile(IQDevice8100& unit, SettingsTextFile& file, uint32_t memories,
                      familycommon::ProgressReport* progress) {
  if (FindFromStart(file, "Unit Name")) g8100UnitName.Write(unit, ReadName(file));
  if (FindFromStart(file, "Interface Name") && !unit.IsOnline()) unit.SetName(ReadName(file));

  BulkMute mute({&unit});
  familycommon::ProgressScope scope(progress, kLoadedSteps, "Setting device parameters...");
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    if (!Has(memories, memory)) continue;
    scope.Step(memory - 1);
    if (!FindFromStart(file, Section(kMemorySection, memory))) continue;
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
    unit.SetMemoryName(ReadName(file));
    ReadSettingsSections(unit, file, memory);
    unit.SaveMemory(memory);
  }
  scope.Step(kLoadedSteps);
  if (FindFromStart(file, kCurrentSettings)) {
    ReadSettingsSections(unit, file, 0);
    if (FindFromStart(file, kPresetMap)) {
      for (int preset = 1; preset <= kMemoryCount; ++preset) {
        const int memory = file.ReadInt();
        // A preset names a memory; anything else would point the unit past its table.
        if (!IsMemoryNumber(memory)) continue;
        g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
        unit.SetPresetMapEntry(memory);
      }
    }
  }
  mute.Lift();
}

}  // namespace namespace8100
