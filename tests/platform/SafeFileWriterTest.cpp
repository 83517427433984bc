#include <gtest/gtest.h>

#include <cerrno>

#include "platform/registry/SafeFileWriter.h"
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

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(SafeFileWriterTest, ReplacesTheFileOnlyOnCommitKeepingItsPermissions) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  dir.WriteFile("settings.txt", "old");
  fs::permissions(file, fs::perms(0640));

  SafeFileWriter writer;
  ASSERT_TRUE(writer.Begin(file));
  ASSERT_TRUE(writer.Write(std::string(200'000, 'x')));  // past the flush threshold
  EXPECT_EQ(FileContents(file), "old");
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(FileContents(file).size(), 200'000u);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(SafeFileWriterTest, AFailedSaveKeepsTheOldFileAndLeavesNoDebris) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  dir.WriteFile("settings.txt", "precious");

  {
    FileSizeLimit diskFull(1000);
    SafeFileWriter writer;
    ASSERT_TRUE(writer.Begin(file));
    writer.Write(std::string(500, 'a'));
    writer.Write(std::string(100'000, 'b'));  // this flush fails
    EXPECT_FALSE(writer.Write("more"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.Error(), EFBIG);
    EXPECT_EQ(writer.ErrorText(), "File too large");
    // Small enough to stay buffered until the commit, whose flush then fails.
    EXPECT_FALSE(SaveFileSafely(file, std::string(5000, 'c')));
  }
  EXPECT_EQ(FileContents(file), "precious");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  // The rename is the last step that can fail: a folder stands where the file would go.
  fs::create_directories(dir.Path() / "taken" / "inside");
  EXPECT_FALSE(SaveFileSafely(dir.Path() / "taken", "x"));
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);

  EXPECT_FALSE(SaveFileSafely(dir.Path() / "no-folder" / "file", "x"));
}

TEST(SafeFileWriterTest, ASaveRemovesTheTemporariesKilledSavesOfItsFileLeftBehind) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  // The second file's temporaries start with the first file's name.
  for (const char* killed : {"settings.txt", "settings.txt.old"}) {
    ASSERT_TRUE(ChildSucceeded(StartChild([&] {
      SafeFileWriter writer;
      if (writer.Begin(dir.Path() / killed) && writer.Write("half")) ::_exit(0);  // killed here
      return false;
    })));
  }
  ASSERT_EQ(EntriesIn(dir.Path()), 2u);

  SafeFileWriter live;  // a save of the same file still under way
  ASSERT_TRUE(live.Begin(file));
  ASSERT_TRUE(SaveFileSafely(file, "saved"));
  EXPECT_EQ(EntriesIn(dir.Path()), 3u);  // the file, the live temporary, the other file's leftover
  ASSERT_TRUE(live.Write("live"));
  ASSERT_TRUE(live.Commit());
  EXPECT_EQ(FileContents(file), "live");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

}  // namespace
}  // namespace registry
