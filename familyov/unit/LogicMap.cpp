#include "familyov/unit/LogicMap.h"

#include <algorithm>

#include "controls/TimeText.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr int kHighestBit = 16;

}  // namespace

LogicBitBoxes LogicBitsOf(int number) {
  LogicBitBoxes boxes{};
  for (int k = 0; k < kLogicBits; ++k) boxes[k] = (number & (kHighestBit >> k)) != 0;
  return boxes;
}

int LogicNumberOf(const LogicBitBoxes& boxes) {
  int number = 0;
  for (int k = 0; k < kLogicBits; ++k) {
    if (boxes[k]) number += kHighestBit >> k;
  }
  return number;
}

int ClampLogicNumber(int number) { return std::clamp(number, 0, kLastLogicNumber); }

std::optional<int> TypedLogicNumber(std::string_view text) {
  const std::optional<int> number = controls::LeadingNumber(text);
  if (!number) return std::nullopt;
  return ClampLogicNumber(*number);
}

int RecalledMemory(IQDeviceOrdavinex& device, int input) {
  gLogicMemoryObject.SetElement(input);
  const int memory = gLogicMemoryObject.Read(device);
  if (memory > device.GetMemoryCount()) {
    throw OrdavinexRangeError("Logic input " + std::to_string(input) + " recalls memory " +
                              std::to_string(memory) + ", which this unit does not have (it has " +
                              std::to_string(device.GetMemoryCount()) + ").");
  }
  return memory;
}

std::string RecalledMemoryText(IQDeviceOrdavinex& device, int memory) {
  if (memory == 0) return "<None>";
  gMemoryNameObject.SetElement(memory - 1);
  return gMemoryNameObject.Read(device);
}

void CopyLogicResponse(IQDeviceOrdavinex& device, int source, int target) {
  // Only what differs is written: a write whose answer is lost then always changed something.
  for (ByteUCodeObject* part : {&gLogicMemoryObject, &gLogicOutObject}) {
    part->SetElement(source);
    const uint8_t value = part->Read(device);
    part->SetElement(target);
    if (part->Read(device) == value) continue;
    part->SetElement(target);
    part->Write(device, value);
  }
}

}  // namespace namespaceOV
