#include "tests/bus/RequestTrace.h"

#include <cstdio>

#include "sim/WireFormat.h"

namespace bustest {

std::vector<std::string> TakeRequestTrace(sim::SimulatedBus& bus, bool withAddress) {
  std::vector<std::string> trace;
  for (const sim::TrafficEntry& entry : bus.Traffic()) {
    if (entry.direction != sim::Direction::kToUnits) continue;
    const auto request = sim::DecodeRequest(entry.bytes);
    if (!request || request->opcode == sim::kNoOpcode) continue;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02X", request->opcode == sim::kOpcodeSet ? 'W' : 'R',
                  request->objectId);
    std::string line = withAddress ? std::to_string(request->address) + ":" + text : text;
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

}  // namespace bustest
