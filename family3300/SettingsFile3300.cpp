#include "family3300/SettingsFile3300.h"

#include <cstdio>

#include "bus/IQException.h"
#include "family3300/SettingsPutBack3300.h"
#include "familycommon/CheckedFileReader.h"

namespace namespace3300 {

namespace {

constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr std::size_t kMemoryLineValues = 3;
constexpr std::size_t kCurrentLineValues = 5;
// A virtual unit's name in the program has no unit element to fit; this only bounds a file's.
constexpr std::size_t kProgramNameChars = 255;
constexpr const char* kEndOfFile = "End of file";
const char* const kChannelSections[kChannelCount] = {"Channel A", "Channel B"};
const char* const kBandSections[kChannelCount] = {"EQ A", "EQ B"};

std::string MemorySection(int number) { return "Settings Memory " + std::to_string(number); }

void WriteChannel(IQDevice3300& device, SettingsTextFile& file, int channel, bool current) {
  const ChannelObjects& objects = Channel3300(channel);
  file.WriteSection(kChannelSections[channel]);
  file.WriteInt(objects.hpf.Read(device));
  file.WriteInt(objects.lpf.Read(device));
  file.WriteInt(objects.gain.Read(device));
  if (current) {
    file.WriteInt(objects.mute.Read(device) ? 1 : 0);
    file.WriteInt(objects.eqIn.Read(device) ? 1 : 0);
  }
  file.WriteSection(kBandSections[channel]);
  for (const ByteUCodeObject& band : objects.bands) file.WriteInt(band.Read(device));
}

void WriteMemories(IQDevice3300& device, SettingsTextFile& file) {
  for (int number = 1; number <= kMemoryCount; ++number) {
    file.WriteNewline();
    file.WriteSection(MemorySection(number));
    file.WriteString(MemoryName3300(number).Read(device));
    file.WriteNewline();
    device.UseMemory(number, MemoryOperation::kRecall);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      WriteChannel(device, file, channel, false);
    }
  }
}

void ReadChannel(SettingsTextFile& file, familycommon::CheckedFileReader& read, int channel,
                 std::size_t lineValues, ChannelLoad& load) {
  if (file.FindSection(kChannelSections[channel])) {
    load.line.push_back(static_cast<uint8_t>(read.Int(0, kMaxCornerIndex, "high-pass index")));
    load.line.push_back(static_cast<uint8_t>(read.Int(0, kMaxCornerIndex, "low-pass index")));
    load.line.push_back(static_cast<uint8_t>(read.Int(0, kMaxGain, "gain")));
    // Mute and equaliser in: any number, non-zero meaning on.
    while (load.line.size() < lineValues) load.line.push_back(read.Flag() ? 1 : 0);
  }
  if (file.FindSection(kBandSections[channel])) {
    auto& bands = load.bands.emplace();
    for (uint8_t& band : bands) {
      band = static_cast<uint8_t>(read.Int(0, kMaxBandLevel, "band level"));
    }
  }
}

void ApplyChannel(IQDevice3300& device, int channel, const ChannelLoad& load) {
  const ChannelObjects& objects = Channel3300(channel);
  if (!load.line.empty()) {
    objects.hpf.Write(device, load.line[0]);
    objects.lpf.Write(device, load.line[1]);
    objects.gain.Write(device, load.line[2]);
    if (load.line.size() == kCurrentLineValues) {
      objects.mute.Write(device, load.line[3] != 0);
      objects.eqIn.Write(device, load.line[4] != 0);
    }
  }
  if (load.bands) {
    for (int band = 0; band < kBandCount; ++band) {
      objects.bands[band].Write(device, (*load.bands)[band]);
    }
  }
}

int ChannelCountOf(Model3300 model) { return model == Model3300::kTwoChannel ? 2 : 1; }

void ApplyAll(IQDevice3300& device, const SettingsLoad& load,
              familycommon::ProgressReport* progress) {
  familycommon::ProgressScope scope(progress, kMemoryCount, "Setting device parameters...");
  if (load.unitName) g3300UnitName.Write(device, *load.unitName);
  if (load.programName && !device.IsOnline()) device.SetName(*load.programName);
  for (int number = 1; number <= kMemoryCount; ++number) {
    scope.Step(number - 1);
    const MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    if (memory.name) MemoryName3300(number).Write(device, *memory.name);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      ApplyChannel(device, channel, memory.channels[channel]);
    }
    device.UseMemory(number, MemoryOperation::kStore);
  }
  scope.Step(kMemoryCount);
  for (int channel = 0; channel < device.ChannelCount(); ++channel) {
    ApplyChannel(device, channel, load.current[channel]);
  }
}

}  // namespace

std::string SettingsFileExtension3300(Model3300 model) {
  return model == Model3300::kTwoChannel ? "332" : "331";
}

void WriteSettingsFile3300(IQDevice3300& device, SettingsTextFile& file) {
  file.WriteComment("3300/3300-2 setting file");
  file.WriteComment("Do not alter manually.");
  file.WriteNewline();
  file.WriteComment("Created by TelvoWindows");
  file.WriteComment(kNotice);
  file.WriteNewline();
  file.WriteSection("Device Type");
  file.WriteInt(device.IsTwoChannel() ? 1 : 0);
  file.WriteSection("Unit Name");
  file.WriteString(g3300UnitName.Read(device));
  if (!device.IsOnline()) {
    file.WriteSection("Interface Name");
    file.WriteString(device.GetName());
  }

  // Each memory is recalled to be read; the settings in use come back afterwards, also when a
  // memory cannot be read.
  SettingsImage current{};
  device.SnapshotSettings(current, SnapshotMode::kRead);
  try {
    WriteMemories(device, file);
  } catch (...) {
    device.SnapshotSettings(current, SnapshotMode::kWrite);
    throw;
  }
  device.SnapshotSettings(current, SnapshotMode::kWrite);

  file.WriteNewline();
  file.WriteSection("Current Settings");
  for (int channel = 0; channel < device.ChannelCount(); ++channel) {
    WriteChannel(device, file, channel, true);
  }
  file.WriteNewline();
  file.WriteNewline();
  file.WriteComment("End of file");
}

FileCheck ReadSettingsFile3300(SettingsTextFile& file, Model3300 model, SettingsLoad& load) {
  load = {};
  familycommon::CheckedFileReader read(file);
  if (!file.FindSection("Device Type")) return FileCheck::kUnrecognised;
  if (read.Flag() != (model == Model3300::kTwoChannel)) return FileCheck::kWrongType;
  if (!file.EndsWithComment(kEndOfFile)) {
    read.Refuse(std::string::npos, "The file ends early: its closing \"End of file\" is missing.");
  }
  if (file.FindSection("Unit Name")) load.unitName = read.Name(kNameChars, false);
  if (file.FindSection("Interface Name")) load.programName = read.Name(kProgramNameChars, false);
  bool settings = false;
  for (int number = 1; number <= kMemoryCount; ++number) {
    file.Rewind();
    if (!file.FindSection(MemorySection(number))) continue;
    settings = true;
    MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    memory.name = read.Name(kNameChars, false);
    for (int channel = 0; channel < ChannelCountOf(model); ++channel) {
      ReadChannel(file, read, channel, kMemoryLineValues, memory.channels[channel]);
    }
  }
  // On from where the last memory left the file.
  if (file.FindSection("Current Settings")) {
    settings = true;
    for (int channel = 0; channel < ChannelCountOf(model); ++channel) {
      ReadChannel(file, read, channel, kCurrentLineValues, load.current[channel]);
    }
  }
  if (!settings) read.Refuse(std::string::npos, "The file holds no settings.");
  return FileCheck::kLoadable;
}

void ApplySettingsLoad(IQDevice3300& device, const SettingsLoad& load,
                       familycommon::ProgressReport* progress) {
  WriteWithPutBack(device, [&] { ApplyAll(device, load, progress); });
}

}  // namespace namespace3300
