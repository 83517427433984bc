#include "familyov/unit/MemoryState.h"

#include <bit>

#include "familyov/unit/OrdavinexErrors.h"

namespace namespaceOV {

uint32_t& MemoryState::Next() {
  if (next_ >= words_.size()) throw OrdavinexRangeError("Memory state block is full.");
  return words_[next_++];
}

void MemoryState::Byte(ByteUCodeObject& object, int element) {
  object.SetElement(element);
  uint32_t& word = Next();
  if (direction_ == Direction::kSave) {
    word = object.Read(device_);
  } else {
    object.Write(device_, static_cast<uint8_t>(word));
  }
}

void MemoryState::Bool(BoolUCodeObject& object, int element) {
  object.SetElement(element);
  uint32_t& word = Next();
  if (direction_ == Direction::kSave) {
    word = object.Read(device_) ? 1 : 0;
  } else {
    object.Write(device_, word != 0);
  }
}

void MemoryState::Long(LongIntUCodeObject& object, int element) {
  object.SetElement(element);
  uint32_t& word = Next();
  if (direction_ == Direction::kSave) {
    word = object.Read(device_);
  } else {
    object.Write(device_, word);
  }
}

void MemoryState::Float(FloatUCodeObject& object, int element) {
  object.SetElement(element);
  uint32_t& word = Next();
  if (direction_ == Direction::kSave) {
    word = std::bit_cast<uint32_t>(object.Read(device_));
  } else {
    object.Write(device_, std::bit_cast<float>(word));
  }
}

void MemoryState::Level(dBLevelObject& object, int element) {
  object.SetElement(element);
  uint32_t& word = Next();
  if (direction_ == Direction::kSave) {
    word = std::bit_cast<uint32_t>(object.ReadLinear(device_));
  } else {
    object.WriteLinear(device_, std::bit_cast<float>(word));
  }
}

}  // namespace namespaceOV
