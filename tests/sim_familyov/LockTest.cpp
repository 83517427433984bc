// Lock and password: a locked unit refuses every change with its locked code until the right
// password arrives.

#include <gtest/gtest.h>

#include "FamilyOvTestSupport.h"

namespace {

using sim::familyov::Model;

class LockTest : public familyovtest::FamilyOvBusTest {};

// Unit 4, an 8124 (family F0 06).
TEST_F(LockTest, ALockedUnitRefusesChangesUntilTheRightPasswordUnlocksIt) {
  AddModel({.model = Model::k8124, .address = 4});
  Connect();
  Run({
      // new password "ABC" while unlocked, then lock
      {"04 F0 06 06 16 09 41 42 43 00", "04 F0 06 01 02 16 09"},
      {"04 F0 06 03 18 09 01", "04 F0 06 01 02 18 09"},
      {"04 F0 06 02 18 0A", "04 F0 06 01 03 18 0A 01"},
      // changes are refused with code 10, plain values and commands alike
      {"04 F0 06 04 15 09 58 00", "04 F0 06 01 04 B0 7F 09 0A"},
      {"04 F0 06 03 0A 09 01", "04 F0 06 01 04 B0 7F 09 0A"},
      // clearing the lock flag does not unlock
      {"04 F0 06 03 18 09 00", "04 F0 06 01 04 B0 7F 09 0A"},
      // reads still answer; the password is never read back
      {"04 F0 06 03 20 0A 00", "04 F0 06 01 03 20 0A 00"},
      {"04 F0 06 02 16 0A", "04 F0 06 01 11 16 0A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      // a wrong password, or a prefix of the right one, is taken without a word: still locked
      {"04 F0 06 06 16 09 41 42 44 00", "04 F0 06 01 02 16 09"},
      {"04 F0 06 05 16 09 41 42 00", "04 F0 06 01 02 16 09"},
      {"04 F0 06 02 18 0A", "04 F0 06 01 03 18 0A 01"},
      // the right one unlocks
      {"04 F0 06 06 16 09 41 42 43 00", "04 F0 06 01 02 16 09"},
      {"04 F0 06 02 18 0A", "04 F0 06 01 03 18 0A 00"},
      {"04 F0 06 04 15 09 58 00", "04 F0 06 01 02 15 09"},
  });
}

}  // namespace
