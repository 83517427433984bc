#include <gtest/gtest.h>

#include "bus/IQException.h"
#include "bus/UCodePacket.h"

namespace {

std::vector<uint8_t> VarintBytes(int value) {
  UCodePacket p;
  p.AppendVarint(value);
  return p.Bytes();
}

TEST(Varint, EncodesLeastSignificantGroupFirstUpToThreeGroups) {
  const std::pair<int, std::vector<uint8_t>> cases[] = {
      {9, {0x09}},
      {368, {0xF0, 0x02}},
      {0x3F80, {0x80, 0x7F}},
      {0x3FB0, {0xB0, 0x7F}},
      {kMaxVarint, {0xFF, 0xFF, 0x7F}},
      {-1, {0xFF}},  // a negative value sends its low byte
  };
  for (const auto& [value, bytes] : cases) EXPECT_EQ(VarintBytes(value), bytes) << value;
  UCodePacket p;
  EXPECT_THROW(p.AppendVarint(kMaxVarint + 1), TooManyBytes);
}

TEST(Varint, LengthAndDecodeAgreeWithEncoding) {
  for (int v : {0, 127, 128, 368, 16383, 16384, kMaxVarint}) {
    const auto bytes = VarintBytes(v);
    EXPECT_EQ(VarintLength(v), static_cast<int>(bytes.size())) << v;
    int decoded = -1;
    EXPECT_EQ(DecodeVarint(bytes, decoded), static_cast<int>(bytes.size())) << v;
    EXPECT_EQ(decoded, v);
  }
  int value = 0;
  const std::vector<uint8_t> cut{0x80};
  EXPECT_EQ(DecodeVarint(cut, value), 0);
}

TEST(UCodePacket, ChecksumIsRunningSumAndHighBitFollowsLastByte) {
  // A set of one byte to unit 5 of family 368, object 20.
  UCodePacket p;
  p.AppendByte(5);
  p.AppendVarint(368);
  EXPECT_FALSE(p.HighBit());
  for (uint8_t b : {0x03, 0x14, 0x09}) p.AppendByte(b);
  p.AppendByte(0x80);
  EXPECT_TRUE(p.HighBit());
  EXPECT_EQ(p.Checksum(), static_cast<uint8_t>(0x05 + 0xF0 + 0x02 + 0x03 + 0x14 + 0x09 + 0x80));
  const auto wire = p.WireBytes();
  EXPECT_EQ(wire.back(), p.Checksum());
  EXPECT_EQ(ChecksumOf(p.Bytes()), p.Checksum());

  UCodePacket restart;
  for (uint8_t b : {0xFC, 0xF8, 0xF8, 0x02, 0x80, 0x7F}) restart.AppendByte(b);
  EXPECT_EQ(restart.Checksum(), 0xED);
}

}  // namespace
