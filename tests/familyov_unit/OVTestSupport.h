#pragma once

// The newer family against the simulated bus, and recordings of what a device sends, written the
// same way for a unit (decoded from the bus's traffic) and for a virtual unit (recorded at the
// device), so that one expected sequence checks both.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/support/FaultKinds.h"

namespace ovtest {

// One transfer: "W11 05" writes 05 to object 0x11; "W13.1 00000057" writes element 1 of 0x13;
// "R10" reads object 0x10, "R13.0" element 0 of 0x13.
std::string Describe(bool write, int id, int element, const std::vector<uint8_t>& data);
// The byte as two hex digits.
std::string Hex(int byte);

// A unit's model information: the 4-input model carries its digit in byte 1, the others in
// byte 0, each followed by the firmware version.
std::array<uint8_t, 8> ModelId(char digit, const std::string& firmware, bool fourInput);

// Channel `channel`'s level in dB, and memory `memory`'s name (from 1), read from or written to
// the unit.
float ChannelLevel(IQDevice& unit, int channel);
void SetChannelLevel(IQDevice& unit, int channel, float dB);
std::string MemoryName(IQDevice& unit, int memory);
void SetMemoryName(IQDevice& unit, int memory, const std::string& name);

// A simulated bus on a pseudo-terminal with the family's units, and the device manager on it.
class FamilyBus : public bustest::PseudoTerminalBus {
 public:
  // A unit of the family's simulated model.
  int AddModelUnit(sim::familyov::Model model, int address, const std::string& firmware = "1.5");
  // A unit answering every object of the family's table from its store, whatever was stored:
  // for values a unit of the family would not send.
  int AddUnit(int address, uint32_t family, const std::array<uint8_t, 8>& modelId);
  // The transfers the program sent since the last call, roll call excluded.
  std::vector<std::string> TakeTrace();
  void StoreByte(int unit, int id, int element, uint8_t value);
  void StoreLong(int unit, int id, int element, uint32_t value);
};

// A model device that records every transfer it is asked for; a virtual one keeps its store.
template <typename Model>
class Recording : public Model {
 public:
  using Model::Model;
  void DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) override {
    trace.push_back(Describe(true, object.GetId(), object.IsArray() ? object.GetElement() : -1,
                             {data.begin(), data.end()}));
    Model::DoWrite(object, data, timeoutMs);
  }
  void Request(const UCodeObject& object, int timeoutMs) override {
    trace.push_back(
        Describe(false, object.GetId(), object.IsArray() ? object.GetElement() : -1, {}));
    Model::Request(object, timeoutMs);
  }
  std::vector<std::string> TakeTrace() { return std::exchange(trace, {}); }

  std::vector<std::string> trace;
};

using WriteFailure = testsupport::WriteFailure;
// The error the family's units answer a value they will not take with.
inline constexpr int kRefusalCode = 3;
inline const auto kWriteFailures = testsupport::WriteFailures(kRefusalCode);

// A new virtual unit of the model, its set-up traffic dropped.
template <typename Model>
std::unique_ptr<Recording<Model>> NewVirtual(int outputs) {
  auto device = std::make_unique<Recording<Model>>(nullptr, nullptr, nullptr, outputs);
  device->trace.clear();
  return device;
}

}  // namespace ovtest
