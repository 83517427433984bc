#include <gtest/gtest.h>

#include "bus/IQException.h"
#include "bus/UCodePacket.h"

namespace {

std::vector<uint8_t> VarintBytes(int value) {
  UCodePacket p;
  p.AppendVarint(value);
  return p.Bytes();
}

TEST(Varint, EncodesLeastSignificantGroupFirst) {
  EXPECT_EQ(VarintBytes(9), (std::vector<uint8_t>{0x09}));
  EXPECT_EQ(VarintBytes(368), (std::vector<uint8_t>{0xF0, 0x02}));
  EXPECT_EQ(VarintBytes(0x3F80), (std::vector<uint8_t>{0x80, 0x7F}));
  EXPECT_EQ(VarintBytes(0x3FB0), (std::vector<uint8_t>{0xB0, 0x7F}));
  EXPECT_EQ(VarintBytes(kMaxVarint), (std::vector<uint8_t>{0xFF, 0xFF, 0x7F}));
}

TEST(Varint, NegativeValuesSendTheirLowByte) {
  EXPECT_EQ(VarintBytes(-1), (std::vector<uint8_t>{0xFF}));
}

TEST(Varint, FourthGroupIsRefused) {
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
}

TEST(UCodePacket, RollCallRestartChecksum) {
  UCodePacket p;
  for (uint8_t b : {0xFC, 0xF8, 0xF8, 0x02, 0x80, 0x7F}) p.AppendByte(b);
  EXPECT_EQ(p.Checksum(), 0xED);
}

}  // namespace
