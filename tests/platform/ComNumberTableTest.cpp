#include <gtest/gtest.h>

#include "platform/registry/Store.h"
#include "platform/serial/ComNumberTable.h"
#include "tests/platform/TempDir.h"

namespace serial {
namespace {

using testing_support::TempDir;

constexpr const char* kTableKey = "Ports\\COM Numbers";

class ComNumberTableTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return dir_.Path() / "store.txt"; }

  TempDir dir_;
};

TEST_F(ComNumberTableTest, DevicesKeepTheirNumbersAcrossRuns) {
  {
    registry::Store store(File());
    ComNumberTable table(store.Root().OpenSubKey(kTableKey, true));
    EXPECT_EQ(table.NumberFor("/dev/ttyS0"), 1);
    EXPECT_EQ(table.NumberFor("/dev/serial/by-id/cable-A"), 2);
    EXPECT_EQ(table.NumberFor("/dev/ttyS0"), 1);
  }
  registry::Store store(File());
  ComNumberTable table(store.Root().OpenSubKey(kTableKey, true));
  // The cable is away this run: its number stays taken.
  EXPECT_EQ(table.NumberFor("/dev/serial/by-id/cable-B"), 3);
  EXPECT_EQ(table.NumberFor("/dev/serial/by-id/cable-A"), 2);
  EXPECT_EQ(table.PathOf(3), "/dev/serial/by-id/cable-B");
  EXPECT_EQ(table.PathOf(4), std::nullopt);
}

TEST_F(ComNumberTableTest, EnteringAPathTakesTheNumberOver) {
  registry::Store store(File());
  ComNumberTable table(store.Root().OpenSubKey(kTableKey, true));
  table.NumberFor("/dev/ttyS0");
  table.NumberFor("/dev/ttyS1");

  EXPECT_TRUE(table.Enter(1, "/dev/pts/7"));
  EXPECT_EQ(table.PathOf(1), "/dev/pts/7");
  // The pseudo-terminal moves; the device that lost its number gets the lowest free one.
  EXPECT_TRUE(table.Enter(12, "/dev/pts/7"));
  EXPECT_EQ(table.PathOf(1), std::nullopt);
  EXPECT_EQ(table.NumberFor("/dev/ttyS0"), 1);

  EXPECT_FALSE(table.Enter(0, "/dev/pts/8"));
  EXPECT_FALSE(table.Enter(kLastComNumber + 1, "/dev/pts/8"));

  ComNumberTable reloaded(store.Root().OpenSubKey(kTableKey, false));
  EXPECT_EQ(reloaded.Entries(),
            (std::map<std::string, int>{{"/dev/pts/7", 12}, {"/dev/ttyS0", 1}, {"/dev/ttyS1", 2}}));
}

TEST_F(ComNumberTableTest, BadEntriesAndUnsavableStoresDoNotBreakNumbering) {
  registry::Store store(File());
  registry::Key key = store.Root().OpenSubKey(kTableKey, true);
  key.SetNumber("/dev/zero-number", 0);
  key.SetNumber("/dev/huge-number", 1000);
  key.SetString("/dev/text-number", "COM1");
  key.SetNumber("/dev/ttyS0", 2);

  ComNumberTable table(key);
  EXPECT_EQ(table.Entries().size(), 1u);
  EXPECT_EQ(table.NumberFor("/dev/ttyUSB0"), 1);

  store.SetReadOnly(true);
  EXPECT_EQ(table.NumberFor("/dev/ttyUSB1"), 3);  // holds for the session
  EXPECT_EQ(table.NumberFor("/dev/ttyUSB2"), 4);
  EXPECT_FALSE(table.Enter(9, "/dev/pts/1"));
  EXPECT_EQ(table.PathOf(9), "/dev/pts/1");

  for (int number = 10; number <= kLastComNumber; ++number) {
    table.Enter(number, "/dev/fill" + std::to_string(number));
  }
  for (int number : {5, 6, 7, 8}) table.Enter(number, "/dev/fill" + std::to_string(number));
  EXPECT_EQ(table.NumberFor("/dev/one-too-many"), std::nullopt);
}

}  // namespace
}  // namespace serial
