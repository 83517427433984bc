#pragma once

#include <cstdint>

// What a data window tells the other windows of its unit: built by the sender, handed on by
// pointer. The codes and the meaning of the other fields belong to the family that sends it.
struct NotifyRecord {
  uint32_t code = 0;
  int32_t channel = 0;  // channel or group
  int32_t flag = 0;
  void* pointer = nullptr;
};
