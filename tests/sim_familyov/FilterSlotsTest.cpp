// The unit's filter slots as the filter code drives them: allocate, select, write the record,
// create, re-allocate for a new order, copy along a link, delete.

#include <gtest/gtest.h>

#include <cstdio>

#include "FamilyOvTestSupport.h"

namespace {

using sim::familyov::Model;

// Unit 1, an 8148 (family F0 08): 158 slots, channels 0..11. Its DSP usage counter (0x38) reads
// 286 with nothing running and 4 more for each section of the filters it runs.
class FilterSlotsTest : public familyovtest::FamilyOvBusTest {
 protected:
  void SetUp() override {
    unit_ = AddModel({.model = Model::k8148, .address = 1});
    AddModel({.model = Model::k8122, .address = 2});
    Connect();
    // Slot 0: a parametric filter on channel 5 at 1000 Hz, Q word 86, level word 1.0, created.
    Run({
        {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
        {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
        {"01 F0 08 03 10 09 03", "01 F0 08 01 02 10 09"},
        {"01 F0 08 03 0F 09 05", "01 F0 08 01 02 0F 09"},
        {"01 F0 08 03 24 09 00", "01 F0 08 01 02 24 09"},
        {"01 F0 08 07 13 09 00 00 00 03 E8", "01 F0 08 01 02 13 09"},
        {"01 F0 08 03 31 09 00", "01 F0 08 01 02 31 09"},
        {"01 F0 08 07 13 09 02 3F 80 00 00", "01 F0 08 01 02 13 09"},
        {"01 F0 08 07 13 09 01 00 00 00 56", "01 F0 08 01 02 13 09"},
        {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
        {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
    });
  }

  int unit_ = 0;
};

TEST_F(FilterSlotsTest, AnAllocatedFilterKeepsItsRecordAndRunsAfterTheCreateCommand) {
  Run({
      // another filter is allocated in the next slot, then slot 0 read back
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 05"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 03"},
      {"01 F0 08 03 13 0A 00", "01 F0 08 01 06 13 0A 00 00 03 E8"},
      {"01 F0 08 03 13 0A 01", "01 F0 08 01 06 13 0A 00 00 00 56"},
      // the bypass toggle switches the flag the full write sets
      {"01 F0 08 03 23 09 01", "01 F0 08 01 02 23 09"},
      {"01 F0 08 02 24 0A", "01 F0 08 01 03 24 0A 01"},
      // live updates go to the selected, running filter; it takes one section
      {"01 F0 08 03 14 09 02", "01 F0 08 01 02 14 09"},
      {"01 F0 08 03 14 09 03", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 01 22"},
      // records outside the unit's channels, types and slots are refused
      {"01 F0 08 03 0F 09 0C", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 10 09 0D", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 11 09 9E", "01 F0 08 01 04 B0 7F 09 07"},
      // slot 1 has no type yet: it reads as no filter and cannot be created
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 04 B0 7F 09 07"},
      // slot 2 was never allocated: its record cannot be written
      {"01 F0 08 03 11 09 02", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 10 09 03", "01 F0 08 01 04 B0 7F 09 07"},
  });
  WithFamilyUnit(unit_, [](sim::familyov::FamilyOvUnit& unit) {
    EXPECT_EQ(unit.Filters().LastCommand(), 2);
    EXPECT_TRUE(unit.Filters().Records()[0].active);
    EXPECT_FALSE(unit.Filters().Records()[1].active);
  });
}

TEST_F(FilterSlotsTest, ANewOrderMovesTheFilterToANewSlotAndItsSectionsFollow) {
  Run({
      // a fourth-order lowpass in slot 1 takes two sections
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 10 09 04", "01 F0 08 01 02 10 09"},
      {"01 F0 08 03 0F 09 06", "01 F0 08 01 02 0F 09"},
      {"01 F0 08 07 13 09 01 00 00 00 04", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 01 2A"},
      // the order read answers the new slot's number; the filter stops until created again
      {"01 F0 08 02 22 0A", "01 F0 08 01 03 22 0A 02"},
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 06"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 01 22"},
      {"01 F0 08 07 13 09 01 00 00 00 08", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 01 32"},
      // the old slot is free
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
  });
}

TEST_F(FilterSlotsTest, ALinkCopyGivesTheFilterTheSourcesParametersAndBypass) {
  Run({
      // slot 1: a parametric on channel 7 at 50 Hz, linked to slot 0, created
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 10 09 03", "01 F0 08 01 02 10 09"},
      {"01 F0 08 03 0F 09 07", "01 F0 08 01 02 0F 09"},
      {"01 F0 08 07 13 09 00 00 00 00 32", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 31 09 01", "01 F0 08 01 02 31 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      // filter 1 takes filter 0's values: 1 x 256 + 0; its own channel and link stay
      {"01 F0 08 06 37 09 00 00 01 00", "01 F0 08 01 02 37 09"},
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 13 0A 00", "01 F0 08 01 06 13 0A 00 00 03 E8"},
      {"01 F0 08 03 13 0A 01", "01 F0 08 01 06 13 0A 00 00 00 56"},
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 07"},
      {"01 F0 08 02 31 0A", "01 F0 08 01 03 31 0A 01"},
      // a source in a free slot, a target or a source beyond the slots: refused
      {"01 F0 08 06 37 09 00 00 01 05", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 37 09 00 00 FF 00", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 37 09 00 00 01 C8", "01 F0 08 01 04 B0 7F 09 07"},
  });
}

TEST_F(FilterSlotsTest, DeletedSlotsAreFreeForTheNextAllocation) {
  Run({
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      // delete the selected filter (slot 1), then slot 0
      {"01 F0 08 03 0E 09 00", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 0E 09 00", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 01 1E"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      // delete every filter
      {"01 F0 08 03 0E 09 01", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
  });
  // The 8122 keeps 100 filters and has no number for one more.
  for (int slot = 0; slot < 100; ++slot) {
    char reply[32];
    std::snprintf(reply, sizeof reply, "02 F0 06 01 03 0D 0A %02X", slot);
    Run({{"02 F0 06 02 0D 0A", reply}});
  }
  Run({{"02 F0 06 02 0D 0A", "02 F0 06 01 04 B0 7F 0A 07"}});
}

}  // namespace
