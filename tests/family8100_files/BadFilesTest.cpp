// Files that must not hurt an older-family unit: refused whole, by line, before a word goes to the
// unit; and loads that a bus failure ends part way, which put the unit back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "controls/CarriedName.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/CheckedFileReader.h"
#include "platform/ui/Dialog.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familycommon/TracedProgress.h"
#include "tests/familyov_files/FilesTestSupport.h"

using namespace namespace8100;
using filestest::ReadText;
using filestest::WriteText;
using sim::family8100::Model;
using testsupport8100::Described;
using testsupport8100::Made;
using testsupport8100::ModelMask;
using testsupport8100::NewVirtualUnit;
using enum testsupport8100::ModelMask;

namespace {

// What a load may change: the current settings, filters, names, preset map and memory 1.
struct UnitState {
  SettingsRecord settings;
  std::vector<std::string> filters;
  std::string name;
  std::string memoryName;
  int preset = 0;
  bool operator==(const UnitState&) const = default;
};

UnitState StateOf(IQDevice8100& unit) {
  UnitState state{unit.ReadSettingsRecord(), Described(unit), unit.GetName()};
  g8100MemoryIndex.Write(unit, 1);
  state.memoryName = unit.GetMemoryName();
  g8100PresetIndex.Write(unit, 1);
  state.preset = unit.GetPresetMapEntry();
  return state;
}

// An X unit with a filter and both crossovers, and a file of it with memory 1.
void Furnish(IQDevice8100& unit) {
  testsupport8100::AddFilter(unit, Made<TParametricFilter>(kLeftInputBank, 700));
  testsupport8100::AddFilter(unit, Made<TLowCrossoverFilter>(kLeftOutputBank, 300));
  testsupport8100::AddFilter(unit, Made<THighCrossoverFilter>(kRightOutputBank, 3000));
  g8100LeftDelay.Write(unit, 5);
  g8100RightAttenuation.Write(unit, 12);
}

std::string Saved(IQDevice8100& unit, const std::string& path, uint32_t memories = 0x1) {
  SettingsTextFile file;
  EXPECT_TRUE(file.Open(path, SettingsTextFile::kWrite));
  WriteSettingsFile(unit, file, memories);
  EXPECT_TRUE(file.Close());
  return ReadText(path);
}

// `text` with its first `from` replaced by `to`.
std::string With(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class OlderFamilyBadFileTest : public filestest::FilesTest {};

// The line of the first character of `marker` in `text`.
int LineOf(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << marker;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

}  // namespace

TEST_F(OlderFamilyBadFileTest, BadFilesAreRefusedByLineAndLeaveTheUnitAsItWas) {
  IQDevice8100X source(nullptr, nullptr, nullptr);
  source.SetName("Stage");
  Furnish(source);
  const std::string good = Saved(source, TempPath("good.ov0"));
  const std::string memory = good.substr(0, good.find("[Current Settings]"));
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {good.substr(0, good.size() / 2), "The file ends early"},
      {"[Device Type]\n\"Standard\" \n", "The file ends early"},
      {With(good, "2 700 ", "2 -1000 "), "Line 36: The filter frequency -1000 is out of range."},
      {With(good, "2 700 ", "2 2147483647 "), "Line 36: The filter frequency 2147483647"},
      {With(good, "700 0.000000 0.000000", "700 0.000000 -3e38"),
       "Line 36: The filter Q is out of range."},
      {With(good, "65537 \n[Delay]\n5", "-1 \n[Delay]\n5"), "Line 31: The routing -1 is no valid"},
      {With(good, "0.000021 0.000021 0 \n\n[Current", "0.000021 0.000021 99 \n\n[Current"),
       "Line 26: The limiter mode 99 is no valid setting."},
      {With(good, "0.000021 0.000021 0 \n\n[Current", "-3e38 0.000021 0 \n\n[Current"),
       "Line 26: The release -3e+38 is out of range (0 to 1)."},
      {With(good, "8 4 300 1 2", "8 4 300 77 2"), "Line 39: The crossover alignment 77"},
      {With(good, "[Filters]\n1 ", "[Filters]\n-5 "),
       "Line 35: The filter count -5 is out of range (0 to 78)."},
      {With(good, "\n3 2 700", "\n12 2 700"), "Line 36: The filter type 12 is unknown."},
      {With(good, "\"Memory 1\"", "\"Mix [L\""), "Line 14: A name cannot hold"},
      {With(good, "\"Memory 1\"", "\"[Delay]99 99\""), "Line 14: A name cannot hold"},
      {With(good, "\"Memory 1\"", "\"tab\tbed\""), "Line 14: A name cannot hold"},
      {With(good, "[Preset map]\n1 ", "[Preset map]\n13 "),
       "Line 49: The preset's memory 13 is out of"},
      {With(good, "[Globals]\n0 12", "[Globals]\n0 x12"), "Line 31: Format error in file"},
      {memory + "[Current Settings]\n[Globals]\n0 0 0 \n// End of file\n",
       "Line 31: Format error in file"}};

  IQDevice8100X unit(nullptr, nullptr, nullptr);
  unit.SetName("Unit");
  g8100LeftDelay.Write(unit, 40);
  const UnitState before = StateOf(unit);
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    WriteText(TempPath("bad.ov0"), text);
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(TempPath("bad.ov0"), SettingsTextFile::kRead));
    try {
      ReadSettingsFile(unit, file);
      ADD_FAILURE() << "loaded";
    } catch (const familycommon::FileLineError& error) {
      EXPECT_THAT(error.what(), testing::HasSubstr(message));
      EXPECT_EQ(std::string(error.what()).rfind("Line ", 0), 0u) << error.what();
    }
    EXPECT_EQ(StateOf(unit), before);
  }

  // The good file itself loads.
  WriteText(TempPath("good.ov0"), good);
  SettingsTextFile file;
  ASSERT_TRUE(file.Open(TempPath("good.ov0"), SettingsTextFile::kRead));
  ApplySettingsLoad(unit, ReadSettingsFile(unit, file), 0x1);
  EXPECT_EQ(StateOf(unit).filters, Described(source));
}

// Each edit of a saved file either loads exactly as the file says, or is refused at the line
// named with its reason and leaves the unit as it was, on every model the edit concerns.
TEST_F(OlderFamilyBadFileTest, AcceptedMeansLoadedAsWrittenElseRefusedByLine) {
  // 78 low-pass filters of the largest order: seventeen fill 68 of the 70 sections.
  std::string fullList = "[Filters 2]\n78 \n";
  for (int i = 0; i < 78; ++i) fullList += "4 3 " + std::to_string(1000 + i) + " 8 \n";
  const std::string lowCrossover = "8 4 300 1 2 \n";
  const struct {
    unsigned models;
    std::string from;
    std::string to;
    // Where the refusal points, when not at `to`; empty for a file that loads.
    std::string at;
    std::string reason;
    // For a file that loads: the edit of the saved file that saving the unit gives back.
    std::pair<std::string, std::string> saved;
    // The memories of the file edited: memory 2, or none.
    uint32_t memories = 0x2;
    // Whether every `from` is replaced, not only the first.
    bool everywhere = false;
    // When set, the edit replaces all from `from` up to this.
    std::string until;
  } cases[] = {
      {kAllModels, "", "", "", "", {}},
      // Each model's own sections load, the current settings' and a memory's.
      {kPlus | kX, "[Delay 2]\n0 0", "[Delay 2]\n480 0", "", "", {}},
      {kX, "[Polarity]\n0 0", "[Polarity]\n1 0", "", "", {}},
      {kRuneTide, "[Noise Sources]\n0 -40.000000 1", "[Noise Sources]\n1 -12.500000 0", "", "", {}},
      {kRuneTide,
       "[Noise Sources 2]\n0 -40.000000 1 0 -40.000000 1",
       "[Noise Sources 2]\n0 -40.000000 1 1 -20.000000 0",
       "",
       "",
       {}},
      {kAllModels, "[Current Settings]", "[Current Settingz]", "[Globals]",
       "The section [Globals] stands without its [Current Settings] section."},
      {kAllModels, "[Current Settings]", "[" + std::string(31, 'C') + "]", "[Globals]",
       "The section [Globals] stands without its [Current Settings] section."},
      {kAllModels, "[Settings Memory 2]", "[Settings Memory 13]", "[Globals 2]",
       "The section [Globals 2] stands without its [Settings Memory 2] section."},
      {kAllModels, "[Settings Memory 2]", "[Settings Memory 0]", "[Globals 2]",
       "The section [Globals 2] stands without its [Settings Memory 2] section."},
      {kAllModels, "[Settings Memory 2]", "[Settings Memory -1]", "[Globals 2]",
       "The section [Globals 2] stands without its [Settings Memory 2] section."},
      {kAllModels, "[Globals 2]", "[Globalz 2]", "[Settings Memory 2]",
       "The section [Globals 2] is missing from memory 2."},
      {kPlus | kX, "[Delay]", "[Delays]", "[Current Settings]",
       "The section [Delay] is missing from the current settings."},
      {kAllModels, "[Filters]", "[Globals 2]\n0 0 0 0 0 \n[Filters]", "",
       "The section [Globals 2] appears twice."},
      {kAllModels, "[Preset map]", "[Preset mop]", "// End of file",
       "The section [Preset map] is missing."},
      {kAllModels, "[Filters 2]\n1 ", "[Filters 2]\n0 ", "5 1 50 2",
       "The section [Filters 2] holds more values than it takes."},
      {kAllModels, "[Globals 2]\n0 0 0 ", "[Globals 2]\n0 0 7 ", "0 0 7 ",
       "The left mute 7 is out of range (0 to 1)."},
      {kAllModels, "5 1 50 2 ", "5 1 50 2147483647 ", "",
       "The filter order 2147483647 is out of range (1 to 8)."},
      {kAllModels, "5 1 50 2 ", "5 1 50 -8 ", "", "The filter order -8 is out of range (1 to 8)."},
      {kAllModels, "5 1 50 2 ", "5 0 50 2 ", "", "The filter bank 0 is out of range (1 to 4)."},
      {kAllModels, "5 1 50 2 ", "5 1e39 50 2 ", "", "The filter bank is no whole number."},
      {kAllModels, "[Filters 2]\n1 \n5 1 50 2 \n", fullList, "4 3 1017 8",
       "The filter does not fit: the filters before it take 68 of the unit's 70 DSP sections, and "
       "it needs 4."},
      {kBase | kPlus | kRuneTide, "[Filters 2]\n1 \n", "[Filters 2]\n2 \n" + lowCrossover,
       lowCrossover, "Only the Ordavinex X takes a crossover filter."},
      // The X takes a crossover of the list as its own, and saves it in its own section.
      {kX,
       "[Filters 2]\n1 \n",
       "[Filters 2]\n2 \n" + lowCrossover,
       "",
       "",
       {"5 1 50 2 \n\n[Polarity 2]",
        "5 1 50 2 \n\n[Low Crossover 2]\n" + lowCrossover + "\n[Polarity 2]"}},
      {kX, "[Filters 2]\n1 \n", "[Filters 2]\n3 \n" + lowCrossover + "8 4 200 1 2 \n", "8 4 200",
       "The settings hold a second low crossover."},
      {kX, "[Limiting 2]\n262765.000000", "[Limiting 2]\n262765.500000", "262765.5",
       "The threshold 262765.500000 is no whole number."},
      // Every header is read, or passed over as another model's: one that no model's file holds
      // would go with its values.
      {kAllModels,
       " 2]\n",
       " 13]\n",
       "[Settings Memory 13]",
       "The section [Settings Memory 13] does not belong in this file.",
       {},
       0x2,
       true},
      {kPlus | kX,
       "[Delay]",
       "[Delax]",
       "",
       "The section [Delax] does not belong in this file.",
       {},
       0},
      {kAllModels, "[Preset map]", "[Presets]\n1 \n[Preset map]", "",
       "The section [Presets] does not belong in this file."},
      {kAllModels, "[Current Settings]", "[Current Settings]\n[" + std::string(31, 'C') + "]",
       std::string(31, 'C'), "Unexpected text after the values of [Current Settings]."},
      {kAllModels, "[Current Settings]", "[Device Type]\n\"Standard\" \n[Current Settings]", "",
       "The section [Device Type] appears twice."},
      {kAllModels, "[Interface Name]\n", "", "\"Stage\"",
       "The section [Device Type] holds more values than it takes."},
      // Another model's sections are passed over, and not saved again, but each stands once and
      // holds numbers only.
      {kBase | kRuneTide,
       "[Filters]",
       "[Delay]\n0 0 \n[Filters]",
       "",
       "",
       {"[Filters]", "[Filters]"}},
      {kBase | kPlus | kX,
       "[Filters]",
       "[Noise Sources]\n0 -40.0 1 0 -40.0 1 \n[Filters]",
       "",
       "",
       {"[Filters]", "[Filters]"}},
      {kBase | kPlus | kRuneTide, "[Filters]", "[Polarity]\n1 1 \n[Polarity]\n1 1 \n[Filters]",
       "[Polarity]\n1 1 \n[Filters]", "The section [Polarity] appears twice."},
      {kBase | kPlus | kRuneTide, "[Filters]", "[Polarity]\n1 \"x\n[Filters]", "\"x",
       "Format error in file: a number is expected here."},
      // The limiter mode's bytes are 0 or 0xFF, each switch of the limiter dialog on or off.
      {kX, "0.000021 0 \n\n[Current", "0.000021 65280 \n\n[Current", "", "", {}},
      {kX, "0.000021 0 \n\n[Current", "0.000021 -1 \n\n[Current", "", "", {}},
      {kX, "0.000021 0 \n\n[Current", "0.000021 1 \n\n[Current", "0.000021 1 ",
       "The limiter mode 1 is no valid setting."},
      {kX, "0.000021 0 \n\n[Current", "0.000021 65281 \n\n[Current", "0.000021 65281 ",
       "The limiter mode 65281 is no valid setting."},
      // A noise type other than pink is flat, whatever its number.
      {kRuneTide, "[Noise Sources]\n0 ", "[Noise Sources]\n255 ", "", "", {}},
      {kRuneTide, "[Noise Sources]\n0 ", "[Noise Sources]\n256 ", "256 ",
       "The noise type 256 is out of range (0 to 255)."},
      // The program's name for a virtual unit is as long as the user may type it, and cut there.
      {kAllModels, "\"Stage\"", "\"" + std::string(79, 'S') + "\"", "", "", {}},
      {kAllModels,
       "\"Stage\"",
       "\"" + std::string(80, 'S') + "\"",
       "",
       "",
       {"\"Stage\"", "\"" + std::string(79, 'S') + "\""}},
      // A file of memories only: the current settings are the last memory's, the preset map stays.
      {kAllModels,
       "[Current Settings]",
       "",
       "",
       "",
       {"[Device Type]", "[Device Type]"},
       0x2,
       false,
       "\n// End of file"},
      {kAllModels,
       "[Current Settings]",
       "",
       "[Preset map]",
       "The section [Preset map] stands without its [Current Settings] section.",
       {},
       0x2,
       false,
       "[Preset map]"}};

  for (const ModelMask model : testsupport8100::kEachModel) {
    SCOPED_TRACE(model);
    const std::unique_ptr<IQDevice8100> source = NewVirtualUnit(model);
    source->SetName("Stage");
    // One filter alone: the Rune Tide starts with a bank of boost/cut filters.
    source->RemoveFilters();
    testsupport8100::AddFilter(*source, Made<THighpassFilter>(kRightInputBank, 50));
    source->SaveMemory(2);
    const std::string good = Saved(*source, TempPath("good.ov0"), 0x2);
    const std::string bare = Saved(*source, TempPath("bare.ov0"), 0);
    for (const auto& c : cases) {
      if ((c.models & model) == 0) continue;
      SCOPED_TRACE(c.to);
      std::string text = c.memories == 0 ? bare : good;
      std::string from = c.from;
      if (!c.until.empty()) {
        const std::size_t begin = text.find(c.from);
        from = text.substr(begin, text.find(c.until, begin) - begin);
      }
      if (!from.empty()) text = With(text, from, c.to);
      while (c.everywhere && text.find(c.from) != std::string::npos)
        text = With(text, c.from, c.to);
      const std::unique_ptr<IQDevice8100> unit = NewVirtualUnit(model);
      g8100LeftAttenuation.Write(*unit, 40);
      const UnitState before = StateOf(*unit);
      WriteText(TempPath("edited.ov0"), text);
      SettingsTextFile file;
      ASSERT_TRUE(file.Open(TempPath("edited.ov0"), SettingsTextFile::kRead));
      try {
        const SettingsLoad load = ReadSettingsFile(*unit, file);
        EXPECT_EQ(c.reason, "") << "loaded";
        ApplySettingsLoad(*unit, load, load.Memories());
        const std::string expected =
            c.saved.first.empty() ? text : With(good, c.saved.first, c.saved.second);
        EXPECT_EQ(Saved(*unit, TempPath("again.ov0"), c.memories), expected);
      } catch (const familycommon::FileLineError& error) {
        const std::string line = std::to_string(LineOf(text, c.at.empty() ? c.to : c.at));
        EXPECT_THAT(error.what(), testing::StartsWith("Line " + line + ": " + c.reason));
        EXPECT_NE(c.reason, "");
        EXPECT_EQ(StateOf(*unit), before);
      }
    }
  }
}

// The bad files kept beside the tests, for the fuzzer's corpus too: each one is refused by line,
// or as no settings file at all, and the unit stays as it was.
TEST_F(OlderFamilyBadFileTest, EveryKeptBadFileIsRefusedAndLeavesTheUnitAsItWas) {
  IQDevice8100X unit(nullptr, nullptr, nullptr);
  const UnitState before = StateOf(unit);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TELVO_REFUSED_DIR)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(entry.path().string(), SettingsTextFile::kRead));
    if (!IsSettingsFile(file)) continue;
    try {
      ReadSettingsFile(unit, file);
      ADD_FAILURE() << "loaded";
    } catch (const familycommon::FileLineError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("Line ", 0), 0u) << error.what();
    }
    EXPECT_EQ(StateOf(unit), before);
  }
  EXPECT_EQ(files, 18);
}

TEST_F(OlderFamilyBadFileTest, TheLoadCommandSaysWhyAFileIsRefused) {
  IQDevice8100X unit(nullptr, nullptr, nullptr);
  const UnitState before = StateOf(unit);
  const std::pair<std::string, std::string> cases[] = {
      {std::string(15 * 1024 * 1024, '['),
       "The file is too large: 15728640 bytes, where a settings file of this kind holds at most "
       "1048576."},
      {"\x01\x02garbage\xff", "Unrecognized file format."},
      {"[Device Type]\n\"Standard\" \n[Current Settings]\n[Globals]\n1 2 \"3\" 0 1 \n// End of "
       "file\n",
       "Line 5: Format error in file: a number is expected here.\nNothing was loaded."}};
  for (const auto& [text, message] : cases) {
    WriteText(TempPath("bad.ov0"), text);
    script.AnswerOpenFile(TempPath("bad.ov0")).AnswerMessageBox(ui::kIdOk);
    EXPECT_FALSE(unit.LoadFile());
    EXPECT_EQ(script.Seen().back().text, message);
  }
  EXPECT_EQ(StateOf(unit), before);
}

// Files that load and leave part of the unit as it was: a file of its mark alone changes nothing
// and says nothing; the presets a file leaves empty keep the unit's own entries, and the load
// names them.
TEST_F(OlderFamilyBadFileTest, TheLoadCommandNamesThePresetsThatKeptTheUnitsEntry) {
  IQDevice8100X source(nullptr, nullptr, nullptr);
  const std::string good = Saved(source, TempPath("good.ov0"), 0);
  const std::string presets = "[Preset map]\n1 2 3 ";
  const struct {
    std::string text;
    // Presets 1 to 3 after the load, which found them on memory 9.
    std::vector<int> entries;
    std::string message;
  } cases[] = {
      {"[Device Type]\n\"Standard\" \n\n// End of file\n", {9, 9, 9}, ""},
      {good, {1, 2, 3}, ""},
      {With(good, presets, "[Preset map]\n1 2 0 "),
       {1, 2, 9},
       "Preset 3 is empty in the file: the unit takes no empty preset, so it kept its own memory."},
      {With(good, presets, "[Preset map]\n0 2 0 "),
       {9, 2, 9},
       "Presets 1 and 3 are empty in the file: the unit takes no empty preset, so they kept their "
       "own memories."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(c.text.find("[Preset map]") + 1));
    IQDevice8100X unit(nullptr, nullptr, nullptr);
    g8100LeftAttenuation.Write(unit, 40);
    for (uint8_t preset = 1; preset <= 3; ++preset) {
      g8100PresetIndex.Write(unit, preset);
      unit.SetPresetMapEntry(9);
    }
    const UnitState before = StateOf(unit);
    WriteText(TempPath("load.ov0"), c.text);
    script.AnswerOpenFile(TempPath("load.ov0"))
        .RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
    if (!c.message.empty()) script.AnswerMessageBox(ui::kIdOk);
    const std::size_t prompts = script.Seen().size();
    EXPECT_TRUE(unit.LoadFile());
    EXPECT_EQ(script.Seen().size(), prompts + (c.message.empty() ? 2 : 3));
    if (!c.message.empty()) {
      EXPECT_EQ(script.Seen().back().text, c.message);
    }
    std::vector<int> entries;
    for (uint8_t preset = 1; preset <= 3; ++preset) {
      g8100PresetIndex.Write(unit, preset);
      entries.push_back(unit.GetPresetMapEntry());
    }
    EXPECT_EQ(entries, c.entries);
    EXPECT_EQ(StateOf(unit) == before, c.text == cases[0].text);
    EXPECT_TRUE(g8100BulkMute.Read(unit));
  }
}

TEST(OlderFamilyLoadFailureTest, AFailureAtAnyStepOfALoadPutsTheUnitBackAndLiftsTheMute) {
  QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/load.ov0";
  const std::string backPath = folder.path().toStdString() + "/back.ov0";
  testsupport8100::OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 3});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  {
    // The file: a unit furnished otherwise than the one on the bus.
    IQDevice8100X other(nullptr, nullptr, nullptr);
    Furnish(other);
    Saved(other, path);
  }
  testsupport8100::AddFilter(*unit, Made<THighpassFilter>(kRightInputBank, 50));
  g8100LeftAttenuation.Write(*unit, 30);
  Saved(*unit, backPath);
  const auto read = [&](const std::string& from) {
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(from, SettingsTextFile::kRead));
    return ReadSettingsFile(*unit, file);
  };
  const SettingsLoad load = read(path);
  const SettingsLoad back = read(backPath);
  // The current settings and filters as the unit holds them.
  const auto current = [&] {
    unit->ResetValueStore();
    unit->ReadAllParameters();
    return std::pair(unit->ReadSettingsRecord(), Described(*unit));
  };
  const auto before = current();

  // A clean load lists the steps: a failure is injected at every third write once the unit is
  // muted, and before it, in the read of the filters the unit has now.
  bus.TakeTrace();
  std::vector<std::string> trace;
  TracedProgress progress([&] {
    const std::vector<std::string> sent = bus.TakeTrace();
    trace.insert(trace.end(), sent.begin(), sent.end());
    return sent;
  });
  ApplySettingsLoad(*unit, load, 0x1, &progress);
  ExpectReadFirst(progress, kMemoryCount, "Setting device parameters...");
  ApplySettingsLoad(*unit, back, 0x1);
  ASSERT_EQ(current(), before);
  const auto muted = std::find(trace.begin(), trace.end(), "W0D 00");
  ASSERT_NE(muted, trace.end());
  std::vector<int> steps{1, 2, 3, 4, static_cast<int>(muted - trace.begin())};
  int writes = 0;
  for (auto at = muted; at != trace.end(); ++at) {
    if ((*at)[0] == 'W' && writes++ % 3 == 0)
      steps.push_back(static_cast<int>(at - trace.begin()) + 1);
  }
  ASSERT_GT(steps.size(), 20u);
  for (const int step : steps) {
    SCOPED_TRACE(trace.at(static_cast<std::size_t>(step - 1)));
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(step));
    TracedProgress failing([] { return std::vector<std::string>(); });
    try {
      ApplySettingsLoad(*unit, load, 0x1, &failing);
      ADD_FAILURE() << "no failure";
    } catch (const TransferFailure& failure) {
      EXPECT_TRUE(failure.Restored(*unit));
      EXPECT_THROW(std::rethrow_exception(failure.error), ErrorObject);
    }
    // The window opened for the read, and closes whichever step failed.
    ASSERT_FALSE(failing.reports.empty());
    EXPECT_EQ(failing.reports.front().what, "Begin 1 Reading the unit's settings...");
    EXPECT_EQ(failing.reports.back().what, "End");
    if (step == 1) {
      EXPECT_EQ(failing.reports.size(), 2u) << "a failed read goes no further";
    }
    bus.bus.ClearFaults();
    EXPECT_TRUE(g8100BulkMute.Read(*unit));
    // The program's filters are the unit's before anything reads them again.
    EXPECT_EQ(Described(*unit), before.second);
    EXPECT_EQ(current(), before);
  }

  // A unit that stops answering once written to cannot be put back, and the failure says so.
  bus.bus.AddFault(sim::Fault::ErrorObject(7)
                       .OnOccurrence(static_cast<int>(muted - trace.begin()) + 10)
                       .Times(sim::Fault::kForever));
  try {
    ApplySettingsLoad(*unit, load, 0x1);
    ADD_FAILURE() << "no failure";
  } catch (const TransferFailure& failure) {
    EXPECT_FALSE(failure.Restored(*unit));
  }
  bus.bus.ClearFaults();
}

TEST_F(OlderFamilyBadFileTest, NamesAFileCannotCarryAreRefusedWithTheReason) {
  for (const char* name : {"[Delay]99 99", "Say \"hi\"", "two\nlines"}) {
    script.AnswerMessageBox(ui::kIdOk);
    EXPECT_TRUE(controls::RefusedName(nullptr, name, "Unit name")) << name;
    EXPECT_EQ(script.Seen().back().text, SettingsTextFile::kUncarriedReason);
  }
  EXPECT_FALSE(controls::RefusedName(nullptr, "Stage (left) #2", "Unit name"));
}
