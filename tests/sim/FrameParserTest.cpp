// How the units' receiver cuts the program's byte stream into frames.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/FrameParser.h"
#include "sim/WireFormat.h"

namespace {

using simtest::Bytes;
using simtest::Hex;
using simtest::ToHex;

std::vector<sim::Frame> FeedAll(sim::FrameParser& parser, const Bytes& bytes) {
  std::vector<sim::Frame> frames;
  for (uint8_t byte : bytes) {
    parser.Feed(byte);
    while (auto frame = parser.Next()) frames.push_back(*frame);
  }
  return frames;
}

struct FramingCase {
  const char* what;
  const char* stream;
  std::vector<std::pair<sim::FrameKind, const char*>> frames;
};

TEST(FrameParserTest, CutsStreamsIntoFrames) {
  using K = sim::FrameKind;
  const FramingCase cases[] = {
      {"a get request", "05 F0 02 02 14 0A 17", {{K::kPacket, "05 F0 02 02 14 0A 17"}}},
      {"two requests back to back",
       "05 F0 02 02 14 0A 17 05 F0 02 03 14 09 07 1E",
       {{K::kPacket, "05 F0 02 02 14 0A 17"}, {K::kPacket, "05 F0 02 03 14 09 07 1E"}}},
      // F8 F8 stands where a family code stands but is no valid variable-length integer.
      {"roll-call query", "FC F8 F8 02 81 7F EE", {{K::kPacket, "FC F8 F8 02 81 7F EE"}}},
      {"three-byte family code",
       "07 81 80 01 02 14 0A 29",
       {{K::kPacket, "07 81 80 01 02 14 0A 29"}}},
      {"bad checksum is dropped whole, the next frame survives",
       "05 F0 02 02 14 0A 18 05 F0 02 02 14 0A 17",
       {{K::kUnparsable, "05 F0 02 02 14 0A 18"}, {K::kPacket, "05 F0 02 02 14 0A 17"}}},
      {"interface commands",
       "FD E9 FD E3",
       {{K::kInterfaceCommand, "FD E9"}, {K::kInterfaceCommand, "FD E3"}}},
      {"duplex test bytes", "01 02 03 04 FE FF", {{K::kInterfaceTest, "01 02 03 04 FE FF"}}},
      // Shares its first three bytes with the test but goes on as a packet.
      {"packet that starts like the test",
       "01 02 03 14 09 07 2A",
       {{K::kPacket, "01 02 03 14 09 07 2A"}}},
      {"length beyond the receive buffer", "05 F0 02 FF", {{K::kUnparsable, "05 F0 02 FF"}}},
  };
  for (const FramingCase& c : cases) {
    sim::FrameParser parser;
    const auto frames = FeedAll(parser, Hex(c.stream));
    ASSERT_EQ(frames.size(), c.frames.size()) << c.what;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(frames[i].kind, c.frames[i].first) << c.what << ", frame " << i;
      EXPECT_EQ(ToHex(frames[i].bytes), ToHex(Hex(c.frames[i].second))) << c.what;
    }
    EXPECT_FALSE(parser.HasPartial()) << c.what;
  }
}

TEST(FrameParserTest, PartialFrameWaitsAndCanBeDropped) {
  sim::FrameParser parser;
  EXPECT_TRUE(FeedAll(parser, Hex("05 F0 02 02 14")).empty());
  ASSERT_TRUE(parser.HasPartial());
  const auto dropped = parser.DropPartial();
  ASSERT_TRUE(dropped.has_value());
  EXPECT_EQ(dropped->kind, sim::FrameKind::kUnparsable);
  EXPECT_EQ(ToHex(dropped->bytes), ToHex(Hex("05 F0 02 02 14")));
  // After the drop a whole request parses again.
  EXPECT_EQ(FeedAll(parser, Hex("05 F0 02 02 14 0A 17")).size(), 1u);
}

TEST(WireFormatTest, DecodesRequestFields) {
  const auto get = sim::DecodeRequest(Hex("05 F0 02 03 16 0A 02 1C"));
  ASSERT_TRUE(get.has_value());
  EXPECT_EQ(get->address, 5);
  EXPECT_EQ(get->family, 368);
  EXPECT_EQ(get->objectId, 0x16);
  EXPECT_EQ(get->opcode, sim::kOpcodeGet);
  EXPECT_EQ(ToHex(get->payload), ToHex(Hex("02")));

  const auto ack = sim::DecodeRequest(Hex("05 F0 02 02 82 7F FA"));
  ASSERT_TRUE(ack.has_value());
  EXPECT_EQ(ack->objectId, sim::kObjectRollCallAcknowledge);
  EXPECT_EQ(ack->opcode, sim::kNoOpcode);

  // A length that disagrees with the frame, and an object id cut short.
  EXPECT_FALSE(sim::DecodeRequest(Hex("05 F0 02 03 14 0A 18")).has_value());
  EXPECT_FALSE(sim::DecodeRequest(Hex("05 F0 02 01 82 7A")).has_value());
}

}  // namespace
