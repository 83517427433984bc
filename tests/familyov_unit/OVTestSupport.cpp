#include "tests/familyov_unit/OVTestSupport.h"

#include <cstdio>
#include <map>

#include "familyov/unit/ParameterTable.h"
#include "sim/WireFormat.h"

namespace ovtest {

namespace {

int CountOf(int id) {
  for (const UCodeObject* object : namespaceOV::ParameterObjects()) {
    if (object->GetId() == id) return object->GetCount();
  }
  return 1;
}

std::vector<sim::ObjectLayout> FamilyObjects() {
  std::map<int, sim::ObjectLayout> specs;
  for (const UCodeObject* object : namespaceOV::ParameterObjects()) {
    specs.emplace(object->GetId(), sim::ObjectLayout{.id = object->GetId(),
                                                     .elementSize = object->ElementSize(),
                                                     .count = object->GetCount(),
                                                     .isVolatile = object->IsVolatile()});
  }
  std::vector<sim::ObjectLayout> list;
  for (const auto& [id, layout] : specs) list.push_back(layout);
  return list;
}

}  // namespace

std::string Describe(bool write, int id, int element, const std::vector<uint8_t>& data) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%02X", write ? 'W' : 'R', id);
  std::string line = text;
  if (element >= 0) line += "." + std::to_string(element);
  if (write) {
    line += " ";
    for (uint8_t byte : data) {
      std::snprintf(text, sizeof text, "%02X", byte);
      line += text;
    }
  }
  return line;
}

float ChannelLevel(IQDevice& unit, int channel) {
  namespaceOV::gChannelLevelObject.SetElement(channel);
  return namespaceOV::gChannelLevelObject.Read(unit);
}

void SetChannelLevel(IQDevice& unit, int channel, float dB) {
  namespaceOV::gChannelLevelObject.SetElement(channel);
  namespaceOV::gChannelLevelObject.Write(unit, dB);
}

std::string MemoryName(IQDevice& unit, int memory) {
  namespaceOV::gMemoryNameObject.SetElement(memory - 1);
  return namespaceOV::gMemoryNameObject.Read(unit);
}

void SetMemoryName(IQDevice& unit, int memory, const std::string& name) {
  namespaceOV::gMemoryNameObject.SetElement(memory - 1);
  namespaceOV::gMemoryNameObject.Write(unit, name);
}

std::string Hex(int byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
  return text;
}

std::array<uint8_t, 8> ModelId(char digit, const std::string& firmware, bool fourInput) {
  std::array<uint8_t, 8> id{};
  std::size_t at = 0;
  if (fourInput) id[at++] = 'x';
  id[at++] = static_cast<uint8_t>(digit);
  for (char c : firmware) {
    if (at < id.size()) id[at++] = static_cast<uint8_t>(c);
  }
  return id;
}

int FamilyBus::AddModelUnit(sim::familyov::Model model, int address, const std::string& firmware) {
  return sim::familyov::AddFamilyOvUnit(bus,
                                        {.model = model, .address = address, .firmware = firmware});
}

int FamilyBus::AddUnit(int address, uint32_t family, const std::array<uint8_t, 8>& modelId) {
  sim::UnitIdentity identity{.address = address, .family = static_cast<int>(family)};
  identity.modelId = modelId;
  return bus.AddGenericUnit(identity, FamilyObjects());
}

std::vector<std::string> FamilyBus::TakeTrace() {
  std::vector<std::string> trace;
  for (const sim::TrafficEntry& entry : bus.Traffic()) {
    if (entry.direction != sim::Direction::kToUnits) continue;
    const auto request = sim::DecodeRequest(entry.bytes);
    if (!request || request->opcode == sim::kNoOpcode) continue;
    const bool write = request->opcode == sim::kOpcodeSet;
    std::vector<uint8_t> data = request->payload;
    int element = -1;
    if (CountOf(request->objectId) > 1 && !data.empty()) {
      element = data.front();
      data.erase(data.begin());
    }
    trace.push_back(Describe(write, request->objectId, element, data));
  }
  bus.ClearTraffic();
  return trace;
}

void FamilyBus::StoreByte(int unit, int id, int element, uint8_t value) {
  bus.StoreElement(unit, id, element, {value});
}

void FamilyBus::StoreLong(int unit, int id, int element, uint32_t value) {
  bus.StoreElement(unit, id, element,
                   {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                    static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

}  // namespace ovtest
