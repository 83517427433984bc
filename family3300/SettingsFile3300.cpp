#include "family3300/SettingsFile3300.h"

#include <cstdio>

namespace namespace3300 {

namespace {

constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr std::size_t kMemoryLineValues = 3;
constexpr std::size_t kCurrentLineValues = 5;
// A virtual unit's name in the program has no unit element to fit; this only bounds a file's.
constexpr std::size_t kProgramNameBytes = 256;
const char* const kChannelSections[kChannelCount] = {"Channel A", "Channel B"};
const char* const kBandSections[kChannelCount] = {"EQ A", "EQ B"};

std::string MemorySection(int number) { return "Settings Memory " + std::to_string(number); }

// A quote ends the string early and a "[" may be taken for a section header on reading.
void WriteName(SettingsTextFile& file, const std::string& name) {
  if (name.find_first_of("\"[") != std::string::npos) {
    throw SettingsWriteError("The name \"" + name +
                             "\" holds a double quote or \"[\" and cannot be saved to a file.");
  }
  file.WriteString(name);
}

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
    WriteName(file, MemoryName3300(number).Read(device));
    file.WriteNewline();
    device.UseMemory(number, MemoryOperation::kRecall);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      WriteChannel(device, file, channel, false);
    }
  }
}

// The integer at the current position, refused unless it is 0..maximum.
uint8_t ReadValue(SettingsTextFile& file, const char* what, int maximum) {
  const std::size_t at = file.Tell();
  const int value = file.ReadInt();
  if (value < 0 || value > maximum) {
    throw SettingsValueError("The " + std::string(what) + " " + std::to_string(value) +
                             " in line " + std::to_string(file.LineAt(at)) +
                             " is out of range (0 to " + std::to_string(maximum) + ").");
  }
  return static_cast<uint8_t>(value);
}

// Mute and equaliser in: any number, non-zero meaning on.
uint8_t ReadSwitch(SettingsTextFile& file) { return file.ReadInt() != 0 ? 1 : 0; }

std::string ReadName(SettingsTextFile& file, std::size_t capacity) {
  std::vector<char> text(capacity);
  const std::size_t at = file.Tell();
  try {
    file.ReadString(text.data(), capacity);
  } catch (const FileParserError& error) {
    if (error.GetKind() != FileParserError::kFormatError) throw;
    throw SettingsValueError("The name in line " + std::to_string(file.LineAt(at)) +
                             " is longer than " + std::to_string(capacity - 1) + " characters.");
  }
  return text.data();
}

void ReadChannel(SettingsTextFile& file, int channel, std::size_t lineValues, ChannelLoad& load) {
  if (file.FindSection(kChannelSections[channel])) {
    load.line.push_back(ReadValue(file, "high-pass index", kMaxCornerIndex));
    load.line.push_back(ReadValue(file, "low-pass index", kMaxCornerIndex));
    load.line.push_back(ReadValue(file, "gain", kMaxGain));
    while (load.line.size() < lineValues) load.line.push_back(ReadSwitch(file));
  }
  if (file.FindSection(kBandSections[channel])) {
    auto& bands = load.bands.emplace();
    for (uint8_t& band : bands) band = ReadValue(file, "band level", kMaxBandLevel);
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
  WriteName(file, g3300UnitName.Read(device));
  if (!device.IsOnline()) {
    file.WriteSection("Interface Name");
    WriteName(file, device.GetName());
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
  if (!file.FindSection("Device Type")) return FileCheck::kUnrecognised;
  if (file.ReadInt() != (model == Model3300::kTwoChannel ? 1 : 0)) return FileCheck::kWrongType;
  if (file.FindSection("Unit Name")) load.unitName = ReadName(file, kNameChars + 1);
  if (file.FindSection("Interface Name")) load.programName = ReadName(file, kProgramNameBytes);
  for (int number = 1; number <= kMemoryCount; ++number) {
    file.Rewind();
    if (!file.FindSection(MemorySection(number))) continue;
    MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    memory.name = ReadName(file, kNameChars + 1);
    for (int channel = 0; channel < ChannelCountOf(model); ++channel) {
      ReadChannel(file, channel, kMemoryLineValues, memory.channels[channel]);
    }
  }
  // On from where the last memory left the file.
  if (file.FindSection("Current Settings")) {
    for (int channel = 0; channel < ChannelCountOf(model); ++channel) {
      ReadChannel(file, channel, kCurrentLineValues, load.current[channel]);
    }
  }
  return FileCheck::kLoadable;
}

void ApplySettingsLoad(IQDevice3300& device, const SettingsLoad& load) {
  if (load.unitName) g3300UnitName.Write(device, *load.unitName);
  if (load.programName && !device.IsOnline()) device.SetName(*load.programName);
  for (int number = 1; number <= kMemoryCount; ++number) {
    const MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    if (memory.name) MemoryName3300(number).Write(device, *memory.name);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      ApplyChannel(device, channel, memory.channels[channel]);
    }
    device.UseMemory(number, MemoryOperation::kStore);
  }
  for (int channel = 0; channel < device.ChannelCount(); ++channel) {
    ApplyChannel(device, channel, load.current[channel]);
  }
}

}  // namespace namespace3300
