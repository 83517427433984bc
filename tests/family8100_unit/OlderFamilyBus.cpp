#include "tests/family8100_unit/OlderFamilyBus.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace testsupport8100 {

OlderFamilyBus::OlderFamilyBus()
    : port(1, kBusBaudRate,
           [path = bus.SlavePath()] {
             return serial::MakeSystemLine([path](int) { return std::optional(path); });
           }),
      manager(port) {
  bus.Start();
  port.Open();
}

OlderFamilyBus::~OlderFamilyBus() {
  port.Close();
  bus.Stop();
}

std::vector<IQDevice*> OlderFamilyBus::RollCall() {
  std::vector<IQDevice*> found;
  std::vector<IQDeviceType*> all{&base, &plus, &x, &runeTide};
  manager.RollCall(all, found, notifier);
  bus.ClearTraffic();
  return found;
}

std::vector<std::string> OlderFamilyBus::TakeTrace() {
  std::vector<std::string> trace;
  for (const sim::TrafficEntry& entry : bus.Traffic()) {
    if (entry.direction != sim::Direction::kToUnits) continue;
    const auto request = sim::DecodeRequest(entry.bytes);
    if (!request || request->opcode == sim::kNoOpcode) continue;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02X", request->opcode == sim::kOpcodeSet ? 'W' : 'R',
                  request->objectId);
    std::string line = text;
    if (request->opcode == sim::kOpcodeSet) line += " ";
    for (uint8_t byte : request->payload) {
      std::snprintf(text, sizeof text, "%02X", byte);
      line += text;
    }
    trace.push_back(line);
  }
  bus.ClearTraffic();
  return trace;
}

std::vector<sim::family8100::FilterSlot> OlderFamilyBus::SlotsOf(int index) {
  std::vector<sim::family8100::FilterSlot> unitSlots;
  bus.WithUnit(index, [&unitSlots](sim::Unit& unit) {
    unitSlots = dynamic_cast<sim::family8100::Family8100Unit&>(unit).Slots();
  });
  return unitSlots;
}

namespace8100::IQDevice8100* OnlyUnit(OlderFamilyBus& bus) {
  auto found = bus.RollCall();
  EXPECT_EQ(found.size(), 1u);
  return dynamic_cast<namespace8100::IQDevice8100*>(found.at(0));
}

}  // namespace testsupport8100
