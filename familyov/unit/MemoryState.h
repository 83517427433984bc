#pragma once

#include <array>
#include <cstdint>

#include "familyov/unit/OVCodecs.h"

class IQDevice;

namespace namespaceOV {

inline constexpr int kStateBlockWords = 512;  // 2048 bytes

// Moves parameter values between a device and a state block of 32-bit words, one value per word
// in the order of the calls, either way; the layout is written once for both directions.
class MemoryState {
 public:
  enum class Direction { kSave, kRestore };
  using Words = std::array<uint32_t, kStateBlockWords>;

  MemoryState(IQDevice& device, Words& words, Direction direction)
      : device_(device), words_(words), direction_(direction) {}

  void Byte(ByteUCodeObject& object, int element);
  void Bool(BoolUCodeObject& object, int element);
  void Long(LongIntUCodeObject& object, int element);
  void Float(FloatUCodeObject& object, int element);
  // Levels keep the unit's linear gain, so a save after a recall gives the same words.
  void Level(dBLevelObject& object, int element);

 private:
  // The next word; OrdavinexRangeError once the block is full.
  uint32_t& Next();

  IQDevice& device_;
  Words& words_;
  Direction direction_;
  std::size_t next_ = 0;
};

}  // namespace namespaceOV
