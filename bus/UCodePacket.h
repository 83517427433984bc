#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Largest value a variable-length integer of three 7-bit groups can carry.
inline constexpr int kMaxVarint = (1 << 21) - 1;

// Bytes a variable-length integer of `value` takes on the wire (1 for anything below 128).
int VarintLength(int value);

// Decodes a variable-length integer from `bytes`; returns the number of bytes used, or 0 when the
// bytes end before the last group. At most three bytes are read; bit 7 of the third is ignored.
int DecodeVarint(std::span<const uint8_t> bytes, int& value);

// A bus packet under construction, with the running checksum that follows it on the wire.
class UCodePacket {
 public:
  // A packet and its checksum byte must fit the units' 100-byte receive buffer.
  static constexpr std::size_t kMaxBytes = 99;

  void AppendByte(uint8_t byte);
  // Appends `value` as 7-bit groups, least significant first. Throws `TooManyBytes` when the value
  // needs more than three groups.
  void AppendVarint(int value);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::size_t Size() const { return bytes_.size(); }
  uint8_t Checksum() const { return checksum_; }
  bool HighBit() const { return highBit_; }
  // The packet as it goes on the wire: its bytes followed by the checksum.
  std::vector<uint8_t> WireBytes() const;
  void Clear();

 private:
  std::vector<uint8_t> bytes_;
  uint8_t checksum_ = 0;
  bool highBit_ = false;
};

// Sum of `bytes` modulo 256, the checksum every packet and reply carries.
uint8_t ChecksumOf(std::span<const uint8_t> bytes);
