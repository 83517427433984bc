// A reflash as the program runs it: enable, erase and wait, upper address, byte counts and data
// blocks, optional re-initialise, reboot and wait.

#include <gtest/gtest.h>

#include "FamilyOvTestSupport.h"

namespace {

using familyovtest::Exchange;
using sim::familyov::FlashRecord;
using sim::familyov::Model;

// Unit 6, an 8126 (family F0 06); the test units stay busy for three polls.
const Exchange kNotReady = {"06 F0 06 02 06 0A", "06 F0 06 01 03 06 0A 00"};
const Exchange kReady = {"06 F0 06 02 06 0A", "06 F0 06 01 03 06 0A 01"};

class ReflashTest : public familyovtest::FamilyOvBusTest {
 protected:
  void SetUp() override {
    unit_ = AddModel({.model = Model::k8126, .address = 6});
    // An 8124 at firmware 1.4 (12 memories) that a reflash takes to 1.5 (15 memories).
    AddModel({.model = Model::k8124, .address = 7, .firmware = "1.4", .reflashedFirmware = "1.5"});
    Connect();
  }

  int unit_ = 0;
};

TEST_F(ReflashTest, TheUnitTakesTheBlocksInOrderAndIsReadyAfterItsReboot) {
  Run({
      // nothing is erased before the enable, nothing written before the erase
      {"06 F0 06 03 03 09 01", "06 F0 06 01 04 B0 7F 09 07"},
      {"06 F0 06 03 4D 09 02", "06 F0 06 01 02 4D 09"},
      {"06 F0 06 04 05 09 AA BB", "06 F0 06 01 04 B0 7F 09 07"},
      {"06 F0 06 03 02 09 01", "06 F0 06 01 02 02 09"},
      {"06 F0 06 03 03 09 01", "06 F0 06 01 02 03 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      {"06 F0 06 06 04 09 00 00 00 00", "06 F0 06 01 02 04 09"},
      // two blocks of four bytes: one count for both
      {"06 F0 06 03 4D 09 04", "06 F0 06 01 02 4D 09"},
      {"06 F0 06 06 05 09 DE AD BE EF", "06 F0 06 01 02 05 09"},
      {"06 F0 06 06 05 09 01 02 03 04", "06 F0 06 01 02 05 09"},
      // a block that does not match the count is refused, as is a count beyond the object
      {"06 F0 06 05 05 09 01 02 03", "06 F0 06 01 04 B0 7F 09 07"},
      {"06 F0 06 03 4D 09 41", "06 F0 06 01 04 B0 7F 09 07"},
      // the next upper address, and a shorter block with its own count
      {"06 F0 06 06 04 09 00 01 00 00", "06 F0 06 01 02 04 09"},
      {"06 F0 06 03 4D 09 02", "06 F0 06 01 02 4D 09"},
      {"06 F0 06 04 05 09 AA BB", "06 F0 06 01 02 05 09"},
      // reboot
      {"06 F0 06 03 01 09 01", "06 F0 06 01 02 01 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      // programming ended with the reboot
      {"06 F0 06 04 05 09 AA BB", "06 F0 06 01 04 B0 7F 09 07"},
  });
  WithFamilyUnit(unit_, [](sim::familyov::FamilyOvUnit& unit) {
    const std::vector<FlashRecord> expected = {
        {0x0, {0xDE, 0xAD, 0xBE, 0xEF}}, {0x4, {0x01, 0x02, 0x03, 0x04}}, {0x10000, {0xAA, 0xBB}}};
    EXPECT_EQ(unit.FlashRecords(), expected);
    EXPECT_EQ(unit.Reboots(), 1);
  });
}

TEST_F(ReflashTest, AReinitialiseBringsBackTheFactorySettings) {
  Run({
      {"06 F0 06 07 1B 09 00 3F 00 00 00", "06 F0 06 01 02 1B 09"},
      {"06 F0 06 02 0D 0A", "06 F0 06 01 03 0D 0A 00"},
      {"06 F0 06 03 00 09 01", "06 F0 06 01 02 00 09"},
  });
  // The initialise is acknowledged before the unit does its long work, so that its reply is never
  // later than the program waits for it, however slowly the work goes.
  WithFamilyUnit(unit_, [](sim::familyov::FamilyOvUnit& unit) {
    EXPECT_EQ(unit.Element(0x1B, 0), (std::vector<uint8_t>{0x3F, 0x00, 0x00, 0x00}));
  });
  Run({
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      {"06 F0 06 03 01 09 01", "06 F0 06 01 02 01 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      // unity gain, no filters
      {"06 F0 06 03 1B 0A 00", "06 F0 06 01 06 1B 0A 3F 80 00 00"},
      {"06 F0 06 02 0D 0A", "06 F0 06 01 03 0D 0A 00"},
  });
}

TEST_F(ReflashTest, NewFirmwareBringsItsMemoriesAfterTheReboot) {
  Run({
      {"07 F0 06 03 0A 09 0D", "07 F0 06 01 04 B0 7F 09 07"},
      // a reboot without a reflash changes nothing
      {"07 F0 06 03 01 09 01", "07 F0 06 01 02 01 09"},
      {"07 F0 06 03 0A 09 0D", "07 F0 06 01 04 B0 7F 09 07"},
      {"07 F0 06 03 02 09 01", "07 F0 06 01 02 02 09"},
      {"07 F0 06 03 03 09 01", "07 F0 06 01 02 03 09"},
      {"07 F0 06 03 4D 09 01", "07 F0 06 01 02 4D 09"},
      {"07 F0 06 03 05 09 5A", "07 F0 06 01 02 05 09"},
      {"07 F0 06 03 01 09 01", "07 F0 06 01 02 01 09"},
      {"07 F0 06 03 0A 09 0F", "07 F0 06 01 02 0A 09"},
      {"07 F0 06 03 0B 09 0E", "07 F0 06 01 02 0B 09"},
  });
}

}  // namespace
