// Who the units say they are in the roll call, and their object table as the program addresses it.

#include <gtest/gtest.h>

#include "FamilyOvTestSupport.h"

namespace {

using sim::familyov::Model;

class IdentityAndTableTest : public familyovtest::FamilyOvBusTest {};

TEST_F(IdentityAndTableTest, RollCallAnswersCarryEachModelsFamilyCodeAndModelId) {
  AddModel({.model = Model::k8122, .address = 2, .firmware = "1.4"});
  AddModel({.model = Model::k8124, .address = 4, .firmware = "1.5"});
  AddModel({.model = Model::k8126, .address = 6, .firmware = "1.5"});
  AddModel({.model = Model::k8148, .address = 8, .firmware = "1.2"});
  Connect();
  Run({
      {"FC F8 F8 02 80 7F", ""},
      // 880 (F0 06): output digit in byte 0, firmware in bytes 1..3
      {"FC F8 F8 02 81 7F", "FC F8 F8 01 0B 02 F0 06 32 31 2E 34 00 00 00 00"},
      {"02 F0 06 02 82 7F", ""},
      {"FC F8 F8 02 81 7F", "FC F8 F8 01 0B 04 F0 06 34 31 2E 35 00 00 00 00"},
      {"04 F0 06 02 82 7F", ""},
      {"FC F8 F8 02 81 7F", "FC F8 F8 01 0B 06 F0 06 36 31 2E 35 00 00 00 00"},
      {"06 F0 06 02 82 7F", ""},
      // 1136 (F0 08): output digit in byte 1, firmware in bytes 2..4
      {"FC F8 F8 02 81 7F", "FC F8 F8 01 0B 08 F0 08 34 38 31 2E 32 00 00 00"},
      {"08 F0 08 02 82 7F", ""},
      {"FC F8 F8 02 81 7F", ""},
  });
  EXPECT_THROW(sim::familyov::FamilyOvUnit({.model = Model::k8124, .compressorOption = true}),
               std::invalid_argument);
  EXPECT_THROW(sim::familyov::FamilyOvUnit({.firmware = "15"}), std::invalid_argument);
  EXPECT_THROW(sim::familyov::FamilyOvUnit({.firmware = "1x5"}), std::invalid_argument);
  EXPECT_THROW(sim::familyov::FamilyOvUnit({.reflashedFirmware = "1."}), std::invalid_argument);
}

// Unit 1, an 8148 with the compressor option (family F0 08); unit 2, an 8126 (F0 06).
TEST_F(IdentityAndTableTest, ArrayObjectsHoldEveryElementUpToTheirCount) {
  AddModel({.model = Model::k8148, .address = 1, .compressorOption = true});
  AddModel({.model = Model::k8126, .address = 2});
  Connect();
  Run({
      // crosspoint levels: 96 floats
      {"01 F0 08 07 0C 09 5F 3F 80 00 00", "01 F0 08 01 02 0C 09"},
      {"01 F0 08 03 0C 0A 5F", "01 F0 08 01 06 0C 0A 3F 80 00 00"},
      {"01 F0 08 03 0C 0A 5E", "01 F0 08 01 06 0C 0A 00 00 00 00"},
      {"01 F0 08 03 0C 0A 60", "01 F0 08 01 04 B0 7F 0A 07"},
      // channel delays: 20 words
      {"01 F0 08 07 1F 09 13 00 00 30 00", "01 F0 08 01 02 1F 09"},
      {"01 F0 08 03 1F 0A 13", "01 F0 08 01 06 1F 0A 00 00 30 00"},
      {"01 F0 08 03 1F 0A 14", "01 F0 08 01 04 B0 7F 0A 07"},
      // logic map: 32 inputs, input 31 recalls memory 7 of 8 at first
      {"01 F0 08 03 1A 0A 1F", "01 F0 08 01 03 1A 0A 07"},
      {"01 F0 08 03 1A 0A 20", "01 F0 08 01 04 B0 7F 0A 07"},
      // polarity: 12 outputs, +1.0 at first; compressors: 8
      {"01 F0 08 03 32 0A 0B", "01 F0 08 01 06 32 0A 3F 80 00 00"},
      {"01 F0 08 03 32 0A 0C", "01 F0 08 01 04 B0 7F 0A 07"},
      {"01 F0 08 03 47 0A 08", "01 F0 08 01 04 B0 7F 0A 07"},
      // ids the family does not use
      {"01 F0 08 02 12 0A", "01 F0 08 01 04 B0 7F 0A 00"},
      {"01 F0 08 02 4E 0A", "01 F0 08 01 04 B0 7F 0A 00"},
      // memory image of 840 words on the 8148, 730 on the 2-input models; the option
      {"01 F0 08 02 3A 0A", "01 F0 08 01 06 3A 0A 00 00 03 48"},
      {"02 F0 06 02 3A 0A", "02 F0 06 01 06 3A 0A 00 00 02 DA"},
      {"01 F0 08 02 4C 0A", "01 F0 08 01 03 4C 0A 01"},
      {"02 F0 06 02 4C 0A", "02 F0 06 01 03 4C 0A 00"},
  });
}

TEST_F(IdentityAndTableTest, TextsReplaceTheWholeElementAndNumbersAndRecordsGoWhole) {
  AddModel({.model = Model::k8148, .address = 1, .serialNumber = "SN42"});
  Connect();
  Run({
      // channel 19's name: a shorter name leaves nothing of the longer one
      {"01 F0 08 0B 30 09 13 4C 4F 4E 47 4E 41 4D 45", "01 F0 08 01 02 30 09"},
      {"01 F0 08 06 30 09 13 41 42 00", "01 F0 08 01 02 30 09"},
      {"01 F0 08 03 30 0A 13", "01 F0 08 01 11 30 0A 41 42 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      // a word written with two bytes is incomplete, and nothing is stored
      {"01 F0 08 05 1F 09 00 12 34", "01 F0 08 01 04 B0 7F 09 05"},
      {"01 F0 08 03 1F 0A 00", "01 F0 08 01 06 1F 0A 00 00 00 00"},
      // the serial number is the unit's own
      {"01 F0 08 04 17 09 41 00", "01 F0 08 01 04 B0 7F 09 03"},
      {"01 F0 08 02 17 0A", "01 F0 08 01 11 17 0A 53 4E 34 32 00 00 00 00 00 00 00 00 00 00 00"},
      // clock records: Tuesday 14:30:15; hour 24 and an event on day 8 are refused
      {"01 F0 08 06 3C 09 03 0E 1E 0F", "01 F0 08 01 02 3C 09"},
      {"01 F0 08 06 3C 09 03 18 00 00", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 02 3C 0A", "01 F0 08 01 06 3C 0A 03 0E 1E 0F"},
      {"01 F0 08 07 3D 09 45 07 17 3B 1F", "01 F0 08 01 02 3D 09"},
      {"01 F0 08 07 3D 09 45 08 00 00 01", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 03 3D 0A 45", "01 F0 08 01 06 3D 0A 07 17 3B 1F"},
  });
}

TEST_F(IdentityAndTableTest, ANewAddressTakesEffectFromTheNextRequest) {
  AddModel({.model = Model::k8148, .address = 1});
  Connect();
  Run({
      {"01 F0 08 03 07 09 FB", "01 F0 08 01 04 B0 7F 09 07"},  // 251 is no unit address
      {"01 F0 08 03 07 09 09", "01 F0 08 01 02 07 09"},
      {"01 F0 08 02 07 0A", ""},
      {"09 F0 08 02 07 0A", "09 F0 08 01 03 07 0A 09"},
  });
}

}  // namespace
