// The crossover macro library file: the documented example byte for byte, the older form, damaged
// files, where the file lives and what a failed save leaves.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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

TEST_F(MacroFileTest, TheExampleReadsAsDocumentedAndIsWrittenBackByteForByte) {
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
  // Channel 3 of the two-input unit it came from is its second output.
  EXPECT_EQ(macro.filters[0]->channel, 1);
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

TEST_F(MacroFileTest, ADamagedFileKeepsWhatWasReadButIsNeverWrittenOver) {
  const std::string secondMacro = "\n[MacroDef]\n\"Second\" \n\"\" \n1 \n0 \n0 \n0 \n0 \n";
  const struct {
    std::string damage;
    std::string error;
  } cases[] = {
      {"0 \n1 \n42 1 1000 \n", "Unknown filter type 42 (line 32)"},
      {"0 \n1 \n8 2 1000 1 2 \n", "Unknown filter type 8 (line 32)"},
      {"0 \n1 \n3 9 1000 1.0 1.0 \n", "Filter on a channel the macro has no output for (line 32)"},
      {"0 \n1 \n", "Unexpected EOF encountered during read (line 32)"},
  };
  for (const auto& c : cases) {
    const std::string text = kExample + secondMacro + c.damage;
    Put(text);
    MacroLibrary library(file);
    EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged) << c.damage;
    EXPECT_EQ(library.LoadError(), c.error);
    ASSERT_EQ(library.Macros().size(), 1u) << "the macro read whole stays, the damaged one goes";
    library.Remove(0);
    EXPECT_FALSE(library.Save());
    EXPECT_NE(library.SaveError().find("left as it is"), std::string::npos);
    EXPECT_EQ(Contents(), text);
  }
}

TEST_F(MacroFileTest, NamesLongerThanTheirFieldsAreErrors) {
  Put(kHeading + "\n[MacroDef]\n\"" + std::string(30, 'n') + "\" \n\"\" \n1 \n0 \n0 \n0 \n0 \n");
  MacroLibrary library(file);
  EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
  EXPECT_EQ(library.LoadError(), "Format error in file (line 5)");
  Put(kHeading + "\n[MacroDef]\n\"" + std::string(29, 'n') + "\" \n\"" + std::string(70, 'd') +
      "\" \n1 \n0 \n0 \n0 \n0 \n");
  EXPECT_EQ(library.Load(), MacroLibrary::Loaded::kDamaged);
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
