#include "familyov/unit/SettingsFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familycommon/CheckedFileReader.h"
#include "familyov/unit/ClockEvents.h"
#include "familyov/unit/LogicMap.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/SettingsPutBack.h"
#include "familyov/unit/UnitGlobals.h"

namespace namespaceOV {

namespace {

constexpr const char* kOutputsSection = "Number outputs";
constexpr const char* kFirmwareSection = "Firmware version";
constexpr const char* kGlobalsSection = "Globals";
constexpr const char* kEventsSection = "RTC Events";
constexpr const char* kNotice = "Copyright Telvo. All rights reserved.";
constexpr const char* kEndOfFile = "End of file";
constexpr const char* kDownloadingText = "Downloading...";
constexpr const char* kUploadingText = "Uploading...";
constexpr uint32_t kTwoInputFamilyCode = 880;
// Memories of a 2-input unit before firmware 1.5, and the names a later file has beyond them.
constexpr int kOlderMemoryCount = 12;
constexpr int kExtraMemoryNames = 3;
// Four ints of up to eleven characters and three blanks.
constexpr std::size_t kDumpLineChars = 47;
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

std::string DumpSection(int memory) { return "Memory Dump " + std::to_string(memory); }

// The values a unit takes for a number of the globals or clock events: the reader refuses any
// other, and the writer too, so that every file it writes loads again.
struct Bounds {
  int low;
  int high;
  const char* what;
};

constexpr Bounds kLogicOutputBounds{0, kLastLogicNumber, "logic output"};
constexpr Bounds kDelayUnitBounds{0, kDelayMeters, "delay unit"};

constexpr Bounds LogicMemoryBounds(int last) { return {0, last, "logic memory"}; }

constexpr Bounds kEventDayBounds{0, kLastDay, "clock event day"};

// Hour, minute, second and logic input of a clock event on `day`. The unit keeps no seconds; an
// empty slot keeps the logic input of the event it held, if any.
std::array<Bounds, 4> EventTimeBounds(int day) {
  return {{{0, kLastHour, "clock event hour"},
           {0, kLastMinute, "clock event minute"},
           {0, 0, "clock event second"},
           {day == 0 ? 0 : kFirstLogicInput, kLastLogicInput, "clock event logic input"}}};
}

void WriteBounded(SettingsTextFile& file, int value, const Bounds& bounds) {
  if (value < bounds.low || value > bounds.high) {
    throw SettingsWriteError("The unit's " + std::string(bounds.what) + " " +
                             std::to_string(value) + " is out of range (" +
                             std::to_string(bounds.low) + " to " + std::to_string(bounds.high) +
                             "): a file could not be loaded again.");
  }
  file.WriteInt(value);
}

// The unit keeps a name's terminator in its element.
std::size_t NameChars(const StringUCodeObject& object) {
  return static_cast<std::size_t>(object.ElementSize()) - 1;
}

// Refuses with SettingsFileError, a value out of range by its name alone.
class CheckedReader final : public familycommon::CheckedFileReader {
 public:
  using CheckedFileReader::CheckedFileReader;

  int Bounded(const Bounds& bounds) { return Int(bounds.low, bounds.high, bounds.what); }
  bool AtDumpLine() const { return File().AtString(); }
  // One line of a dump into `block`; where it starts.
  std::size_t DumpLine(std::span<uint32_t> block) {
    const std::size_t at = Tell();
    if (!File().AtString()) Refuse(at, "The memory dump ends early.");
    const std::string text = Text(kDumpLineChars);
    const int read = TextToInts(text, block);
    const std::vector<std::string_view> fields = Fields(text);
    if (read < static_cast<int>(std::min(fields.size(), block.size())) &&
        BeyondWord(fields[static_cast<std::size_t>(read)])) {
      Refuse(at,
             OutOfRange("memory dump number", std::string(fields[static_cast<std::size_t>(read)]),
                        std::to_string(INT32_MIN), std::to_string(INT32_MAX)));
    }
    if (read != static_cast<int>(block.size()) || fields.size() != block.size()) {
      Refuse(at, "A memory dump line needs four numbers.");
    }
    return at;
  }
  // The section `name` when the file holds it once: true, and the reading stands after its
  // header. A second one is refused at its header.
  bool FindOnce(const std::string& name) {
    File().Rewind();
    if (!File().FindSection(name)) return false;
    const std::size_t after = Tell();
    if (File().FindSection(name)) Refuse(HeaderStart(name), "A second section [" + name + "].");
    File().Seek(after);
    return true;
  }
  // The same for a section the file must hold; its absence is refused at `expectedAt`, where the
  // section would stand.
  void FindRequired(const std::string& name, std::size_t expectedAt) {
    if (!FindOnce(name)) Refuse(expectedAt, "The section [" + name + "] is missing.");
  }

 private:
  static std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', text.find(' ', at))) {
      fields.push_back(text.substr(at, text.find(' ', at) - at));
    }
    return fields;
  }
  // A whole number that no 32-bit word holds.
  static bool BeyondWord(std::string_view field) {
    int32_t value = 0;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    return result.ec == std::errc::result_out_of_range && result.ptr == field.data() + field.size();
  }
  // Where the header of `name` just found begins.
  std::size_t HeaderStart(const std::string& name) const { return Tell() - name.size() - 2; }

  std::exception_ptr Error(int line, const std::string& what) const override {
    return std::make_exception_ptr(SettingsFileError(line, what));
  }
};

// What a file holds for the unit, read whole before any of it is written.
struct FileContents {
  std::optional<Globals> globals;
  std::optional<std::vector<TTimerStruct>> events;
  std::vector<std::pair<int, SettingsImage>> memories;
  int lastMemory = 0;
};

// How much of the file the unit takes, from the firmware that wrote it.
struct Compatibility {
  int memories = 0;
  bool skipExtraNames = false;
  // The last memory the file's logic map may recall: a file of newer firmware names memories the
  // unit lacks, which the warning leaves to the user.
  int logicMemories = 0;
  // What the user is asked about the file's firmware, in order, once the whole file has been read:
  // a file the unit cannot take is refused without a question first.
  std::vector<const char*> warnings;
  // Where the firmware section ends: the globals follow it. The end of the file when the file has
  // none.
  std::size_t end = std::string::npos;
};

Compatibility CheckCompatibility(IQDeviceOrdavinex& device, CheckedReader& reader) {
  Compatibility result{.memories = device.GetMemoryCount(),
                       .logicMemories = device.GetMemoryCount()};
  const bool twoInput = device.GetInfo().familyCode == kTwoInputFamilyCode;
  if (!reader.FindOnce(kFirmwareSection)) {
    if (twoInput) result.memories = kOlderMemoryCount;
    return result;
  }
  if (!device.HasFeature(kFeatureAllpass)) result.warnings.push_back(kAllpassWarning);
  const float fileFirmware = reader.Float(0.0f, kHighestFirmwareVersion, "firmware version");
  reader.EndOfSection(kFirmwareSection);
  result.end = reader.Tell();
  if (!twoInput) return result;
  const float more = IQDevice8126::kMoreMemoriesFirmware;
  if (fileFirmware >= more && device.firmwareVersion < more) {
    result.skipExtraNames = true;
    result.logicMemories += kExtraMemoryNames;
    result.warnings.push_back(kMemoriesWarning);
  } else if (fileFirmware < more && device.firmwareVersion >= more) {
    result.memories = kOlderMemoryCount;
  }
  return result;
}

Globals ReadGlobals(IQDeviceOrdavinex& device, CheckedReader& reader,
                    const Compatibility& compatibility) {
  Globals globals;
  for (int m = 0; m < compatibility.memories; ++m) {
    globals.memoryNames.push_back(reader.SavableText(NameChars(gMemoryNameObject)));
  }
  if (compatibility.skipExtraNames) {
    for (int m = 0; m < kExtraMemoryNames; ++m) reader.Text(NameChars(gMemoryNameObject));
  }
  for (int n = kFirstLogicInput; n <= kLastLogicInput; ++n) {
    globals.logic[n].memory =
        static_cast<uint8_t>(reader.Bounded(LogicMemoryBounds(compatibility.logicMemories)));
    globals.logic[n].output = static_cast<uint8_t>(reader.Bounded(kLogicOutputBounds));
  }
  globals.delayUnits = static_cast<uint8_t>(reader.Bounded(kDelayUnitBounds));
  for (int c = 0; c < device.channels; ++c) {
    globals.channelNames.push_back(reader.SavableText(NameChars(gChannelNameObject)));
  }
  reader.EndOfSection(kGlobalsSection);
  return globals;
}

std::vector<TTimerStruct> ReadEvents(CheckedReader& reader) {
  std::vector<TTimerStruct> events(kTimerEventSlots);
  for (int slot = 0; slot < kTimerEventSlots; ++slot) {
    TTimerStruct& event = events[static_cast<std::size_t>(slot)];
    const std::size_t at = reader.Tell();
    event.slot = reader.Int(0, kTimerEventSlots - 1, "clock event slot");
    // The event goes to the slot of its line: another would come back under this one.
    if (event.slot != slot) {
      reader.Refuse(at, "The clock event of slot " + std::to_string(slot) + " names slot " +
                            std::to_string(event.slot) + ".");
    }
    event.day = reader.Bounded(kEventDayBounds);
    const std::array<Bounds, 4> bounds = EventTimeBounds(event.day);
    int* const fields[] = {&event.hour, &event.minute, &event.second, &event.logic};
    for (std::size_t k = 0; k < bounds.size(); ++k) *fields[k] = reader.Bounded(bounds[k]);
  }
  reader.EndOfSection(kEventsSection);
  return events;
}

// Memory `memory`'s dump section, found where the reading stands: its lines, each word checked
// against the field the unit gives it.
SettingsImage ReadDump(IQDeviceOrdavinex& device, CheckedReader& reader, int memory, int length) {
  SettingsImage image(length);
  std::vector<std::size_t> lines;
  for (int b = 0; b < image.BlockCount(); ++b) lines.push_back(reader.DumpLine(image.Block(b)));
  const std::string section = "[" + DumpSection(memory) + "]";
  if (reader.AtDumpLine()) {
    reader.Refuse(reader.Tell(), section + " holds more lines than the unit's memory takes (" +
                                     std::to_string(image.BlockCount()) + ").");
  }
  reader.EndOfSection(DumpSection(memory));
  if (const std::optional<ImageFault> fault = FindImageFault(device, image)) {
    reader.Refuse(lines[static_cast<std::size_t>(fault->word / kDumpBlockWords)],
                  section + ": " + fault->reason);
  }
  return image;
}

std::optional<FileContents> ReadContents(IQDeviceOrdavinex& device, SettingsTextFile& file,
                                         const LoadConfirmation& confirm) {
  CheckedReader reader(file);
  const Compatibility compatibility = CheckCompatibility(device, reader);
  FileContents contents{.lastMemory = compatibility.memories};
  // Each section is looked for from the start, so that the order of the sections in the file
  // does not matter; every one the unit takes must be there once.
  const auto holds = [&](const std::string& name) {
    file.Rewind();
    return file.FindSection(name);
  };
  if (!holds(kGlobalsSection) && !holds(DumpSection(0))) {
    reader.Refuse(std::string::npos, "The file holds no settings.");
  }
  reader.FindRequired(kGlobalsSection, compatibility.end);
  contents.globals = ReadGlobals(device, reader, compatibility);
  std::size_t end = reader.Tell();
  const bool clock = device.UpdateClockPresence();
  if (reader.FindOnce(kEventsSection)) {
    std::vector<TTimerStruct> events = ReadEvents(reader);
    end = reader.Tell();
    // A unit without a clock passes over the events of a unit with one.
    if (clock) contents.events = std::move(events);
  }
  const int length = ReadImageLength(device);
  for (int m = 0; m <= compatibility.memories; ++m) {
    reader.FindRequired(DumpSection(m), end);
    contents.memories.emplace_back(m, ReadDump(device, reader, m, length));
    end = reader.Tell();
  }
  // The memories of newer firmware, named in the globals and passed over with them after the
  // warning: each stands once and holds dump lines only.
  const int named = compatibility.memories + (compatibility.skipExtraNames ? kExtraMemoryNames : 0);
  for (int m = compatibility.memories + 1; m <= named; ++m) {
    if (!reader.FindOnce(DumpSection(m))) continue;
    std::array<uint32_t, kDumpBlockWords> block{};
    while (reader.AtDumpLine()) reader.DumpLine(block);
    reader.EndOfSection(DumpSection(m));
  }
  // A header read nowhere would go with its values: a dump of a memory the file does not name,
  // a damaged name, a section no file of the family holds.
  reader.AllSectionsRead();
  for (const char* warning : compatibility.warnings) {
    if (!confirm(warning)) return std::nullopt;
  }
  return contents;
}

// A unit may fill a name's element without its terminator: a name the reader takes no more.
void WriteName(SettingsTextFile& file, const std::string& name, const StringUCodeObject& object) {
  if (name.size() > NameChars(object)) {
    throw SettingsWriteError("The unit's name \"" + name + "\" is longer than " +
                             std::to_string(NameChars(object)) +
                             " characters: a file could not be loaded again.");
  }
  file.WriteString(name);
  file.WriteNewline();
}

void WriteGlobalsSection(IQDeviceOrdavinex& device, SettingsTextFile& file) {
  const Globals globals = GlobalsOf(device);
  file.WriteSection(kGlobalsSection);
  for (const std::string& name : globals.memoryNames) WriteName(file, name, gMemoryNameObject);
  for (int n = kFirstLogicInput; n <= kLastLogicInput; ++n) {
    WriteBounded(file, globals.logic[n].memory, LogicMemoryBounds(device.GetMemoryCount()));
    WriteBounded(file, globals.logic[n].output, kLogicOutputBounds);
    file.WriteNewline();
  }
  WriteBounded(file, globals.delayUnits, kDelayUnitBounds);
  file.WriteNewline();
  for (const std::string& name : globals.channelNames) WriteName(file, name, gChannelNameObject);
}

void WriteEventsSection(IQDeviceOrdavinex& device, SettingsTextFile& file) {
  device.ReadTimerEvents();
  // The read reports its own failures; a file with fewer events could not be loaded again.
  if (device.TimerEvents().size() != static_cast<std::size_t>(kTimerEventSlots)) {
    throw OrdavinexError("The unit's clock events could not be read.");
  }
  file.WriteSection(kEventsSection);
  for (const TTimerStruct& event : device.TimerEvents()) {
    file.WriteInt(event.slot);
    WriteBounded(file, event.day, kEventDayBounds);
    const std::array<Bounds, 4> bounds = EventTimeBounds(event.day);
    const int fields[] = {event.hour, event.minute, event.second, event.logic};
    for (std::size_t k = 0; k < bounds.size(); ++k) WriteBounded(file, fields[k], bounds[k]);
    file.WriteNewline();
  }
  file.WriteNewline();
}

// The logic inputs set to recall no memory, as the unit lacks the memory the file names.
std::vector<int> ApplyContents(IQDeviceOrdavinex& device, const FileContents& contents,
                               LoadSteps& steps, ProgressReport* progress) {
  ProgressScope scope(progress, contents.lastMemory, kUploadingText);
  std::vector<int> recallingNone;
  steps.Globals([&] {
    if (contents.globals) recallingNone = WriteGlobals(device, *contents.globals);
    if (contents.events) WriteEvents(device, *contents.events);
  });
  MemoryWalk walk(device);
  for (const auto& dump : contents.memories) {
    scope.Step(dump.first);
    steps.Memory(dump.first, [&] { WriteMemoryImage(device, dump.first, dump.second); });
  }
  return recallingNone;
}

}  // namespace

std::string IntsToText(std::span<const uint32_t> words) {
  constexpr std::size_t kIntChars = 11;  // "-2147483648"
  std::string text;
  text.reserve(words.size() * (kIntChars + 1));
  for (const uint32_t word : words) {
    if (!text.empty()) text += ' ';
    char digits[kIntChars];
    const std::to_chars_result end =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<int32_t>(word));
    text.append(digits, static_cast<std::size_t>(end.ptr - digits));
  }
  return text;
}

int TextToInts(std::string_view text, std::span<uint32_t> words) {
  int count = 0;
  std::size_t at = 0;
  while (count < static_cast<int>(words.size())) {
    at = text.find_first_not_of(' ', at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(text.find(' ', at), text.size());
    int32_t value = 0;
    const auto result = std::from_chars(text.data() + at, text.data() + end, value);
    if (result.ec != std::errc() || result.ptr != text.data() + end) break;
    words[static_cast<std::size_t>(count++)] = static_cast<uint32_t>(value);
    at = end;
  }
  return count;
}

void WriteSettingsFile(IQDeviceOrdavinex& device, SettingsTextFile& file,
                       ProgressReport* progress) {
  file.WriteComment("Ordavinex 26 setting file");
  file.WriteComment("Do not alter manually.");
  file.WriteNewline();
  file.WriteComment("Created by TelvoWindows");
  file.WriteComment(kNotice);
  file.WriteNewline();
  file.WriteSection(kOutputsSection);
  file.WriteInt(device.outputs);
  file.WriteNewline();
  WriteSettingsBody(device, file, progress);
  file.WriteNewline();
  file.WriteNewline();
  file.WriteComment(kEndOfFile);
}

void WriteSettingsBody(IQDeviceOrdavinex& device, SettingsTextFile& file,
                       ProgressReport* progress) {
  file.WriteSection(kFirmwareSection);
  file.WriteFloat(device.firmwareVersion);
  file.WriteNewline();
  WriteGlobalsSection(device, file);
  if (device.UpdateClockPresence()) WriteEventsSection(device, file);
  SettingsImage image(ReadImageLength(device));
  const int memories = device.GetMemoryCount();
  ProgressScope scope(progress, memories, kDownloadingText);
  MemoryWalk walk(device);
  for (int m = 0; m <= memories; ++m) {
    file.WriteSection(DumpSection(m));
    scope.Step(m);
    ReadMemoryImage(device, m, image);
    // A memory the load would refuse is no copy of the unit.
    if (const std::optional<ImageFault> fault = FindImageFault(device, image)) {
      throw SettingsWriteError("[" + DumpSection(m) + "]: " + fault->reason);
    }
    for (int b = 0; b < image.BlockCount(); ++b) {
      file.WriteString(IntsToText(image.Block(b)));
      file.WriteNewline();
    }
  }
}

LoadResult ReadSettingsFile(IQDeviceOrdavinex& device, SettingsTextFile& file,
                            const LoadConfirmation& confirm, ProgressReport* progress,
                            std::vector<int>* logicInputsCleared) {
  CheckedReader reader(file);
  if (!reader.FindOnce(kOutputsSection)) return LoadResult::kNotSettingsFile;
  // Every file the program writes closes so; one without it was cut short.
  if (!file.EndsWithComment(kEndOfFile)) {
    throw SettingsFileError(file.LineAt(std::string::npos),
                            "The file ends early: its closing \"End of file\" is missing.");
  }
  if (reader.Int(INT32_MIN, INT32_MAX, "Output count") != device.outputs) {
    return LoadResult::kOtherOutputCount;
  }
  reader.EndOfSection(kOutputsSection);
  return ReadSettingsBody(device, file, confirm, progress, logicInputsCleared)
             ? LoadResult::kLoaded
             : LoadResult::kCancelled;
}

bool ReadSettingsBody(IQDeviceOrdavinex& device, SettingsTextFile& file,
                      const LoadConfirmation& confirm, ProgressReport* progress,
                      std::vector<int>* logicInputsCleared) {
  const std::optional<FileContents> contents = ReadContents(device, file, confirm);
  if (!contents) return false;
  familycommon::LeadingReadProgress shown(progress);
  std::vector<int> recallingNone;
  WriteWithPutBack(device,
                   {.globals = contents->globals.has_value(),
                    .events = contents->events.has_value(),
                    .memories = contents->lastMemory},
                   &shown, [&](LoadSteps& steps) {
                     recallingNone = ApplyContents(device, *contents, steps, &shown);
                   });
  if (logicInputsCleared) *logicInputsCleared = std::move(recallingNone);
  return true;
}

}  // namespace namespaceOV
