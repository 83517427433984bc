// The unit's filter slots as the filter code drives them: allocate, select, write the record,
// create, re-allocate for a new order, copy along a link, delete.

#include <gtest/gtest.h>

#include <cstdio>

#include "FamilyOvTestSupport.h"

namespace {

using familyovtest::Exchange;
using sim::familyov::Model;

class FilterSlotsTest : public familyovtest::FamilyOvBusTest {
 protected:
  void SetUp() override {
    unit_ = AddModel({.model = Model::k8148, .address = 1});
    AddModel({.model = Model::k8122, .address = 2});
    Connect();
  }

  // Slot 0: a parametric filter on channel 5 at 1000 Hz, Q 8.6, level word 1.0, created.
  void CreateParametricInSlot0() {
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
  CreateParametricInSlot0();
  Run({
      // another filter is allocated in the next slot, then slot 0 read back
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 05"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 03"},
      {"01 F0 08 02 24 0A", "01 F0 08 01 03 24 0A 00"},
      {"01 F0 08 03 13 0A 00", "01 F0 08 01 06 13 0A 00 00 03 E8"},
      {"01 F0 08 03 13 0A 01", "01 F0 08 01 06 13 0A 00 00 00 56"},
      {"01 F0 08 03 13 0A 02", "01 F0 08 01 06 13 0A 3F 80 00 00"},
      // the bypass toggle switches the same flag the full write sets
      {"01 F0 08 03 23 09 01", "01 F0 08 01 02 23 09"},
      {"01 F0 08 02 24 0A", "01 F0 08 01 03 24 0A 01"},
      // updates and live updates go to the selected, running filter
      {"01 F0 08 03 14 09 01", "01 F0 08 01 02 14 09"},
      {"01 F0 08 03 14 09 02", "01 F0 08 01 02 14 09"},
      {"01 F0 08 03 14 09 03", "01 F0 08 01 04 B0 7F 09 07"},
      // the unit counts one section for it
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 00 01"},
      // slot 1 is allocated but has no type yet: it reads as no filter and cannot be created
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

TEST_F(FilterSlotsTest, RecordsOutsideTheUnitsRangesAreRefused) {
  CreateParametricInSlot0();
  Run({
      // the 8148 has channels 0..11, filter types 3..12 and slots 0..157
      {"01 F0 08 03 0F 09 0C", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 0F 09 0B", "01 F0 08 01 02 0F 09"},
      {"01 F0 08 03 10 09 0D", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 10 09 02", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 11 09 9E", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 11 09 9D", "01 F0 08 01 02 11 09"},
      // the unit hands out numbers; the program only reads them
      {"01 F0 08 03 0D 09 05", "01 F0 08 01 04 B0 7F 09 03"},
      {"01 F0 08 02 0E 0A", "01 F0 08 01 04 B0 7F 0A 03"},
      {"01 F0 08 03 0E 09 02", "01 F0 08 01 04 B0 7F 09 07"},
  });
}

TEST_F(FilterSlotsTest, ANewOrderMovesTheFilterToANewSlotAndItsSectionsFollow) {
  CreateParametricInSlot0();
  Run({
      // a fourth-order lowpass in slot 1 takes two sections
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 10 09 04", "01 F0 08 01 02 10 09"},
      {"01 F0 08 03 0F 09 06", "01 F0 08 01 02 0F 09"},
      {"01 F0 08 07 13 09 01 00 00 00 04", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 00 03"},
      // the order read answers the number of the new slot; the old one is free
      {"01 F0 08 02 22 0A", "01 F0 08 01 03 22 0A 02"},
      {"01 F0 08 02 11 0A", "01 F0 08 01 03 11 0A 02"},
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 06"},
      // it does not run until it is created again
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 00 01"},
      {"01 F0 08 07 13 09 01 00 00 00 08", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 00 05"},
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
  });
}

TEST_F(FilterSlotsTest, ALinkCopyGivesTheFilterTheSourcesParametersAndBypass) {
  CreateParametricInSlot0();
  Run({
      // slot 1: a parametric on channel 7 at 50 Hz, created
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 10 09 03", "01 F0 08 01 02 10 09"},
      {"01 F0 08 03 0F 09 07", "01 F0 08 01 02 0F 09"},
      {"01 F0 08 07 13 09 00 00 00 00 32", "01 F0 08 01 02 13 09"},
      {"01 F0 08 03 31 09 01", "01 F0 08 01 02 31 09"},
      {"01 F0 08 03 14 09 00", "01 F0 08 01 02 14 09"},
      // filter 1 takes filter 0's values: 1 x 256 + 0
      {"01 F0 08 06 37 09 00 00 01 00", "01 F0 08 01 02 37 09"},
      {"01 F0 08 03 11 09 01", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 13 0A 00", "01 F0 08 01 06 13 0A 00 00 03 E8"},
      {"01 F0 08 03 13 0A 01", "01 F0 08 01 06 13 0A 00 00 00 56"},
      // its own channel and link stay
      {"01 F0 08 02 0F 0A", "01 F0 08 01 03 0F 0A 07"},
      {"01 F0 08 02 31 0A", "01 F0 08 01 03 31 0A 01"},
      // a source in a free slot, or a target beyond the slots, is refused
      {"01 F0 08 06 37 09 00 00 01 05", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 37 09 00 00 FF 00", "01 F0 08 01 04 B0 7F 09 07"},
  });
}

TEST_F(FilterSlotsTest, DeletedSlotsAreFreeForTheNextAllocation) {
  CreateParametricInSlot0();
  Run({
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      // delete the selected filter (slot 1), then slot 0
      {"01 F0 08 03 0E 09 00", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
      {"01 F0 08 03 0E 09 00", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
      {"01 F0 08 02 38 0A", "01 F0 08 01 06 38 0A 00 00 00 00"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 01"},
      // delete every filter
      {"01 F0 08 03 0E 09 01", "01 F0 08 01 02 0E 09"},
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
  });
}

TEST_F(FilterSlotsTest, AFullUnitHasNoNumberToGive) {
  // The 8122 keeps 100 filters.
  for (int slot = 0; slot < 100; ++slot) {
    char reply[32];
    std::snprintf(reply, sizeof reply, "02 F0 06 01 03 0D 0A %02X", slot);
    Run({{"02 F0 06 02 0D 0A", reply}});
  }
  Run({{"02 F0 06 02 0D 0A", "02 F0 06 01 04 B0 7F 0A 07"}});
}

}  // namespace
