#pragma once

// One simulated graphic equaliser on the family's test bus, for the windows' tests.

#include <string>
#include <vector>

#include "tests/family3300/EqTestSupport.h"

namespace windows3300 {

struct WindowFixture : eqtest::EqFixture {
  // The unit named "STAGE" with the password "ABC123", found by a roll call.
  namespace3300::IQDevice3300* AddUnit(int address, bool twoChannel,
                                       const std::string& firmware = "01.20") {
    sim::family3300::AddFamily3300Unit(bus, {.model = twoChannel ? sim::family3300::Model::k3300_2XL
                                                                 : sim::family3300::Model::k3300XL,
                                             .address = address,
                                             .firmware = firmware,
                                             .unitName = "STAGE",
                                             .password = "ABC123"});
    const auto units = RollCall();
    return units.empty() ? nullptr : units.front();
  }
  void Store(int objectId, const std::vector<uint8_t>& bytes) {
    bus.StoreElement(0, objectId, 0, bytes);
  }
  uint8_t Byte(int objectId) const { return bus.Element(0, objectId, 0).at(0); }
};

// The bytes of a text as a name object holds them: its characters, zero-filled to 15.
inline std::vector<uint8_t> TextBytes(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.resize(15, 0);
  return bytes;
}

}  // namespace windows3300
