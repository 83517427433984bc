#pragma once

#include <cstdint>
#include <vector>

#include "bus/IQDataSocket.h"
#include "bus/ObjectIdTable.h"

// A device's in-memory copy of its values, one buffer of count elements per object id.
// Elements never written read as zeros.
class UCodeHeap : public IQDataSocket {
 public:
  // Time-outs are ignored. Refuses data longer than the object's element with `ValueTooLong`;
  // shorter data clears the rest of the element.
  void Set(IQDevice& device, const UCodeObject& object, std::span<const uint8_t> data,
           int timeoutMs) override;
  void Get(IQDevice& device, const UCodeObject& object, int timeoutMs) override;
  // Always true: the store has every value.
  bool Receive(std::vector<uint8_t>& data) override;
  void Flush(int) override {}
  // Values of ids from `objectCount` up are dropped.
  void SetObjectCount(int objectCount);

 private:
  std::span<uint8_t> Element(const UCodeObject& object);

  ObjectIdTable<std::vector<uint8_t>> buffers_;
  std::vector<uint8_t> lastRead_;
};
