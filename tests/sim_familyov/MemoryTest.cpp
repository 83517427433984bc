// Storing and recalling memories with the ready flag, the memory images, the logic inputs and
// the new-settings flag a logic event raises.

#include <gtest/gtest.h>

#include <string>

#include "FamilyOvTestSupport.h"

namespace {

using familyovtest::Exchange;
using sim::familyov::Model;

// The test units stay busy for three polls of their flags.
const Exchange kNotReady = {"01 F0 08 02 06 0A", "01 F0 08 01 03 06 0A 00"};
const Exchange kReady = {"01 F0 08 02 06 0A", "01 F0 08 01 03 06 0A 01"};
// Channel 0's level: gain 0.5, gain 0.25.
const Exchange kSetHalf = {"01 F0 08 07 1B 09 00 3F 00 00 00", "01 F0 08 01 02 1B 09"};
const Exchange kSetQuarter = {"01 F0 08 07 1B 09 00 3E 80 00 00", "01 F0 08 01 02 1B 09"};
const Exchange kReadsHalf = {"01 F0 08 03 1B 0A 00", "01 F0 08 01 06 1B 0A 3F 00 00 00"};
const Exchange kReadsQuarter = {"01 F0 08 03 1B 0A 00", "01 F0 08 01 06 1B 0A 3E 80 00 00"};

class MemoryTest : public familyovtest::FamilyOvBusTest {
 protected:
  void SetUp() override {
    unit_ = AddModel({.model = Model::k8148, .address = 1});
    AddModel({.model = Model::k8126, .address = 2, .firmware = "1.4"});
    AddModel({.model = Model::k8126, .address = 3, .firmware = "1.5"});
    Connect();
  }

  void FireLogicInput(int input) {
    WithFamilyUnit(unit_,
                   [input](sim::familyov::FamilyOvUnit& unit) { unit.FireLogicInput(input); });
  }

  int unit_ = 0;
};

TEST_F(MemoryTest, ARecallBringsBackTheStoredSettingsAndFiltersOnceTheUnitIsReadyAgain) {
  Run({
      kSetHalf,
      kReady,
      {"01 F0 08 03 0A 09 02", "01 F0 08 01 02 0A 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      kReady,
      // changed settings and a new filter after the store
      kSetQuarter,
      {"01 F0 08 02 0D 0A", "01 F0 08 01 03 0D 0A 00"},
      {"01 F0 08 03 10 09 03", "01 F0 08 01 02 10 09"},
      {"01 F0 08 03 0B 09 02", "01 F0 08 01 02 0B 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      kReadsHalf,
      {"01 F0 08 03 11 09 00", "01 F0 08 01 02 11 09"},
      {"01 F0 08 02 10 0A", "01 F0 08 01 03 10 0A 00"},
      {"01 F0 08 02 41 0A", "01 F0 08 01 03 41 0A 02"},
      // the last memory is the unit's to say
      {"01 F0 08 03 41 09 05", "01 F0 08 01 04 B0 7F 09 03"},
  });
}

TEST_F(MemoryTest, EachModelStoresOnlyItsOwnMemories) {
  Run({
      // 8 on the 8148; memory 0 is the current settings and takes a store without effect
      {"01 F0 08 03 0A 09 09", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 0A 09 00", "01 F0 08 01 02 0A 09"},
      // 12 on a 2-input model before firmware 1.5, 15 from 1.5, each named at first
      {"02 F0 06 03 0A 09 0C", "02 F0 06 01 02 0A 09"},
      {"02 F0 06 03 0A 09 0D", "02 F0 06 01 04 B0 7F 09 07"},
      {"03 F0 06 03 0B 09 0F", "03 F0 06 01 02 0B 09"},
      {"03 F0 06 03 0B 09 10", "03 F0 06 01 04 B0 7F 09 07"},
      {"03 F0 06 03 19 0A 0E", "03 F0 06 01 11 19 0A 4D 65 6D 6F 72 79 20 31 35 00 00 00 00 00 00"},
  });
}

// Block n of these images holds sixteen bytes of the value n.
std::string Block(const char* prefix, const char* byte) {
  std::string text = prefix;
  for (int i = 0; i < 16; ++i) text += std::string(" ") + byte;
  return text;
}

TEST_F(MemoryTest, MemoryImagesMoveBlockByBlockAndTravelWithTheirMemory) {
  const std::string write1 = Block("01 F0 08 13 39 09 00", "11");
  const std::string write2 = Block("01 F0 08 13 39 09 00", "22");
  const std::string block1 = Block("01 F0 08 01 12 39 0A", "11");
  const std::string block2 = Block("01 F0 08 01 12 39 0A", "22");
  const std::string zeros = Block("01 F0 08 01 12 39 0A", "00");
  Run({
      // write memory 0's first two blocks, then read them back from the start
      {"01 F0 08 03 39 0A FF", zeros.c_str()},
      {write1.c_str(), "01 F0 08 01 02 39 09"},
      {write2.c_str(), "01 F0 08 01 02 39 09"},
      {"01 F0 08 03 39 0A FF", zeros.c_str()},
      {"01 F0 08 03 39 0A 00", block1.c_str()},
      {"01 F0 08 03 39 0A 00", block2.c_str()},
      // another element starts at its own first block: memory 1 as the unit stored it, levels
      // at unity gain
      {"01 F0 08 03 39 0A 01",
       "01 F0 08 01 12 39 0A 00 00 00 00 3F 80 00 00 3F 80 00 00 3F 80 00 00"},
      // storing memory 3 keeps the image with it
      {"01 F0 08 03 0A 09 03", "01 F0 08 01 02 0A 09"},
      {"01 F0 08 03 39 0A FF", zeros.c_str()},
      {"01 F0 08 03 39 0A 03", block1.c_str()},
      {"01 F0 08 03 39 0A 03", block2.c_str()},
  });
}

TEST_F(MemoryTest, TheImageEndsAfterItsLastWholeBlock) {
  // 730 words: 183 blocks, the last reaching two words beyond the image, either way.
  const std::string zeros = Block("02 F0 06 01 12 39 0A", "00");
  const std::string write = Block("02 F0 06 13 39 09 00", "00");
  Run({{"02 F0 06 03 39 0A FF", zeros.c_str()}});
  for (int block = 0; block < 183; ++block) Run({{write.c_str(), "02 F0 06 01 02 39 09"}});
  Run({{write.c_str(), "02 F0 06 01 04 B0 7F 09 07"}});
  Run({{"02 F0 06 03 39 0A FF", zeros.c_str()}});
  for (int block = 0; block < 183; ++block) Run({{"02 F0 06 03 39 0A 00", zeros.c_str()}});
  Run({{"02 F0 06 03 39 0A 00", "02 F0 06 01 04 B0 7F 0A 07"}});
}

TEST_F(MemoryTest, ALogicEventWaitsForTheProgramBeforeItLoadsItsMemory) {
  // Logic input 3 recalls memory 3 at first.
  Run({kSetHalf, {"01 F0 08 03 0A 09 03", "01 F0 08 01 02 0A 09"}, kSetQuarter});
  Run({{"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 00"}});

  // Declined: the flag falls and the settings stay.
  FireLogicInput(3);
  Run({
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 01"},
      {"01 F0 08 03 40 09 00", "01 F0 08 01 02 40 09"},
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 00"},
      kReadsQuarter,
  });

  // Accepted: the unit loads, showing the flag until it is done.
  FireLogicInput(3);
  Run({
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 01"},
      {"01 F0 08 03 40 09 01", "01 F0 08 01 02 40 09"},
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 01"},
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 01"},
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 01"},
      {"01 F0 08 02 40 0A", "01 F0 08 01 03 40 0A 00"},
      kReadsHalf,
      {"01 F0 08 02 41 0A", "01 F0 08 01 03 41 0A 03"},
  });
}

TEST_F(MemoryTest, TheProgramsLogicTriggerRecallsAtOnceAndKeepsTheUnitBusy) {
  Run({
      kSetHalf,
      {"01 F0 08 03 0A 09 04", "01 F0 08 01 02 0A 09"},
      kSetQuarter,
      // logic input 4 recalls memory 4; there are 31 inputs
      {"01 F0 08 03 26 09 04", "01 F0 08 01 02 26 09"},
      kNotReady,
      kNotReady,
      kNotReady,
      kReady,
      kReadsHalf,
      {"01 F0 08 03 26 09 20", "01 F0 08 01 04 B0 7F 09 07"},
  });
}

}  // namespace
