#include "bus/UCodePacket.h"

#include <numeric>

#include "bus/IQException.h"

int VarintLength(int value) {
  if (value < 128) return 1;
  int groups = 0;
  for (unsigned v = static_cast<unsigned>(value); v != 0; v >>= 7) ++groups;
  return groups;
}

int DecodeVarint(std::span<const uint8_t> bytes, int& value) {
  value = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (i >= bytes.size()) return 0;
    value += (bytes[i] & 0x7F) << (7 * i);
    if (i == 2 || (bytes[i] & 0x80) == 0) return static_cast<int>(i) + 1;
  }
  return 0;
}

void UCodePacket::AppendByte(uint8_t byte) {
  bytes_.push_back(byte);
  checksum_ = static_cast<uint8_t>(checksum_ + byte);
  highBit_ = byte >= 0x80;
}

void UCodePacket::AppendVarint(int value) {
  if (value < 128) {
    AppendByte(static_cast<uint8_t>(value));
  } else {
    auto v = static_cast<unsigned>(value);
    int groups = 0;
    while (v >= 128) {
      AppendByte(static_cast<uint8_t>((v & 0x7F) | 0x80));
      v >>= 7;
      if (++groups == 3) throw TooManyBytes();
    }
    AppendByte(static_cast<uint8_t>(v));
  }
  highBit_ = false;
}

std::vector<uint8_t> UCodePacket::WireBytes() const {
  std::vector<uint8_t> wire = bytes_;
  wire.push_back(checksum_);
  return wire;
}

void UCodePacket::Clear() {
  bytes_.clear();
  checksum_ = 0;
  highBit_ = false;
}

uint8_t ChecksumOf(std::span<const uint8_t> bytes) {
  return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}
