#pragma once

#include <initializer_list>

#include "SimTestSupport.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace familyovtest {

// A request and the reply it must get, both without their checksum byte; an empty reply means
// the unit stays silent.
struct Exchange {
  const char* request;
  const char* reply;
};

// Replies from the error object carry these codes.
inline constexpr const char* kInvalidObject = "00";
inline constexpr const char* kMethodOutOfRange = "03";
inline constexpr const char* kIncomplete = "05";
inline constexpr const char* kOutOfRange = "07";

class FamilyOvBusTest : public simtest::SimBusTest {
 protected:
  // Units poll busy for three reads unless a test says otherwise.
  int AddModel(sim::familyov::UnitOptions options);
  void Run(std::initializer_list<Exchange> exchanges);
  // Runs `action` on the unit the bus holds at `unitIndex`.
  void WithFamilyUnit(int unitIndex,
                      const std::function<void(sim::familyov::FamilyOvUnit&)>& action);
};

}  // namespace familyovtest
