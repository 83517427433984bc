// The crossover macro library file: the example macro file and a macro of every model byte for
// byte, the older form, damaged macros among good ones, where the file lives and what a failed
// save leaves.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/MacroLibrary.h"

namespace namespaceOV {
namespace {

namespace fs = std::filesystem;

const std::string kHeading =
    "// xmacro.dat\n"
    "// Ordavinex crossover macro file\n";

// Two outputs: A a high crossover at 1200 Hz, B a low one, Linkwitz-Riley 24 dB, B inverted, both
// on network 1, B delayed by one millisecond, a parametric filter on B.
const std::string kExample = kHeading +
                             "\n[Extended]\n"
                             "\n[MacroDef]\n"
                             "\"Stereo 2-way\" \n"
                             "\"LR24 at 1k2\" \n"
                             "2 \n"
                             "0 \n"
                             "1 1200 3 4 \n"
                             "0 \n"
                             "1 1 1200 3 4 \n"
                             "0 \n"
                             "1 \n"
                             "1 \n"
                             "0 48 \n"
                             "1 \n"
                             "3 3 1000 3.000000 8.700000 \n"
                             "\n";

const std::string kOlderForm = kHeading +
                               "\n[MacroDef]\n"
                               "\"Old\" \n"
                               "\"\" \n"
                               "1 \n"
                               "1 500 1 2 \n"
                               "0 \n"
                               "1 \n"
                               "2 \n";

struct MacroFileTest : testing::Test {
  fs::path folder =
      fs::temp_directory_path() / ("macro-file-" + std::to_string(::getpid()) + "-" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::path file = folder / "xmacro.dat";

  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
  void Put(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  std::string Contents() const {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(MacroFileTest, TheExampleMacroFileReadsWholeAndIsWrittenBackByteForByte) {
  Put(kExample);
  MacroLibrary library(file);
  ASSERT_EQ(library.Load(), MacroLibrary::Loaded::kRead);
  ASSERT_EQ(library.Macros().size(), 1u);
  const TXMacro& macro = library.Macros()[0];
  EXPECT_EQ(macro.name, "Stereo 2-way");
  ASSERT_EQ(macro.outputs.size(), 2u);
  EXPECT_EQ(macro.outputs[0].low, nullptr);
  ASSERT_NE(macro.outputs[0].high, nullptr);
  EXPECT_EQ(macro.outputs[0].high->frequency, 1200);
  EXPECT_EQ(macro.outputs[0].high->crossoverType, kCrossoverLinkwitzRiley);
  EXPECT_EQ(macro.outputs[0].high->order, 4);
  ASSERT_NE(macro.outputs[1].low, nullptr);
  EXPECT_TRUE(macro.outputs[1].inverted);
  EXPECT_EQ(macro.outputs[1].network, 1);
  EXPECT_EQ(macro.outputs[1].delay, 48);
  ASSERT_EQ(macro.filters.size(), 1u);
  EXPECT_EQ(macro.filters[0]->channel, 3);
  EXPECT_EQ(MacroFirstOutput(macro, 2), 2) << "channel 3 is output B of a two-input unit";
  fs::remove(file);
  ASSERT_TRUE(library.Save());
  EXPECT_EQ(Contents(), kExample);
}

TEST_F(MacroFileTest, AnOlderFormMacroIsSavedSoThatItReadsBackAndStillKeepsTheDelays) {
  Put(kOlderForm);
  MacroLibrary older(file);
  ASSERT_EQ(older.Load(), MacroLibrary::Loaded::kRead);
  ASSERT_EQ(older.Macros().size(), 1u);
  EXPECT_EQ(older.Macros()[0].outputs[0].delay, std::nullopt);
  EXPECT_TRUE(older.Macros()[0].outputs[0].inverted);
  ASSERT_TRUE(older.Save());

  MacroLibrary again(file);
  ASSERT_EQ(again.Load(), MacroLibrary::Loaded::kRead) << again.LoadError();
  ASSERT_EQ(again.Macros().size(), 1u);
  const MacroOutput& output = again.Macros()[0].outputs[0];
  EXPECT_EQ(output.delay, std::nullopt);
  ASSERT_NE(output.low, nullptr);
  EXPECT_EQ(output.low->frequency, 500);
  EXPECT_EQ(output.network, 2);
  EXPECT_TRUE(again.Macros()[0].filters.empty());
}

// One macro in the program's own layout: output A with a low crossover, the last output with a high
// one, every second output inverted, two outputs to a network, output o delayed by 10 x o.
std::string MacroText(const std::string& name, int outputs,
                      const std::vector<std::string>& records) {
  std::string text =
      "\n[MacroDef]\n\"" + name + "\" \n\"made on the unit\" \n" + std::to_string(outputs) + " \n";
  for (int o = 0; o < outputs; ++o) {
    text += o == 0 ? "1 1200 3 4 \n" : "0 \n";
    text += o == outputs - 1 ? "1 2400 1 2 \n" : "0 \n";
    text += o % 2 ? "1 \n" : "0 \n";
    text += std::to_string(o / 2 + 1) + " ";
  }
  text += "\n";
  for (int o = 0; o < outputs; ++o) text += std::to_string(10 * o) + " ";
  text += "\n" + std::to_string(records.size()) + " \n";
  for (const std::string& record : records) text += record + "\n";
  return text + "\n";
}

TEST_F(MacroFileTest, AMacroOfEveryModelLoadsAndIsSavedBackByteForByte) {
  // Each model's filters on its own output channels, as the unit had them.
  const struct {
    const char* name;
    int outputs;
    int firstOutput;
    std::vector<std::string> records;
  } models[] = {
      {"2 x 2", 2, 2, {"3 3 1000 3.000000 8.700000 ", "6 2 200 -4 "}},
      {"2 x 4", 4, 2, {"3 5 1000 -2.500000 1.400000 ", "7 2 8000 3 "}},
      {"2 x 6", 6, 2, {"3 3 1000 3.000000 8.700000 ", "5 7 40 2 "}},
      {"3 x 7", 7, 4, {"3 4 100 1.000000 2.000000 ", "6 10 300 -4.500000 "}},
      {"4 x 8",
       8,
       4,
       {"3 5 1000 3.000000 8.700000 ", "7 11 9000 -6 ",
        "3 11 60 -1.500000 "
        "4.000000 "}},
      {"6 x 6", 6, 6, {"3 7 1000 3.000000 8.700000 ", "6 11 120 2 "}},
  };
  std::string text = kHeading + "\n[Extended]\n";
  for (const auto& model : models) text += MacroText(model.name, model.outputs, model.records);
  Put(text);
  MacroLibrary library(file);
  ASSERT_EQ(library.Load(), MacroLibrary::Loaded::kRead) << library.LoadError();
  ASSERT_EQ(library.Macros().size(), std::size(models));
  for (std::size_t k = 0; k < std::size(models); ++k) {
    const TXMacro& macro = library.Macros()[k];
    EXPECT_EQ(macro.outputs.size(), static_cast<std::size_t>(models[k].outputs));
    EXPECT_EQ(macro.filters.size(), models[k].records.size());
    EXPECT_EQ(MacroFirstOutput(macro, 0), models[k].firstOutput) << models[k].name;
    EXPECT_EQ(macro.outputs.back().delay, 10 * (models[k].outputs - 1));
  }
  const auto& shelf = dynamic_cast<const TLowshelfFilter&>(*library.Macros()[3].filters[1]);
  EXPECT_EQ(shelf.level, -4.5f) << "a shelf keeps its fraction";
  fs::remove(file);
  ASSERT_TRUE(library.Save()) << library.SaveError();
  EXPECT_EQ(Contents(), text);
}

TEST_F(MacroFileTest, SixOutputMacrosLandOnTheSameOutputsOfEitherSixOutputModel) {
  const auto macro = [](std::vector<int> channels) {
    TXMacro made;
    made.outputs.resize(6);
    for (int channel : channels) {
      made.filters.push_back(std::make_unique<TParametricFilter>());
      made.filters.back()->channel = channel;
    }
    return made;
  };
  // Made on the 2-input model: channel 3 is output B; on the 4-input model's 6 x 6: channel 11 is
  // F.
  EXPECT_EQ(MacroFirstOutput(macro({3, 6}), 6), 2);
  EXPECT_EQ(MacroFirstOutput(macro({6, 11}), 2), 6);
  // Filters only on channels both have as outputs, or none: taken as made on the unit itself.
  EXPECT_EQ(MacroFirstOutput(macro({6, 7}), 2), 2);
  EXPECT_EQ(MacroFirstOutput(macro({6, 7}), 6), 6);
  EXPECT_EQ(MacroFirstOutput(macro({}), 6), 6);
}

TEST_F(MacroFileTest, ADamagedMacroIsLeftOutTheOthersAreKeptAndTheFileIsNeverSavedOver) {
  const std::string damagedMacro = "\n[MacroDef]\n\"Second\" \n\"\" \n1 \n0 \n0 \n0 \n0 \n";
  const std::string lastMacro = MacroText("Third", 2, {"3 2 500 1.000000 1.000000 "});
  const struct {
    std::string damage;
    std::string error;
  } cases[] = {
      {"0 \n1 \n42 1 1000 \n", "Unknown filter type 42 (line 32)"},
      {"0 \n1 \n8 2 1000 1 2 \n", "Unknown filter type 8 (line 32)"},
      {"0 \n1 \n3 9 1000 1.0 1.0 \n", "Filter on a channel the macro has no output for (line 32)"},
      {"0 \n1 \n\x01\x7f#garbage\n", "Format error in file: a number is expected here. (line 32)"},
      {"-2 \n0 \n", "The delay -2 is out of range (-1 to 16777216). (line 30)"},
      {"16777217 \n0 \n", "The delay 16777217 is out of range (-1 to 16777216). (line 30)"},
      {"0 \n257 \n", "The filter count 257 is out of range (0 to 256). (line 31)"},
      // Its filter count reaches into the next macro, whose header stops it.
      {"0 \n2 \n", "Format error in file: a number is expected here. (line 33)"},
  };
  for (const auto& c : cases) {
    Put(kExample + damagedMacro + c.damage + lastMacro);
    MacroLibrary library(file);
    EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged) << c.damage;
    EXPECT_EQ(library.LoadError(), c.error);
    ASSERT_EQ(library.Macros().size(), 2u) << "the macros before and after the damage stay";
    EXPECT_EQ(library.Macros()[1].name, "Third");
    EXPECT_FALSE(library.Writable());
    library.Remove(0);
    EXPECT_FALSE(library.Save());
    EXPECT_NE(library.SaveError().find("could not be read whole"), std::string::npos);
    EXPECT_EQ(Contents(), kExample + damagedMacro + c.damage + lastMacro);
  }
  // Every damaged macro is named.
  Put(kExample + damagedMacro + "0 \n1 \n42 1 1000 \n" + damagedMacro + "x");
  MacroLibrary library(file);
  EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
  EXPECT_EQ(library.LoadError(),
            "Unknown filter type 42 (line 32)\nFormat error in file: a number is expected here. "
            "(line 42)");
  EXPECT_EQ(library.Macros().size(), 1u);
}

TEST_F(MacroFileTest, NamesLongerThanTheirFieldsAreErrors) {
  Put(kHeading + "\n[MacroDef]\n\"" + std::string(30, 'n') + "\" \n\"\" \n1 \n0 \n0 \n0 \n0 \n");
  MacroLibrary library(file);
  EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
  EXPECT_EQ(library.LoadError(),
            "Format error in file: the text is longer than 29 characters. (line 5)");
  Put(kHeading + "\n[MacroDef]\n\"" + std::string(29, 'n') + "\" \n\"" + std::string(70, 'd') +
      "\" \n1 \n0 \n0 \n0 \n0 \n");
  EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
}

TEST_F(MacroFileTest, ANameNoSettingsFileCanCarryIsAnErrorAndTheFileIsKept) {
  const std::string reason = SettingsTextFile::kUncarriedReason;
  const struct {
    std::string name, description, error;
  } cases[] = {
      {"Ol\x7f"
       "der",
       "", reason + " (line 7)"},
      {"Main", "[MacroDef]", reason + " (line 8)"},
  };
  for (const auto& c : cases) {
    Put(kHeading + "\n[Extended]\n\n[MacroDef]\n\"" + c.name + "\" \n\"" + c.description +
        "\" \n1 \n0 \n0 \n0 \n0 \n" + MacroText("Kept", 1, {}));
    MacroLibrary library(file);
    EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
    EXPECT_EQ(library.LoadError(), c.error);
    ASSERT_EQ(library.Macros().size(), 1u);
    EXPECT_FALSE(library.Save());
  }
}

// Every way a library can fail to be read whole: the reason given, what is still read, and the
// file never saved over.
TEST_F(MacroFileTest, ALibraryNotReadWholeSaysWhyAndIsNeverSavedOver) {
  const std::string macro = MacroText("Kept", 2, {});
  const std::string extended = kHeading + "\n[Extended]\n" + macro;
  std::string utf16;
  for (char c : extended) utf16 += std::string{c, '\0'};
  std::string crOnly = extended;
  std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
  const auto filter = [&](const std::string& record) {
    return kHeading + "\n[Extended]\n" + MacroText("Filtered", 2, {record});
  };
  const struct {
    std::string text;
    MacroLibrary::Loaded loaded;
    std::string reason;
    std::size_t macros;
  } cases[] = {
      {"\xFF\xFE" + utf16, MacroLibrary::Loaded::kUnreadable, "saved as UTF-16", 0},
      {crOnly, MacroLibrary::Loaded::kUnreadable, "carriage return alone (line 1)", 0},
      {kHeading.substr(0, 20), MacroLibrary::Loaded::kUnreadable, "cut short", 0},
      {kHeading + "\n[Extendex]\n" + macro, MacroLibrary::Loaded::kUnreadable,
       "form cannot be told (line 4)", 0},
      {kHeading + "\n[Exten", MacroLibrary::Loaded::kUnreadable, "form cannot be told (line 4)", 0},
      {std::string("// x\n[MacroDef]\n\"Ol\r\0der\" \n", 26), MacroLibrary::Loaded::kUnreadable,
       "byte of nothing (line 3)", 0},
      {extended + "\n[MacroDeg]\n\"Lost\" \n", MacroLibrary::Loaded::kDamaged,
       "Text that belongs to no macro (line 21)", 1},
      {extended + "\n[Extended]\n", MacroLibrary::Loaded::kDamaged,
       "Text that belongs to no macro (line 21)", 1},
      // The older form's macro ends before the delays that the extended form has.
      {kOlderForm + "\n[Extended]\n" + macro, MacroLibrary::Loaded::kDamaged,
       "Text that belongs to no macro (line 13)\nText that belongs to no macro (line 26)", 2},
      {filter("3 3 -1000 3.000000 8.700000 "), MacroLibrary::Loaded::kDamaged,
       "The filter frequency in Hz -1000 is out of range (20 to 20000). (line 19)", 0},
      {filter("3 3 2000000000 3.000000 8.700000 "), MacroLibrary::Loaded::kDamaged,
       "filter frequency in Hz 2e+09 is out of range", 0},
      {filter("3 3 1000 1e30 8.700000 "), MacroLibrary::Loaded::kDamaged,
       "The filter level in dB 1e+30 is out of range (-70 to 12).", 0},
      {filter("3 3 1000 3.000000 -8.700000 "), MacroLibrary::Loaded::kDamaged,
       "The filter Q -8.7 is out of range (0.1 to 100).", 0},
      {filter("6 3 1000 nan "), MacroLibrary::Loaded::kDamaged, "Format error in file", 0},
      {filter("7 3 1000 13 "), MacroLibrary::Loaded::kDamaged,
       "The filter level in dB 13 is out of range (-12 to 12).", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    Put(c.text);
    MacroLibrary library(file);
    EXPECT_EQ(library.Load(), c.loaded);
    EXPECT_NE(library.LoadError().find(c.reason), std::string::npos) << library.LoadError();
    EXPECT_EQ(library.Macros().size(), c.macros);
    EXPECT_FALSE(library.Writable());
    library.Add(TXMacro{.name = "New"});
    EXPECT_FALSE(library.Save());
    EXPECT_EQ(Contents(), c.text);
  }
  // One that cannot be opened, or is too large, is no missing one.
  Put(extended);
  fs::permissions(file, fs::perms::none);
  // Where permissions do not keep this process out (root), there is nothing to see.
  if (!std::ifstream(file).good()) {
    MacroLibrary locked(file);
    EXPECT_EQ(locked.Load(), MacroLibrary::Loaded::kUnreadable);
    EXPECT_NE(locked.LoadError().find("could not be opened: Permission denied"), std::string::npos)
        << locked.LoadError();
    EXPECT_FALSE(locked.Save());
  }
  fs::permissions(file, fs::perms::owner_all);
  MacroLibrary folderLibrary(folder);
  EXPECT_EQ(folderLibrary.Load(), MacroLibrary::Loaded::kUnreadable);
  EXPECT_NE(folderLibrary.LoadError().find("is no file that can be read"), std::string::npos);
  EXPECT_FALSE(folderLibrary.Save());
  fs::resize_file(file, 17 * 1024 * 1024);
  MacroLibrary large(file);
  EXPECT_EQ(large.Load(), MacroLibrary::Loaded::kUnreadable);
  EXPECT_NE(large.LoadError().find("larger than a macro library can be"), std::string::npos);
  EXPECT_FALSE(large.Save());
  EXPECT_EQ(fs::file_size(file), 17u * 1024 * 1024);
  // A library with no macros in either form, and an empty file, are read whole.
  for (const std::string& empty : {kHeading, kHeading + "\n[Extended]\n", std::string()}) {
    Put(empty);
    MacroLibrary library(file);
    EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kRead) << empty;
    EXPECT_TRUE(library.Writable());
  }
}

TEST_F(MacroFileTest, AFailedWriteIsReportedAndLeavesTheOldFile) {
  Put(kExample);
  MacroLibrary library(file);
  ASSERT_EQ(library.Load(), MacroLibrary::Loaded::kRead);
  MacroLibrary elsewhere(file / "xmacro.dat");  // a folder that is a file
  EXPECT_EQ(elsewhere.Load(), MacroLibrary::Loaded::kMissing);
  EXPECT_FALSE(elsewhere.Save());
  EXPECT_NE(elsewhere.SaveError().find("could not be written"), std::string::npos);
  EXPECT_EQ(Contents(), kExample);
}

TEST_F(MacroFileTest, TheLibraryLivesInTheUsersDataFolderAndSortsByName) {
  const char* saved = ::getenv("XDG_DATA_HOME");
  const std::string before = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
  EXPECT_EQ(MacroLibrary::UserFile(), folder / "TelvoWin2" / "xmacro.dat");
  ::setenv("XDG_DATA_HOME", "relative", 1);
  EXPECT_EQ(MacroLibrary::UserFile(),
            fs::path(::getenv("HOME")) / ".local" / "share" / "TelvoWin2" / "xmacro.dat");
  saved ? ::setenv("XDG_DATA_HOME", before.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");

  MacroLibrary library(folder / "new" / "xmacro.dat");
  for (const char* name : {"beta", "Alpha", "gamma"}) library.Add(TXMacro{.name = name});
  library.Sort();
  EXPECT_EQ(library.Macros()[0].name, "gamma");
  EXPECT_EQ(library.Macros()[2].name, "Alpha");
  EXPECT_TRUE(library.Save()) << "the first save makes the folder";
}

}  // namespace
}  // namespace namespaceOV
