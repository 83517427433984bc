#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/familyov/Access.h"

namespace sim::familyov {

// One block of firmware as the unit took it: where it went in the flash and its bytes.
struct FlashRecord {
  uint32_t address = 0;
  std::vector<uint8_t> bytes;

  bool operator==(const FlashRecord&) const = default;
};

// The unit's side of a reflash: enable, erase, then blocks of data each placed after the upper
// address last written, every block as long as the byte count last written.
class FlashProgrammer {
 public:
  Outcome Enable(uint8_t value);
  // The caller lets the unit be busy while it erases.
  Outcome Erase(uint8_t value);
  Outcome SetAddress(uint32_t upperAddress);
  Outcome SetCount(uint8_t count);
  Outcome Write(std::span<const uint8_t> block);
  // A reboot ends programming: a new reflash starts with enable again. True when it ends one that
  // wrote data, so that the unit now runs new firmware.
  bool Reboot();

  const std::vector<FlashRecord>& Records() const { return records_; }

 private:
  bool enabled_ = false;
  bool erased_ = false;
  uint32_t upperAddress_ = 0;
  uint32_t offset_ = 0;
  std::size_t count_ = 0;
  std::vector<FlashRecord> records_;
};

}  // namespace sim::familyov
