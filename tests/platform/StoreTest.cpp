#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <limits>
#include <random>

#include "platform/registry/Store.h"
#include "platform/registry/StoreFormat.h"
#include "platform/registry/UserRoot.h"
#include "tests/platform/ChildProcess.h"
#include "tests/platform/FileSizeLimit.h"
#include "tests/platform/TempDir.h"

namespace registry {
namespace {

namespace fs = std::filesystem;
using testing_support::ChildSucceeded;
using testing_support::FileContents;
using testing_support::FileSizeLimit;
using testing_support::StartChild;
using testing_support::TempDir;
using Names = std::vector<std::string>;

std::string EveryByte() {
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  return bytes;
}

class StoreTest : public ::testing::Test {
 protected:
  fs::path File() const { return dir_.Path() / "TelvoWin2" / "store.txt"; }

  TempDir dir_;
};

TEST_F(StoreTest, ValuesAndOddNamesSurviveAReload) {
  const std::string oddName = "usb/by-id\\port 1 %41\n\"x\"";
  const std::vector<uint8_t> binary = {0, 1, 0xFF, '\n', ' '};
  {
    Store store(File());
    Key settings = store.Root().OpenSubKey("TelvoWin2 Settings", true);
    ASSERT_TRUE(settings.IsValid());
    EXPECT_TRUE(settings.SetNumber("port number", 4294967295u));
    EXPECT_TRUE(settings.SetString("text", EveryByte()));
    EXPECT_TRUE(settings.SetBinary(oddName, binary));
    EXPECT_TRUE(settings.SetString("", ""));
    EXPECT_TRUE(settings.SetNumber("port number", 7));  // replaced in place
    ASSERT_TRUE(store.Root().OpenSubKey("A/B\\C\\D", true).IsValid());
    EXPECT_TRUE(store.Root().OpenSubKey("A/B", false).OpenSubKey("C\\D", false).IsValid());
  }
  Store reloaded(File());
  ASSERT_EQ(reloaded.LoadError(), "");
  Key settings = reloaded.Root().OpenSubKey("TelvoWin2 Settings", false);
  EXPECT_EQ(settings.ValueNames(), (Names{"port number", "text", oddName, ""}));
  EXPECT_EQ(settings.GetNumber("port number"), 7u);
  EXPECT_EQ(settings.GetString("text"), EveryByte());
  EXPECT_EQ(settings.GetBinary(oddName), binary);
  EXPECT_EQ(settings.GetString(""), "");
  EXPECT_EQ(reloaded.Root().SubKeyNames(), (Names{"TelvoWin2 Settings", "A/B"}));
  EXPECT_EQ(reloaded.Root().OpenSubKey("a/b\\c", false).SubKeyNames(), (Names{"D"}));
}

TEST_F(StoreTest, NamesMatchWithoutCaseAndTypesDoNotMix) {
  Store store(File());
  Key root = store.Root();
  Key unit = root.OpenSubKey("Units\\Unit 1", true);
  unit.SetNumber("Address", 12);
  EXPECT_EQ(root.OpenSubKey("UNITS\\unit 1", false).GetNumber("address"), 12u);
  EXPECT_EQ(unit.GetString("Address"), std::nullopt);
  EXPECT_TRUE(unit.SetString("Address", "twelve"));
  EXPECT_EQ(unit.GetNumber("Address"), std::nullopt);
  unit.SetNumber("Bus", 1);
  unit.SetNumber("Channel", 2);
  EXPECT_TRUE(unit.DeleteValue("ADDRESS"));
  EXPECT_TRUE(unit.SetNumber("address", 13));
  EXPECT_EQ(unit.ValueNames(), (Names{"Bus", "Channel", "address"}));
  EXPECT_EQ(unit.GetNumber("channel"), 2u);

  EXPECT_FALSE(root.OpenSubKey("Units\\Unit 2", false).IsValid());
  EXPECT_FALSE(root.OpenSubKey("Units\\\\Unit 1", true).IsValid());
  EXPECT_TRUE(root.DeleteSubKeyTree("Units"));
  // A handle on a deleted key reads nothing and writes nowhere.
  EXPECT_FALSE(unit.SetNumber("Address", 1));
  EXPECT_TRUE(unit.ValueNames().empty());
}

TEST_F(StoreTest, ProcessesSharingTheFileKeepEachOthersChanges) {
  // Both loaded before either changes anything, as two copies of the program are.
  Store first(File());
  Store second(File());
  Key firstKey = first.Root().OpenSubKey("Shared", true);
  ASSERT_TRUE(firstKey.SetNumber("doomed", 1));
  Key secondKey = second.Root().OpenSubKey("Shared", true);
  EXPECT_TRUE(secondKey.SetNumber("from second", 2));
  EXPECT_TRUE(secondKey.DeleteValue("doomed"));
  EXPECT_TRUE(firstKey.SetNumber("from first", 1));
  EXPECT_EQ(firstKey.ValueNames(), (Names{"from second", "from first"}));

  constexpr int kWrites = 40;
  auto writer = [&](const std::string& prefix) {
    return StartChild([&, prefix] {
      Store store(File());
      Key key = store.Root().OpenSubKey("Shared", true);
      bool saved = true;
      for (int i = 0; i < kWrites; ++i)
        saved = key.SetNumber(prefix + std::to_string(i), i) && saved;
      return saved;
    });
  };
  const pid_t a = writer("a");
  const pid_t b = writer("b");
  EXPECT_TRUE(ChildSucceeded(a));
  EXPECT_TRUE(ChildSucceeded(b));
  Store reloaded(File());
  EXPECT_EQ(reloaded.Root().OpenSubKey("Shared", false).ValueNames().size(), 2u + 2 * kWrites);
}

TEST_F(StoreTest, RefusedChangesLeaveMemoryAndFileAsTheyWere) {
  Store store(File());
  Key settings = store.Root().OpenSubKey("TelvoWin2 Settings", true);
  ASSERT_TRUE(settings.SetNumber("port number", 3));
  const std::string saved = FileContents(File());

  {
    FileSizeLimit diskFull(16);  // less than any store's text
    EXPECT_FALSE(settings.SetString("big", std::string(10'000, 'x')));
    EXPECT_FALSE(settings.SetNumber("port number", 4));
    EXPECT_FALSE(store.Root().OpenSubKey("New", true).IsValid());
    EXPECT_FALSE(store.Root().DeleteSubKeyTree("TelvoWin2 Settings"));
  }
  EXPECT_EQ(settings.GetNumber("port number"), 3u);
  EXPECT_EQ(settings.GetString("big"), std::nullopt);
  EXPECT_EQ(store.Root().SubKeyNames(), (Names{"TelvoWin2 Settings"}));
  EXPECT_EQ(FileContents(File()), saved);

  store.SetReadOnly(true);
  EXPECT_FALSE(settings.SetNumber("port number", 5));
  EXPECT_FALSE(settings.DeleteValue("port number"));
  EXPECT_FALSE(store.Root().OpenSubKey("New", true).IsValid());
  EXPECT_EQ(settings.GetNumber("port number"), 3u);
  EXPECT_EQ(FileContents(File()), saved);
}

TEST_F(StoreTest, DamagedFilesAreRefusedAndLeftAlone) {
  const std::string header = "TelvoWin2 settings store 1\n";
  const std::vector<std::string> damaged = {
      "",
      "Some other file\nkey \n",
      header + "number x 1\n",                 // a value before any key
      header + "key \nnumber x 1",             // cut short
      header + "key \nnumber x 4294967296\n",  // beyond 32 bits
      header + "key \nfloat x 1\n",
      header + "key \nstring x a%4\n",
      header + "key \nbinary x abc\n",
      header + "key \nnumber x 1\nnumber X 2\n",  // twice
      header + "key a\\\\b\n",                    // an empty level
      header + "key " + std::string(kMaxNameBytes + 1, 'n') + "\n",
  };
  for (const std::string& text : damaged) {
    TempDir dir;
    dir.WriteFile("store.txt", text);
    Store store(dir.Path() / "store.txt");
    EXPECT_NE(store.LoadError(), "") << text;
    EXPECT_TRUE(store.IsReadOnly()) << text;
    EXPECT_TRUE(store.Root().SubKeyNames().empty()) << text;
    EXPECT_FALSE(store.Root().SetNumber("x", 1));
    EXPECT_EQ(FileContents(dir.Path() / "store.txt"), text);
  }

  // Damaged by something else while the store is open.
  Store store(File());
  ASSERT_TRUE(store.Root().SetNumber("x", 1));
  dir_.WriteFile(File().lexically_relative(dir_.Path()), damaged[1]);
  EXPECT_FALSE(store.Root().SetNumber("y", 2));
  EXPECT_NE(store.LoadError(), "");
  EXPECT_EQ(FileContents(File()), damaged[1]);

  TempDir dir;
  dir.WriteFile("store.txt", header);
  fs::resize_file(dir.Path() / "store.txt", kMaxStoreFileBytes + 1);
  EXPECT_NE(Store(dir.Path() / "store.txt").LoadError().find("larger"), std::string::npos);
}

TEST(StoreFormatTest, ADamagedFileIsRefusedNamingTheLineBeingRead) {
  const std::string header = "TelvoWin2 settings store 1\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "the file is empty"},
      {"\r", "line 1: the file ends inside a line"},
      {"TelvoWin2 settings store 1\r\rkey \r", "line 1: the file ends inside a line"},
      {"Some other file\n", "line 1: it is not a settings store"},
      {header + "number x 1\n", "line 2: a value stands before any key"},
      {header + "key \nnumber x 1", "line 3: the file ends inside a line"},
  };
  for (const auto& [text, reason] : cases) {
    try {
      ParseStore(text);
      ADD_FAILURE() << "parsed: " << text;
    } catch (const StoreFormatError& error) {
      EXPECT_EQ(error.what(), reason) << text;
    }
  }
}

TEST(StoreFormatTest, MangledFilesParseOrFailCleanly) {
  Node root;
  Node& key = root.subkeys.FindOrAdd("Key/1");
  key.values.FindOrAdd("n") = Value{ValueType::Number, 12345, {}};
  key.values.FindOrAdd("s") = Value{ValueType::String, 0, "a b%c\\"};
  key.values.FindOrAdd("b") = Value{ValueType::Binary, 0, "\x01\xFE"};
  key.subkeys.FindOrAdd("Sub").values.FindOrAdd("") = Value{ValueType::Number, 0, {}};
  const std::string text = SerializeStore(root);
  ASSERT_EQ(ParseStore(text), root);

  std::mt19937 random(20261206);
  const std::string alphabet = "\\% \n0123456789abcdefkeynumbrstig\xFF";
  for (int round = 0; round < 5000; ++round) {
    std::string mangled = text;
    for (int edits = 1 + round % 4; edits > 0; --edits) {
      std::size_t at = random() % mangled.size();
      switch (random() % 3) {
        case 0:
          mangled[at] = alphabet[random() % alphabet.size()];
          break;
        case 1:
          mangled.erase(at, 1 + random() % 8);
          break;
        default:
          mangled.insert(at, 1, alphabet[random() % alphabet.size()]);
          break;
      }
      if (mangled.empty()) mangled = "\n";
    }
    try {
      ParseStore(mangled);
    } catch (const StoreFormatError&) {
    }
  }
}

// A store's text with `count` values and as many subkeys, no key holding more than `perKey` of
// either.
std::string GeneratedStore(std::size_t count, std::size_t perKey) {
  std::string text = "TelvoWin2 settings store 1\n";
  for (std::size_t i = 0; i < count; ++i) {
    if (i % perKey == 0) text += "key Values\\" + std::to_string(i / perKey) + "\n";
    text += "number v" + std::to_string(i) + ' ' + std::to_string(i) + '\n';
  }
  for (std::size_t i = 0; i < count; ++i)
    text += "key Keys\\" + std::to_string(i / perKey) + "\\k" + std::to_string(i) + '\n';
  return text;
}

// The least processor time of a few parses: the one least disturbed by other work on the machine.
std::clock_t ProcessorTimeToParse(const std::string& text) {
  std::clock_t best = std::numeric_limits<std::clock_t>::max();
  for (int run = 0; run < 3; ++run) {
    const std::clock_t start = std::clock();
    ParseStore(text);
    best = std::min(best, std::clock() - start);
  }
  return best;
}

TEST(StoreFormatTest, AKeyWithManyValuesAndSubkeysLoadsAsFastAsManySmallKeys) {
  constexpr std::size_t kCount = 20'000;
  const std::clock_t spread = ProcessorTimeToParse(GeneratedStore(kCount, 16));
  const std::clock_t wide = ProcessorTimeToParse(GeneratedStore(kCount, kCount));
  EXPECT_LT(wide, 10 * spread);
}

TEST(UserRootTest, TheStoreLivesUnderTheUsersConfigFolder) {
  const char* oldConfig = ::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldConfig ? oldConfig : "";
  ::setenv("XDG_CONFIG_HOME", "/tmp/config-home", 1);
  EXPECT_EQ(UserStoreFile(), fs::path("/tmp/config-home/TelvoWin2/store.txt"));
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(UserStoreFile().parent_path().parent_path().filename(), ".config");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserStoreFile().parent_path().parent_path().filename(), ".config");
  if (oldConfig) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace registry
