// Settings files of virtual units: the golden files, the compatibility rules, and files that
// cannot be used or saves that fail.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "familycommon/FilterConversions.h"
#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "platform/ui/Message.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using filestest::GoldenPath;
using filestest::ReadText;
using filestest::WriteText;
using ovtest::ChannelLevel;
using ovtest::MemoryName;
using ovtest::SetChannelLevel;
using ovtest::SetMemoryName;
using testing::HasSubstr;

struct Golden {
  const char* file;
  std::function<std::unique_ptr<IQDeviceOrdavinex>()> make;
};

const Golden kGoldens[] = {
    {"default-8122.ov2", [] { return ovtest::NewVirtual<IQDevice8126>(2); }},
    {"default-8126.ov2", [] { return ovtest::NewVirtual<IQDevice8126>(6); }},
    {"default-8148.q48", [] { return ovtest::NewVirtual<IQDevice8148>(8); }},
};

// Channel 1's level in memory m of a virtual unit; the current values stay.
float MemoryLevel(IQDeviceOrdavinex& unit, int m) {
  unit.SaveMemoryRecord(0);
  unit.RecallMemoryRecord(m);
  const float level = ChannelLevel(unit, 1);
  unit.RecallMemoryRecord(0);
  return level;
}

// The outputs' channel indexes, and the inputs'.
std::vector<int> OutputChannels(const IQDeviceOrdavinex& unit) {
  std::vector<int> channels;
  for (int o = 0; o < unit.outputs; ++o) channels.push_back(unit.firstOutput + o);
  return channels;
}

std::vector<int> InputChannels(const IQDeviceOrdavinex& unit) {
  std::vector<int> channels;
  for (int i = 0; i < unit.inputs; ++i) channels.push_back(i);
  return channels;
}

std::vector<int> Upto(int count) {
  std::vector<int> elements;
  for (int k = 0; k < count; ++k) elements.push_back(k);
  return elements;
}

template <typename Object, typename Value>
void SetEach(IQDeviceOrdavinex& unit, Object& object, const std::vector<int>& elements,
             Value value) {
  for (const int element : elements) {
    object.SetElement(element);
    object.Write(unit, value);
  }
}

class SettingsFileTest : public filestest::FilesTest {
 protected:
  // Saves through the unit's command, each time to a new file; the file's text.
  std::string Saved(IQDeviceOrdavinex& unit) {
    const std::string path = NextPath(unit);
    script.AnswerSaveFile(path);
    EXPECT_TRUE(unit.SaveFile());
    return ReadText(path);
  }
  // Loads through the unit's command, answering `answer` to the message that follows, if any, and
  // `then` to the one after it.
  bool Load(IQDeviceOrdavinex& unit, const std::string& text, std::optional<int> answer = {},
            std::optional<int> then = {}) {
    const std::string path = NextPath(unit);
    WriteText(path, text);
    script.AnswerOpenFile(path);
    for (const std::optional<int> reply : {answer, then}) {
      if (reply) script.AnswerMessageBox(*reply);
    }
    return unit.LoadFile();
  }
  std::string NextPath(const IQDeviceOrdavinex& unit) {
    return TempPath(std::to_string(++files_) + "." + unit.GetFileFilter().defaultExtension);
  }
  std::string LastPromptText() const { return script.Seen().back().text; }

 private:
  int files_ = 0;
};

TEST_F(SettingsFileTest, DefaultVirtualUnitsSaveTheirGoldenFilesAndLoadThemBack) {
  for (const Golden& golden : kGoldens) {
    SCOPED_TRACE(golden.file);
    const std::string expected = ReadText(GoldenPath(golden.file));
    ASSERT_FALSE(expected.empty());
    auto unit = golden.make();
    unit->SetModified(true);
    EXPECT_TRUE(filestest::SameText(Saved(*unit), expected));
    EXPECT_FALSE(unit->IsModified());

    SetMemoryName(*unit, 1, "Changed");
    SetChannelLevel(*unit, 1, -12.0f);
    unit->SaveMemoryRecord(3);
    unit->AddFilter(std::make_unique<TCDHornFilter>());
    gTimerEventObject.SetElement(5);
    gTimerEventObject.WriteTimerEvent(*unit, {.day = 2, .hour = 7, .logic = 4});
    EXPECT_TRUE(Load(*unit, expected));
    EXPECT_TRUE(filestest::SameText(Saved(*unit), expected));
  }
}

TEST_F(SettingsFileTest, AVirtualUnitKeepsEveryValueOfItsMemoriesThroughAFile) {
  auto source = ovtest::NewVirtual<IQDevice8148>(8);
  gCompRatioObject.SetElement(3);
  gCompRatioObject.Write(*source, 80);
  gCrosspointDelayObject.SetElement(9);
  gCrosspointDelayObject.Write(*source, 1200);
  auto horn = std::make_unique<TCDHornFilter>();
  horn->channel = 5;
  horn->frequency = 3150;
  source->AddFilter(std::move(horn));
  source->SaveMemoryRecord(2);
  const std::string file = Saved(*source);

  auto copy = ovtest::NewVirtual<IQDevice8148>(8);
  EXPECT_TRUE(Load(*copy, file));
  EXPECT_TRUE(filestest::SameText(Saved(*copy), file));
  copy->RecallMemoryRecord(2);
  ASSERT_EQ(copy->Filters().size(), 1u);
  EXPECT_EQ(copy->Filters()[0]->typeCode, kFilterCDHorn);
  EXPECT_EQ(copy->Filters()[0]->frequency, 3150);
}

TEST_F(SettingsFileTest, TheThreeInputConfigurationKeepsItsLastOutputsNameThroughAFile) {
  // Its outputs are numbered from channel 4, so its last output is channel 10.
  auto source = ovtest::NewVirtual<IQDevice8148>(7);
  gChannelNameObject.SetElement(10);
  gChannelNameObject.Write(*source, "Booth");
  const std::string file = Saved(*source);

  auto copy = ovtest::NewVirtual<IQDevice8148>(7);
  EXPECT_TRUE(Load(*copy, file));
  EXPECT_EQ(gChannelNameObject.Read(*copy), "Booth");
}

TEST_F(SettingsFileTest, AFailedOrCancelledSaveKeepsTheOldFileAndTheUnsavedMark) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  unit->SetModified(true);
  script.AnswerSaveFile(std::nullopt);
  EXPECT_FALSE(unit->SaveFile());
  EXPECT_TRUE(unit->IsModified());

  script.AnswerSaveFile(TempPath("no-such-folder/unit.ov2")).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->SaveFile());
  EXPECT_EQ(LastPromptText(), "Could not open file: No such file or directory");
  EXPECT_TRUE(unit->IsModified());

  const std::string path = TempPath("old.ov2");
  WriteText(path, "old");
  gMemoryImageSizeObject.Write(*unit, 300);  // too short for the layout
  script.AnswerSaveFile(path).AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->SaveFile());
  EXPECT_THAT(LastPromptText(), HasSubstr("The settings were not saved."));
  EXPECT_EQ(ReadText(path), "old");
  EXPECT_TRUE(unit->IsModified());

  gLockedObject.Write(*unit, true);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->SaveFile());
  EXPECT_FALSE(unit->LoadFile());
  EXPECT_EQ(script.Seen().back().caption, "Load file");
  EXPECT_EQ(LastPromptText(), "Device is locked.");
}

TEST_F(SettingsFileTest, AUnitHoldingAValueNoFileCouldLoadAgainIsNotSaved) {
  using Set = std::function<void(IQDeviceOrdavinex&)>;
  const std::pair<Set, std::string> cases[] = {
      {[](auto& unit) { SetEach(unit, gLogicMemoryObject, {5}, uint8_t{16}); },
       "The unit's logic memory 16 is out of range (0 to 15)"},
      {[](auto& unit) { SetEach(unit, gLogicOutObject, {31}, uint8_t{32}); },
       "The unit's logic output 32 is out of range (0 to 31)"},
      {[](auto& unit) {
         // A name filling its element, with no room for the terminator.
         const std::string name(15, 'N');
         gChannelNameObject.SetElement(1);
         unit.Write(gChannelNameObject, std::vector<uint8_t>(name.begin(), name.end()), 0);
       },
       "The unit's name \"NNNNNNNNNNNNNNN\" is longer than 14 characters"},
      {[](auto& unit) { gDelayUnitsObject.Write(unit, 3); },
       "The unit's delay unit 3 is out of range (0 to 2)"},
      {[](auto& unit) {
         gTimerEventObject.SetElement(69);
         gTimerEventObject.WriteTimerEvent(unit, {.day = 1, .minute = 60, .logic = 1});
       },
       "The unit's clock event minute 60 is out of range (0 to 59)"},
      {[](auto& unit) {
         gTimerEventObject.SetElement(0);
         gTimerEventObject.WriteTimerEvent(unit, {.day = 2});
       },
       "The unit's clock event logic input 0 is out of range (1 to 31)"},
      {[](auto& unit) {
         SetEach(unit, gChannelGroupObject, {unit.firstOutput}, uint8_t{4});
         unit.SaveMemoryRecord(15);
         SetEach(unit, gChannelGroupObject, {unit.firstOutput}, uint8_t{0});
       },
       "[Memory Dump 15]: The channel group 4 is out of range (0 to 3)."},
  };
  const std::string path = TempPath("old.ov2");
  for (const auto& [set, message] : cases) {
    SCOPED_TRACE(message);
    auto unit = ovtest::NewVirtual<IQDevice8126>(6);
    set(*unit);
    WriteText(path, "old");
    script.AnswerSaveFile(path).AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
    EXPECT_FALSE(unit->SaveFile());
    EXPECT_THAT(LastPromptText(), HasSubstr("The settings were not saved.\n" + message));
    EXPECT_EQ(ReadText(path), "old");
  }
}

TEST_F(SettingsFileTest, FilesThatCannotBeUsedChangeNothingAndSayWhereTheyGoWrong) {
  const std::string golden = ReadText(GoldenPath("default-8126.ov2"));
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  SetMemoryName(*unit, 1, "Kept");
  SetChannelLevel(*unit, 1, -6.0f);
  const auto refused = [&](const std::string& text, const std::string& message) {
    EXPECT_FALSE(Load(*unit, text, ui::kIdOk));
    EXPECT_THAT(LastPromptText(), HasSubstr(message));
    EXPECT_EQ(MemoryName(*unit, 1), "Kept");
    EXPECT_NEAR(ChannelLevel(*unit, 1), -6.0f, 1e-4f);
  };
  refused("// nothing here\n", "Invalid settings file");
  std::string text = golden;
  text.replace(text.find("[Number outputs]\n6"), 18, "[Number outputs]\n4");
  refused(text, "Incompatible devices.");

  // A dump section one line short does not run on into the next section.
  text = golden;
  const std::size_t lastLineEnd = text.find("\n\n[Memory Dump 4]") + 1;
  const std::size_t lastLineStart = text.rfind('\n', lastLineEnd - 2) + 1;
  text.erase(lastLineStart, lastLineEnd - lastLineStart);
  const auto header = text.begin() + static_cast<std::ptrdiff_t>(text.find("[Memory Dump 4]"));
  const int dump4Line = 1 + static_cast<int>(std::count(text.begin(), header, '\n'));
  refused(text, "Line " + std::to_string(dump4Line) + ": The memory dump ends early.");

  text = golden;
  text.replace(text.find("\"Memory 1\""), 10, "\"A name far too long\"");
  refused(text, "Line 15: Format error in file");
  // A name no settings file can carry would load and then fail every save.
  text = golden;
  text.replace(text.find("\"Memory 1\""), 10, "\"Mem\x7fory\"");
  refused(text, "Line 15: A name cannot hold");
  text = golden;
  text.replace(text.find("\n0 \n\"1\""), 4, "\n7 \n");
  refused(text, "Line 61: The delay unit 7 is out of range (0 to 2).");
  text = golden;
  text.replace(text.find("\"0 1065353216"), 13, "\"0 x");
  refused(text, "A memory dump line needs four numbers.");

  // Cut short: whole dumps but no closing comment, or the closing of a save that failed.
  const std::size_t closing = golden.rfind("// End of file");
  const int lastLine = static_cast<int>(std::count(golden.begin(), golden.end(), '\n')) - 3;
  refused(golden.substr(0, closing),
          "Line " + std::to_string(lastLine) +
              ": The file ends early: its closing \"End of file\" is missing.");
  refused(golden.substr(0, closing) + "// *** SAVE TERMINATED BY ERROR ***\n",
          "The file ends early");
}

// The golden file of the 2 x 6 unit with words of one memory dump changed, counted from the start
// of the image; the line that holds the first of them.
struct ChangedDump {
  std::string text;
  int line;
};

int LineOf(const std::string& text, std::size_t offset) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

ChangedDump WithWords(std::string text, int memory, int word, std::vector<std::string> values) {
  std::size_t line = text.find("[Memory Dump " + std::to_string(memory) + "]\n");
  line = text.find('\n', line) + 1;
  for (int k = 0; k < word / 4; ++k) line = text.find('\n', line) + 1;
  const int firstLine = LineOf(text, line);
  for (int field = word % 4; !values.empty(); field = 0) {
    // Each line is "\"w0 w1 w2 w3\" ".
    std::size_t start = line + 1;
    for (int k = 0; k < field; ++k) start = text.find(' ', start) + 1;
    while (field < 4 && !values.empty()) {
      const std::size_t end = text.find_first_of(" \"", start);
      text.replace(start, end - start, values.front());
      values.erase(values.begin());
      start = text.find_first_of(" \"", start) + 1;
      ++field;
    }
    line = text.find('\n', line) + 1;
  }
  return {text, firstLine};
}

TEST_F(SettingsFileTest, AFileIsLoadedExactlyAsWrittenOrRefusedByLineWithTheUnitUnchanged) {
  const std::string golden = ReadText(GoldenPath("default-8126.ov2"));
  const std::string nan = std::to_string(0x7FC00000);
  const std::string infinity = std::to_string(0x7F800000);
  const std::string half = std::to_string(0x3F000000);
  // Words of the 2 x 6 image: channel levels from 1, mutes 21, delays 28, networks 36, groups 42,
  // limiter speeds 62, polarities 80, master level 88, filter record 0 from 89.
  const auto dump = [&](int word, std::vector<std::string> values, const std::string& reason) {
    ChangedDump changed = WithWords(golden, 3, word, std::move(values));
    return std::pair{changed.text,
                     "Line " + std::to_string(changed.line) + ": [Memory Dump 3]: " + reason};
  };
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = golden;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const auto lineOf = [&](const std::string& text, const std::string& what) {
    return "Line " + std::to_string(LineOf(text, text.find(what))) + ": ";
  };
  const std::string dump6Damaged = replaced("[Memory Dump 6]", "[Memory Dumq 6]");
  const std::string dump0Twice = replaced("[Memory Dump 1]", "[Memory Dump 0]");
  const std::string noGlobals = replaced("[Globals]", "[Globalz]");
  const std::string fifthNumber = replaced("\"0 1065353216", "\"0 1065353216 5");
  const std::string extraLine = replaced("\n\n[Memory Dump 4]", "\"0 0 0 0\" \n\n[Memory Dump 4]");
  const std::string outputsOnly =
      "// Ordavinex 26 setting file\n\n[Number outputs]\n6 \n\n\n// End of file\n";
  const std::string dump99 =
      replaced("\n\n// End of file", "\n[Memory Dump 99]\n\"0 0 0 0\" \n\n// End of file");
  const std::string unknown = replaced("[RTC Events]", "[Presets]\n1 \n[RTC Events]");
  const std::string firmwareTwice =
      replaced("[Globals]", "[Firmware version]\n1.500000 \n[Globals]");
  const std::string globalsExtra = replaced("\n[RTC Events]", "7 \n[RTC Events]");
  const std::string dumpJunk = replaced("\n\n[Memory Dump 4]", "junk\n\n[Memory Dump 4]");
  const std::string hugeWord = replaced("\"0 1065353216", "\"99999999999 1065353216");
  const std::pair<std::string, std::string> cases[] = {
      dump(1, {nan}, "The channel level nan is out of range (0 to 100000)."),
      dump(88, {infinity}, "The master level inf is out of range (0 to 100000)."),
      dump(2, {"-1082130432"}, "The channel level -1 is out of range (0 to 100000)."),
      dump(42, {"257"}, "The channel group 257 is neither 0 nor 7 to 8."),
      dump(36, {"-1"}, "The crossover network -1 is out of range (0 to 3)."),
      dump(37, {"4"}, "The crossover network 4 is out of range (0 to 3)."),
      dump(62, {"1000000000"}, "The limiter speed 1e+09 is out of range (0 to 2)."),
      dump(63, {"3"}, "The limiter speed 3 is out of range (0 to 2)."),
      dump(21, {"2"}, "The output mute 2 is out of range (0 to 1)."),
      dump(28, {"-5"}, "The channel delay -5 is out of range (0 to 216000)."),
      dump(80, {half}, "The polarity 0.5 is neither 1 nor -1."),
      dump(89, {"10754", "1000", "87", "0"}, "Filter record 0: its type code 42 is no filter's."),
      dump(89, {"867", "1000", "87", "0"}, "Filter record 0: the unit has no channel 99."),
      dump(89, {"2049", "1000", "2", "1"},
           "Filter record 0: a crossover on channel 1, which is no output."),
      dump(89, {"2050", "1000", "2147483647", "1"},
           "Filter record 0: it holds a value its filter cannot keep as written."),
      dump(89, {"770", "-1000", "87", "0"},
           "Filter record 0: The filter frequency in Hz -1000 is out of range (20 to 20000)."),
      dump(89, {"66306", "1000", "87", "0"},
           "Filter record 0: it links to record 0, which heads no chain."),
      dump(89, {"131842", "1000", "87", "0", "2306", "1000", "2", "1"},
           "Filter record 0: it links to record 1, which heads no chain."),
      dump(89, {"1538", "1000", "1065353216", "5"},
           "Filter record 0: it holds a value its filter cannot keep as written."),
      {fifthNumber,
       lineOf(fifthNumber, "\"0 1065353216 5") + "A memory dump line needs four numbers."},
      {extraLine, lineOf(extraLine, "\"0 0 0 0\" \n\n[Memory Dump 4]") +
                      "[Memory Dump 3] holds more lines than the unit's memory takes (183)."},
      {dump6Damaged,
       lineOf(dump6Damaged, "[Memory Dumq 6]") + "The section [Memory Dump 6] is missing."},
      {dump0Twice, lineOf(golden, "[Memory Dump 1]") + "A second section [Memory Dump 0]."},
      {noGlobals, lineOf(noGlobals, "[Globalz]") + "The section [Globals] is missing."},
      {outputsOnly, "Line 7: The file holds no settings."},
      {replaced("[Firmware version]", "[Number outputs]\n6 \n\n[Firmware version]"),
       lineOf(golden, "[Firmware version]") + "A second section [Number outputs]."},
      {dump99, lineOf(dump99, "[Memory Dump 99]") +
                   "The section [Memory Dump 99] does not belong in this file."},
      {unknown,
       lineOf(unknown, "[Presets]") + "The section [Presets] does not belong in this file."},
      {firmwareTwice, lineOf(golden, "[Globals]") + "A second section [Firmware version]."},
      {globalsExtra,
       lineOf(globalsExtra, "7 \n[RTC") + "Unexpected text after the values of [Globals]."},
      {dumpJunk, lineOf(dumpJunk, "junk") + "Unexpected text after the values of [Memory Dump 3]."},
      dump(44, {"4"}, "The channel group 4 is out of range (0 to 3)."),
      dump(68, {"4"}, "The limiter group 4 is out of range (0 to 3)."),
      {hugeWord, lineOf(hugeWord, "99999999999") +
                     "The memory dump number 99999999999 is out of range (-2147483648 to "
                     "2147483647)."},
      {replaced("\n1.500000 ", "\n-1.0 "),
       "Line 12: The firmware version -1 is out of range (0 to 999)."},
      {replaced("\n1 0 \n2 0 \n", "\n16 0 \n2 0 \n"),
       "Line 30: The logic memory 16 is out of range (0 to 15)."},
      {replaced("\n1 0 \n2 0 \n", "\n1 32 \n2 0 \n"),
       "Line 30: The logic output 32 is out of range (0 to 31)."},
      {replaced("[RTC Events]\n0 0", "[RTC Events]\n5 0"),
       "Line 72: The clock event of slot 0 names slot 5."},
      {replaced("[RTC Events]\n0 0 0 0 0", "[RTC Events]\n0 1 0 0 30"),
       "Line 72: The clock event second 30 is out of range (0 to 0)."},
      {replaced("[RTC Events]\n0 0 0 0 0 0", "[RTC Events]\n0 1 0 0 0 0"),
       "Line 72: The clock event logic input 0 is out of range (1 to 31)."},
  };
  const auto refusedWithUnitUnchanged = [&](IQDeviceOrdavinex& unit, const auto& refusals) {
    const std::string before = Saved(unit);
    for (const auto& [text, message] : refusals) {
      SCOPED_TRACE(message);
      EXPECT_FALSE(Load(unit, text, ui::kIdOk));
      EXPECT_THAT(LastPromptText(), HasSubstr(message));
      EXPECT_TRUE(filestest::SameText(Saved(unit), before));
    }
  };
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  SetChannelLevel(*unit, 1, -6.0f);
  unit->SaveMemoryRecord(3);
  refusedWithUnitUnchanged(*unit, cases);
  // The 4 x 8 unit's compressors (its ratios from word 818) and its fourth network (word 105).
  const std::string golden48 = ReadText(GoldenPath("default-8148.q48"));
  const auto dump48 = [&](int word, const std::string& value, const std::string& reason) {
    ChangedDump changed = WithWords(golden48, 3, word, {value});
    return std::pair{changed.text,
                     "Line " + std::to_string(changed.line) + ": [Memory Dump 3]: " + reason};
  };
  const std::string ratios = " is none of the unit's ratios (1, 20, 30, 40, 50, 60, 80, 127).";
  const std::pair<std::string, std::string> cases48[] = {
      dump48(818, "55", "The compressor ratio 55" + ratios),
      dump48(821, "0", "The compressor ratio 0" + ratios),
      dump48(819, "255", "The compressor ratio 255" + ratios),
      dump48(105, "5", "The crossover network 5 is out of range (0 to 4)."),
  };
  refusedWithUnitUnchanged(*ovtest::NewVirtual<IQDevice8148>(8), cases48);
  // A shelf's fraction of a dB, a filter at each end of its ranges and a chain load as written.
  const std::string shelf = std::to_string(std::bit_cast<int32_t>(familycommon::DbToLinear(-4.5f)));
  const std::string cut =
      std::to_string(std::bit_cast<int32_t>(familycommon::DbToLinear(-70.0f) - 1.0f));
  const ChangedDump filters = WithWords(golden, 3, 89,
                                        {"1538", "20000", shelf, "0", "770", "20", "1000", cut,
                                         std::to_string(2 << 16 | 771), "20", "1", "0"});
  EXPECT_TRUE(Load(*unit, filters.text));
  EXPECT_TRUE(filestest::SameText(Saved(*unit), filters.text));
  unit->RecallMemoryRecord(3);
  ASSERT_EQ(unit->Filters().size(), 3u);
  EXPECT_FLOAT_EQ(dynamic_cast<const TLowshelfFilter&>(*unit->Filters()[0]).level, -4.5f);
  EXPECT_NEAR(dynamic_cast<const TParametricFilter&>(*unit->Filters()[1]).level, -70.0f, 0.01f);
  EXPECT_EQ(unit->Filters()[2]->linkHead.get(), unit->Filters()[1].get());
  // A unit without a clock passes over the clock events of a unit with one.
  unit->clockPresent = false;
  EXPECT_TRUE(Load(*unit, golden));
  EXPECT_FALSE(Load(*unit, replaced("[RTC Events]", "[RTC Events]\nx"), ui::kIdOk));
  EXPECT_THAT(LastPromptText(), HasSubstr("Line 72: Format error in file"));
}

TEST_F(SettingsFileTest, OlderAndNewerFilesFillOnlyTheMemoriesBothHave) {
  const std::string golden = ReadText(GoldenPath("default-8126.ov2"));
  IQ8126Type type;  // the type gives the unit its family code
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  auto* unit = dynamic_cast<IQDeviceOrdavinex*>(device.get());
  ASSERT_EQ(unit->outputs, 6);
  SetMemoryName(*unit, 1, "Changed");
  SetMemoryName(*unit, 14, "Fourteen");
  SetChannelLevel(*unit, 1, -9.0f);
  unit->SaveMemoryRecord(14);
  unit->SaveMemoryRecord(12);

  // A file without a firmware section was written by a unit of 12 memories.
  std::string older = golden;
  const std::size_t firmware = older.find("\n[Firmware version]");
  older.erase(firmware, older.find("\n[Globals]") - firmware);
  const std::size_t extraNames = older.find("\"Memory 13\"");
  older.erase(extraNames, older.find("1 0 \n") - extraNames);
  const std::size_t extraDumps = older.find("\n[Memory Dump 13]");
  older.erase(extraDumps, older.find("\n\n// End of file") - extraDumps);
  EXPECT_TRUE(Load(*unit, older));
  EXPECT_EQ(MemoryName(*unit, 1), "Memory 1");
  EXPECT_EQ(MemoryName(*unit, 14), "Fourteen");
  EXPECT_NEAR(MemoryLevel(*unit, 12), 0.0f, 1e-4f);
  EXPECT_NEAR(MemoryLevel(*unit, 14), -9.0f, 1e-4f);

  // A file of 15 memories whose logic recalls only memories the unit has, into a unit of 12, asks
  // once; cancel writes nothing.
  const std::string fitting = filestest::LogicRecallingAtMost(golden, 12);
  unit->firmwareVersion = 1.4f;
  SetMemoryName(*unit, 1, "Changed");
  EXPECT_FALSE(Load(*unit, fitting, ui::kIdCancel));
  EXPECT_EQ(script.Seen().back().caption, "WARNING");
  EXPECT_EQ(MemoryName(*unit, 1), "Changed");
  // The older file's logic map recalls memories 13 to 15, which the unit lacks, and no warning
  // leaves them to the user: refused before any question.
  const std::size_t promptsBefore = script.Seen().size();
  EXPECT_FALSE(Load(*unit, older, ui::kIdOk));
  EXPECT_TRUE(std::none_of(script.Seen().begin() + static_cast<std::ptrdiff_t>(promptsBefore),
                           script.Seen().end(),
                           [](const ui::Prompt& prompt) { return prompt.caption == "WARNING"; }));
  EXPECT_EQ(LastPromptText(),
            "Invalid settings file\nLine 36: The logic memory 13 is out of range (0 to 12).");
  EXPECT_EQ(MemoryName(*unit, 1), "Changed");
  gLogicMemoryObject.SetElement(13);
  gLogicMemoryObject.Write(*unit, 1);
  EXPECT_TRUE(Load(*unit, fitting, ui::kIdOk));
  EXPECT_EQ(MemoryName(*unit, 1), "Memory 1");
  gLogicMemoryObject.SetElement(13);
  EXPECT_EQ(gLogicMemoryObject.Read(*unit), 12) << "the three extra names are passed over";
}

TEST_F(SettingsFileTest, ANewerFileIntoAnOlderUnitRecallsNoMemoryTheUnitLacksOnceTheUserGoesOn) {
  const std::string golden = ReadText(GoldenPath("default-8126.ov2"));
  // What the unit of 12 memories holds after it took the golden file: the first 12 names and
  // memories 0 to 12, and the inputs recalling memories 13 to 15 set to recall none.
  std::string expected = golden;
  expected.replace(expected.find("\n1.500000 "), 10, "\n1.400000 ");
  const std::size_t extraNames = expected.find("\"Memory 13\"");
  expected.erase(extraNames, expected.find("1 0 \n") - extraNames);
  for (const char* line : {"\n13 0 \n", "\n14 0 \n", "\n15 0 \n"}) {
    for (std::size_t at; (at = expected.find(line)) != std::string::npos;) {
      expected.replace(at + 1, 2, "0");
    }
  }
  const std::size_t extraDumps = expected.find("\n[Memory Dump 13]");
  expected.erase(extraDumps, expected.find("\n\n// End of file") - extraDumps);

  // The answer to the warning, and the messages the load shows.
  struct Row {
    int answer;
    std::vector<std::string> messages;
  };
  const Row rows[] = {
      {ui::kIdOk,
       {kMemoriesWarning,
        "Logic inputs 13, 14, 15, 28, 29 and 30 were set to recall no memory, as the unit has 12 "
        "memories."}},
      {ui::kIdCancel, {kMemoriesWarning}},
  };
  for (const Row& row : rows) {
    const bool ok = row.answer == ui::kIdOk;
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    IQ8126Type type;  // the type gives the unit its family code
    std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
    auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
    unit.firmwareVersion = 1.4f;
    SetMemoryName(unit, 1, "Changed");
    // The factory map recalls memories 13 to 15 from these inputs, beyond what the unit saves.
    SetEach(unit, gLogicMemoryObject, {13, 14, 15, 28, 29, 30}, uint8_t{1});
    SetChannelLevel(unit, 1, -9.0f);
    unit.SaveMemoryRecord(12);
    const std::string before = Saved(unit);
    const std::size_t promptsBefore = script.Seen().size();

    EXPECT_EQ(
        Load(unit, golden, row.answer, ok ? std::optional<int>(ui::kIdOk) : std::optional<int>()),
        ok);
    std::vector<std::string> messages;
    for (auto prompt = script.Seen().begin() + static_cast<std::ptrdiff_t>(promptsBefore);
         prompt != script.Seen().end(); ++prompt) {
      if (prompt->kind == ui::PromptKind::MessageBox) messages.push_back(prompt->text);
    }
    EXPECT_EQ(messages, row.messages);
    EXPECT_TRUE(filestest::SameText(Saved(unit), ok ? expected : before));
  }
}

// The same rule holds for a copy from a unit of 15 memories into one of 12, virtual or on the bus
// on either side: once the user goes on, the inputs recalling memories 13 to 15 recall none, the
// destination is never sent those memory numbers, and its own save is then accepted.
TEST_F(SettingsFileTest, ACopyIntoAUnitOfFewerMemoriesRecallsNoMemoryItLacksOnceTheUserGoesOn) {
  const std::vector<int> beyond = {13, 14, 15, 28, 29, 30};
  struct Row {
    bool busSource;
    bool busDestination;
    int answer;
  };
  const Row rows[] = {{false, false, ui::kIdOk},     {true, true, ui::kIdOk},
                      {false, true, ui::kIdOk},      {true, false, ui::kIdOk},
                      {false, false, ui::kIdCancel}, {true, true, ui::kIdCancel}};
  for (const Row& row : rows) {
    const bool ok = row.answer == ui::kIdOk;
    SCOPED_TRACE(std::string(row.busSource ? "bus" : "virtual") + " to " +
                 (row.busDestination ? "bus" : "virtual") + (ok ? ", OK" : ", Cancel"));
    ovtest::FamilyBus bus;
    IQ8126Type type;
    const auto unit = [&](bool onBus, int address, const std::string& firmware) {
      if (!onBus) {
        auto device = ovtest::NewVirtual<IQDevice8126>(6);
        device->firmwareVersion = std::stof(firmware);
        return device;
      }
      bus.AddModelUnit(sim::familyov::Model::k8126, address, firmware);
      const IQDeviceInfo record(address, 880, 1, ovtest::ModelId('6', firmware, false));
      return std::make_unique<ovtest::Recording<IQDevice8126>>(&type, &bus.manager, &record, 6);
    };
    auto source = unit(row.busSource, 3, "1.5");
    auto destination = unit(row.busDestination, 4, "1.4");
    for (std::size_t k = 0; k < beyond.size(); ++k) {
      SetEach(*source, gLogicMemoryObject, {beyond[k]}, static_cast<uint8_t>(13 + k % 3));
    }
    // What a unit of 12 memories can hold and save.
    SetEach(*destination, gLogicMemoryObject, beyond, uint8_t{1});
    SetMemoryName(*destination, 1, "Changed");
    const std::string before = Saved(*destination);
    destination->TakeTrace();
    const std::size_t promptsBefore = script.Seen().size();

    script.AnswerMessageBox(row.answer);
    if (ok) script.AnswerMessageBox(ui::kIdOk);
    EXPECT_EQ(CopyDeviceFrom(*destination, *source), ok);
    std::vector<std::string> messages;
    for (auto prompt = script.Seen().begin() + static_cast<std::ptrdiff_t>(promptsBefore);
         prompt != script.Seen().end(); ++prompt) {
      messages.push_back(prompt->text);
    }
    ASSERT_EQ(messages.size(), ok ? 2u : 1u);
    EXPECT_THAT(messages[0], HasSubstr("more memories than the destination"));
    if (!ok) {
      EXPECT_TRUE(filestest::SameText(Saved(*destination), before));
      continue;
    }
    EXPECT_EQ(messages[1],
              "Logic inputs 13, 14, 15, 28, 29 and 30 were set to recall no memory, as the unit "
              "has 12 memories.");
    for (const std::string& request : destination->TakeTrace()) {
      if (!request.starts_with("W1A.")) continue;
      EXPECT_LE(std::stoi(request.substr(request.find(' ') + 1), nullptr, 16), 12) << request;
    }
    for (const int input : beyond) {
      gLogicMemoryObject.SetElement(input);
      EXPECT_EQ(gLogicMemoryObject.Read(*destination), 0) << "input " << input;
    }
    gLogicMemoryObject.SetElement(1);
    EXPECT_EQ(gLogicMemoryObject.Read(*destination), 1);
    EXPECT_EQ(MemoryName(*destination, 1), MemoryName(*source, 1));
    EXPECT_THAT(Saved(*destination), HasSubstr("[Memory Dump 12]"));
  }
}

// Every switch and mode of the unit on or off.
void SetSwitches(IQDeviceOrdavinex& unit, bool on) {
  const std::vector<int> outputs = OutputChannels(unit);
  for (BoolUCodeObject* object :
       {&gChannelMuteObject, &gLimiterEnableObject, &gLimiterKneeObject}) {
    SetEach(unit, *object, outputs, on);
  }
  SetEach(unit, gPolarityObject, Upto(unit.outputs), on ? -1.0f : 1.0f);
  SetEach(unit, gCompGangObject, InputChannels(unit), on);
  SetEach(unit, gCompSoftKneeObject, InputChannels(unit), on);
  gMasterMuteObject.Write(unit, on);
  gPinkNoiseEnableObject.Write(unit, on);
  gDelayUnitsObject.Write(unit, on ? kDelayMeters : kDelayMsec);
}

// Levels, thresholds, releases and compressors at the top or the bottom of what the windows take.
void SetLevels(IQDeviceOrdavinex& unit, bool top) {
  SetEach(unit, gChannelLevelObject, InputChannels(unit), top ? 24.0f : 0.0f);
  SetEach(unit, gChannelLevelObject, OutputChannels(unit), top ? 24.0f : -80.0f);
  SetEach(unit, gCrosspointLevelObject, Upto(unit.matrixInputs * unit.matrixOutputs),
          top ? 24.0f : -100.0f);
  gMasterLevelObject.Write(unit, top ? 24.0f : -80.0f);
  gPinkNoiseLevelObject.Write(unit, top ? 0.0f : -80.0f);
  SetEach(unit, gLimiterThresholdObject, OutputChannels(unit), top ? 22.0f : -40.0f);
  SetEach(unit, gLimiterSpeedObject, OutputChannels(unit), static_cast<uint8_t>(top ? 2 : 0));
  SetEach(unit, gCompThresholdObject, InputChannels(unit), top ? 20.0f : -40.0f);
  SetEach(unit, gCompPostGainObject, InputChannels(unit), top ? 24.0f : 0.0f);
  SetEach(unit, gCompRatioObject, InputChannels(unit), static_cast<uint8_t>(top ? 127 : 1));
  SetEach(unit, gCompSpeedObject, InputChannels(unit), static_cast<uint8_t>(top ? 7 : 0));
}

// Every channel, limiter and network in the last group the windows offer, or the gang's.
void SetGroups(IQDeviceOrdavinex& unit, bool last) {
  const auto lastOf = [](int channels) { return static_cast<uint8_t>((channels + 1) / 2); };
  SetEach(unit, gChannelGroupObject, InputChannels(unit),
          static_cast<uint8_t>(7 + (last ? lastOf(unit.inputs) : 0)));
  SetEach(unit, gChannelGroupObject, OutputChannels(unit),
          last ? lastOf(unit.outputs) : static_cast<uint8_t>(1));
  SetEach(unit, gLimiterGroupObject, OutputChannels(unit),
          last ? lastOf(unit.outputs) : static_cast<uint8_t>(1));
  SetEach(unit, gCrossoverNetworkObject, Upto(unit.outputs),
          last ? lastOf(unit.outputs) : static_cast<uint8_t>(1));
}

// The whole delay memory in one channel, or in one crosspoint where the unit has them.
void SetDelays(IQDeviceOrdavinex& unit, bool crosspoint) {
  const auto capacity = static_cast<uint32_t>(unit.GetDelayCapacity());
  if (crosspoint && unit.HasFeature(kFeatureCrosspointDelays)) {
    gCrosspointDelayObject.SetElement(unit.matrixInputs * unit.matrixOutputs - 1);
    gCrosspointDelayObject.Write(unit, capacity);
    return;
  }
  gChannelDelayObject.SetElement(unit.ChannelIndexes().back());
  gChannelDelayObject.Write(unit, capacity);
}

// Names of the most characters the windows take, of every character they take.
void SetLongestNames(IQDeviceOrdavinex& unit) {
  const std::string names[] = {"09 azAZ/,#(", ")&-Wwwwwwww"};
  for (int m = 1; m <= unit.GetMemoryCount(); ++m) SetMemoryName(unit, m, names[m % 2]);
  const std::vector<int> channels = unit.ChannelIndexes();
  for (std::size_t c = 0; c < channels.size(); ++c) {
    SetEach(unit, gChannelNameObject, {channels[c]}, names[c % 2]);
  }
}

// Every logic input recalling the last memory and driving the last output, or none.
void SetLogic(IQDeviceOrdavinex& unit, bool last) {
  SetEach(unit, gLogicMemoryObject, Upto(kLogicInputCount),
          static_cast<uint8_t>(last ? unit.GetMemoryCount() : 0));
  SetEach(unit, gLogicOutObject, Upto(kLogicInputCount), static_cast<uint8_t>(last ? 31 : 0));
}

// Every clock event slot taken, at the last or the first time of the week.
void SetEvents(IQDeviceOrdavinex& unit, bool last) {
  for (int slot = 0; slot < kTimerEventSlots; ++slot) {
    gTimerEventObject.SetElement(slot);
    gTimerEventObject.WriteTimerEvent(
        unit, last ? TTimerStruct{.day = 7, .hour = 23, .minute = 59, .logic = 31}
                   : TTimerStruct{.day = 1, .logic = 1});
  }
}

// Crossovers on every output, and a chain of filters made after the first filter was deleted, so
// that the unit's filter numbers are not their places in the list.
void SetFilters(IQDeviceOrdavinex& unit) {
  auto parametric = std::make_unique<TParametricFilter>();
  parametric->frequency = 1000;
  unit.AddFilter(parametric->Clone());
  TFilter* head = unit.AddFilter(std::move(parametric));
  unit.RemoveFilter(unit.Filters().front().get());
  for (const int channel : unit.ChannelIndexes()) {
    if (channel == head->channel) continue;
    TFilter* member = unit.AddFilter(head->Clone());
    member->channel = channel;
    member->linkNumber = head->number + 1;
  }
  unit.LinkFilters();
  for (int o = 0; o < unit.outputs; ++o) {
    auto low = std::make_unique<TLowCrossover>();
    auto high = std::make_unique<THighCrossover>();
    low->channel = high->channel = unit.firstOutput + o;
    low->frequency = high->frequency = 2000;
    unit.SetLowCrossover(o, std::move(low));
    unit.SetHighCrossover(o, std::move(high));
  }
}

// Each memory unlike the others.
void SetMemories(IQDeviceOrdavinex& unit) {
  for (int m = 1; m <= unit.GetMemoryCount(); ++m) {
    SetChannelLevel(unit, 1, static_cast<float>(m));
    if (m % 2 == 0) SetSwitches(unit, true);
    unit.SaveMemoryRecord(m);
  }
}

TEST_F(SettingsFileTest, EveryStateTheWindowsMakeLoadsBackAsWritten) {
  using Make = std::function<std::unique_ptr<IQDeviceOrdavinex>()>;
  const std::pair<const char*, Make> models[] = {
      {"8126, 15 memories", [] { return ovtest::NewVirtual<IQDevice8126>(6); }},
      {"8124", [] { return ovtest::NewVirtual<IQDevice8126>(4); }},
      {"8122", [] { return ovtest::NewVirtual<IQDevice8126>(2); }},
      {"8148", [] { return ovtest::NewVirtual<IQDevice8148>(8); }},
      {"8148, 3 x 7", [] { return ovtest::NewVirtual<IQDevice8148>(7); }},
      {"8148, 6 x 6", [] { return ovtest::NewVirtual<IQDevice8148>(6); }},
  };
  using Set = std::function<void(IQDeviceOrdavinex&)>;
  const std::pair<const char*, Set> states[] = {
      {"every switch on", [](auto& unit) { SetSwitches(unit, true); }},
      {"every switch off", [](auto& unit) { SetSwitches(unit, false); }},
      {"levels at the top", [](auto& unit) { SetLevels(unit, true); }},
      {"levels at the bottom", [](auto& unit) { SetLevels(unit, false); }},
      {"last groups", [](auto& unit) { SetGroups(unit, true); }},
      {"gangs", [](auto& unit) { SetGroups(unit, false); }},
      {"a channel's delay full", [](auto& unit) { SetDelays(unit, false); }},
      {"a crosspoint's delay full", [](auto& unit) { SetDelays(unit, true); }},
      {"longest names", SetLongestNames},
      {"logic to the last memory", [](auto& unit) { SetLogic(unit, true); }},
      {"logic to nothing", [](auto& unit) { SetLogic(unit, false); }},
      {"clock events last in the week", [](auto& unit) { SetEvents(unit, true); }},
      {"clock events first in the week", [](auto& unit) { SetEvents(unit, false); }},
      {"crossovers and a chain", SetFilters},
      {"memories", SetMemories},
  };
  for (const auto& [model, make] : models) {
    for (const auto& [state, set] : states) {
      SCOPED_TRACE(std::string(model) + ": " + state);
      auto unit = make();
      set(*unit);
      unit->SaveMemoryRecord(unit->GetMemoryCount());
      const std::string text = Saved(*unit);
      auto copy = make();
      EXPECT_TRUE(Load(*copy, text));
      EXPECT_TRUE(filestest::SameText(Saved(*copy), text));
    }
  }
}

TEST(DumpLineTest, WordsTravelAsSignedDecimalsAndAtMostFourAreRead) {
  const uint32_t words[] = {0xBF800000u, 0, 7, 0xFFFFFFFFu};
  EXPECT_EQ(IntsToText(words), "-1082130432 0 7 -1");
  std::array<uint32_t, 4> back{};
  EXPECT_EQ(TextToInts("-1082130432 0  7 -1 9", back), 4);
  EXPECT_TRUE(std::ranges::equal(back, words));
  EXPECT_EQ(TextToInts("12 3x 4", back), 1);
  EXPECT_EQ(TextToInts("99999999999", back), 0);
}

}  // namespace
}  // namespace namespaceOV
