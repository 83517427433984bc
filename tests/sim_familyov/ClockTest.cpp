// The unit clock and its events: four-byte records whose fields the unit checks.

#include <gtest/gtest.h>

#include "FamilyOvTestSupport.h"

namespace {

using sim::familyov::Model;

class ClockTest : public familyovtest::FamilyOvBusTest {};

// Unit 1, an 8148 (family F0 08).
TEST_F(ClockTest, TimeDateAndEventsKeepValidRecordsAndRefuseOthers) {
  AddModel({.model = Model::k8148, .address = 1});
  Connect();
  Run({
      // Tuesday 14:30:15
      {"01 F0 08 06 3C 09 03 0E 1E 0F", "01 F0 08 01 02 3C 09"},
      {"01 F0 08 02 3C 0A", "01 F0 08 01 06 3C 0A 03 0E 1E 0F"},
      // hour 24, weekday 0, second 60
      {"01 F0 08 06 3C 09 03 18 00 00", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 3C 09 00 0E 1E 0F", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 3C 09 03 0E 1E 3C", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 02 3C 0A", "01 F0 08 01 06 3C 0A 03 0E 1E 0F"},
      // 31 December 2009
      {"01 F0 08 06 42 09 1F 0C 09 14", "01 F0 08 01 02 42 09"},
      {"01 F0 08 02 42 0A", "01 F0 08 01 06 42 0A 1F 0C 09 14"},
      {"01 F0 08 06 42 09 1F 0D 09 14", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 06 42 09 00 0C 09 14", "01 F0 08 01 04 B0 7F 09 07"},
      // event slot 3: Saturday 23:59, logic 31; an empty slot is day 0
      {"01 F0 08 07 3D 09 03 07 17 3B 1F", "01 F0 08 01 02 3D 09"},
      {"01 F0 08 03 3D 0A 03", "01 F0 08 01 06 3D 0A 07 17 3B 1F"},
      {"01 F0 08 07 3D 09 03 00 00 00 00", "01 F0 08 01 02 3D 09"},
      {"01 F0 08 07 3D 09 03 08 00 00 01", "01 F0 08 01 04 B0 7F 09 07"},
      {"01 F0 08 07 3D 09 03 01 00 00 20", "01 F0 08 01 04 B0 7F 09 07"},
      // only the unit says whether it has a clock
      {"01 F0 08 03 3E 09 00", "01 F0 08 01 04 B0 7F 09 03"},
  });
}

}  // namespace
