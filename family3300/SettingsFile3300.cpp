#include "family3300/SettingsFile3300.h"

#include <cstdio>

#include "bus/IQException.h"
#include "family3300/MemoryReads3300.h"
#include "family3300/SettingsPutBack3300.h"
#include "familycommon/CheckedFileReader.h"

namespace namespace3300 {

namespace {

constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr std::size_t kCurrentLineValues = 5;
// A virtual unit's name in the program has no unit element to fit; this only bounds a file's.
constexpr std::size_t kProgramNameChars = 255;
constexpr const char* kEndOfFile = "End of file";
const char* const kChannelSections[kChannelCount] = {"Channel A", "Channel B"};
const char* const kBandSections[kChannelCount] = {"EQ A", "EQ B"};

// A number the file holds and the range its parameter takes on the unit. The reader refuses a
// value outside it, so the writer does too: a file the program saves always loads back.
struct FileNumber {
  const char* what;
  int high;
};
constexpr FileNumber kHpf{"high-pass index", kMaxCornerIndex};
constexpr FileNumber kLpf{"low-pass index", kMaxCornerIndex};
constexpr FileNumber kGain{"gain", kMaxGain};
constexpr FileNumber kBand{"band level", kMaxBandLevel};

std::string MemorySection(int number) { return "Settings Memory " + std::to_string(number); }

// A unit can answer a value the firmware never takes; the file would then not load.
void WriteNumber(SettingsTextFile& file, int value, const FileNumber& number) {
  if (value > number.high) {
    throw SettingsWriteError("The unit's " + std::string(number.what) + " " +
                             std::to_string(value) + " is out of range (0 to " +
                             std::to_string(number.high) +
                             ") and cannot be written to a settings file.");
  }
  file.WriteInt(value);
}

int ReadNumber(familycommon::CheckedFileReader& read, const FileNumber& number) {
  return read.Int(0, number.high, number.what);
}

// A memory's name can come from the unit a character longer than the file takes.
void WriteName(SettingsTextFile& file, const std::string& name, std::size_t maxChars) {
  if (name.size() > maxChars) {
    throw SettingsWriteError("The name \"" + name + "\" is longer than " +
                             std::to_string(maxChars) +
                             " characters and cannot be written to a settings file.");
  }
  file.WriteString(name);
}

void WriteChannel(IQDevice3300& device, SettingsTextFile& file, int channel, bool current) {
  const ChannelObjects& objects = Channel3300(channel);
  file.WriteSection(kChannelSections[channel]);
  WriteNumber(file, objects.hpf.Read(device), kHpf);
  WriteNumber(file, objects.lpf.Read(device), kLpf);
  WriteNumber(file, objects.gain.Read(device), kGain);
  if (current) {
    file.WriteInt(objects.mute.Read(device) ? 1 : 0);
    file.WriteInt(objects.eqIn.Read(device) ? 1 : 0);
  }
  file.WriteSection(kBandSections[channel]);
  for (const ByteUCodeObject& band : objects.bands) WriteNumber(file, band.Read(device), kBand);
}

void WriteMemories(IQDevice3300& device, SettingsTextFile& file, MemoryRecalls& recalls) {
  for (int number = 1; number <= kMemoryCount; ++number) {
    file.WriteNewline();
    file.WriteSection(MemorySection(number));
    WriteName(file, MemoryName3300(number).Read(device), kNameChars);
    file.WriteNewline();
    recalls.Recall(number);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      WriteChannel(device, file, channel, false);
    }
  }
}

// A channel's two sections, which must follow the memory's or the current settings' own.
void ReadChannel(familycommon::CheckedFileReader& read, int channel, bool current,
                 ChannelLoad& load) {
  read.NextSection(kChannelSections[channel]);
  for (const FileNumber* number : {&kHpf, &kLpf, &kGain}) {
    load.line.push_back(static_cast<uint8_t>(ReadNumber(read, *number)));
  }
  if (current) {
    load.line.push_back(read.Flag("mute") ? 1 : 0);
    load.line.push_back(read.Flag("equaliser in") ? 1 : 0);
  }
  read.EndOfSection(kChannelSections[channel]);
  read.NextSection(kBandSections[channel]);
  for (uint8_t& band : load.bands.emplace()) {
    band = static_cast<uint8_t>(ReadNumber(read, kBand));
  }
  read.EndOfSection(kBandSections[channel]);
}

void ReadChannels(familycommon::CheckedFileReader& read, Model3300 model, bool current,
                  std::array<ChannelLoad, kChannelCount>& channels) {
  const int count = model == Model3300::kTwoChannel ? 2 : 1;
  for (int channel = 0; channel < count; ++channel) {
    ReadChannel(read, channel, current, channels[channel]);
  }
}

// The section's one name, when the file holds it.
std::optional<std::string> ReadName(SettingsTextFile& file, familycommon::CheckedFileReader& read,
                                    const std::string& section, std::size_t maxChars) {
  file.Rewind();
  if (!file.FindSection(section)) return std::nullopt;
  std::string name = read.Name(maxChars, false);
  read.EndOfSection(section);
  return name;
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

void ApplyAll(IQDevice3300& device, const SettingsLoad& load,
              familycommon::ProgressReport* progress, NamesKept& names) {
  familycommon::ProgressScope scope(progress, kMemoryCount, "Setting device parameters...");
  if (load.unitName) names.WriteUnitName(device, *load.unitName);
  if (load.programName && !device.IsOnline()) device.SetName(*load.programName);
  for (int number = 1; number <= kMemoryCount; ++number) {
    scope.Step(number - 1);
    const MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    if (memory.name) names.WriteMemoryName(device, number, *memory.name);
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      ApplyChannel(device, channel, memory.channels[channel]);
    }
    device.UseMemory(number, MemoryOperation::kStore);
    names.Stored(number);
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

void WriteSettingsFile3300(IQDevice3300& device, SettingsTextFile& file,
                           familycommon::ProgressReport* progress) {
  file.WriteComment("3300/3300-2 setting file");
  file.WriteComment("Do not alter manually.");
  file.WriteNewline();
  file.WriteComment("Created by TelvoWindows");
  file.WriteComment(kNotice);
  file.WriteNewline();
  file.WriteSection("Device Type");
  file.WriteInt(device.IsTwoChannel() ? 1 : 0);
  // Each memory is recalled to be read; the settings in use and the memory number come back
  // afterwards, also when a memory cannot be read.
  ReadMemoriesWithPutBack(device, progress, [&](MemoryRecalls& recalls) {
    file.WriteSection("Unit Name");
    WriteName(file, g3300UnitName.Read(device), kNameChars);
    if (!device.IsOnline()) {
      file.WriteSection("Interface Name");
      WriteName(file, device.GetName(), kProgramNameChars);
    }
    WriteMemories(device, file, recalls);
    recalls.PutBack();
    file.WriteNewline();
    file.WriteSection("Current Settings");
    for (int channel = 0; channel < device.ChannelCount(); ++channel) {
      WriteChannel(device, file, channel, true);
    }
  });
  file.WriteNewline();
  file.WriteNewline();
  file.WriteComment("End of file");
}

FileCheck ReadSettingsFile3300(SettingsTextFile& file, Model3300 model, SettingsLoad& load) {
  load = {};
  familycommon::CheckedFileReader read(file);
  if (!file.FindSection("Device Type")) return FileCheck::kUnrecognised;
  const bool twoChannel = read.Flag("device type");
  read.EndOfSection("Device Type");
  if (twoChannel != (model == Model3300::kTwoChannel)) return FileCheck::kWrongType;
  if (!file.EndsWithComment(kEndOfFile)) {
    read.Refuse(std::string::npos, "The file ends early: its closing \"End of file\" is missing.");
  }
  load.unitName = ReadName(file, read, "Unit Name", kNameChars);
  load.programName = ReadName(file, read, "Interface Name", kProgramNameChars);
  bool settings = false;
  for (int number = 1; number <= kMemoryCount; ++number) {
    const std::string section = MemorySection(number);
    MemoryLoad& memory = load.memories[static_cast<std::size_t>(number - 1)];
    memory.name = ReadName(file, read, section, kNameChars);
    if (!memory.name) continue;
    settings = true;
    ReadChannels(read, model, false, memory.channels);
  }
  file.Rewind();
  if (file.FindSection("Current Settings")) {
    settings = true;
    read.EndOfSection("Current Settings");
    ReadChannels(read, model, true, load.current);
  }
  // A section found nowhere would be dropped: a renumbered memory, a second one, a channel out of
  // its place or one the model has not.
  read.AllSectionsRead();
  if (!settings) read.Refuse(std::string::npos, "The file holds no settings.");
  return FileCheck::kLoadable;
}

void ApplySettingsLoad(IQDevice3300& device, const SettingsLoad& load,
                       familycommon::ProgressReport* progress) {
  familycommon::LeadingReadProgress shown(progress);
  familycommon::AnswerWait wait(&shown, device.GetAnswerBound());
  WriteWithPutBack(device, wait, [&](NamesKept& names) { ApplyAll(device, load, &shown, names); });
}

}  // namespace namespace3300
