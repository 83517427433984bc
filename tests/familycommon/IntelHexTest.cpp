// Firmware files as the families read them. Lines are written by hand: ":" count, offset, type,
// data, checksum.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "familycommon/IntelHex.h"

namespace familycommon {
namespace {

constexpr HexRules kNewer{.modelRecordBytes = 4};
constexpr HexRules kOlder{.modelRecordBytes = 3};
constexpr uint32_t kTwoInputFamily = 880;  // 03 70

// For family 880, no re-initialise, version 1.5.
const std::string kModel = ":040000030370000F77";
const std::string kEnd = ":00000001FF";

Firmware Read(const std::string& text, const HexRules& rules = kNewer) {
  std::istringstream in(text);
  return ReadFirmware(in, rules, kTwoInputFamily);
}

// The message a file is refused with, its caption and whether it is a warning.
std::string Refusal(const std::string& text, const HexRules& rules = kNewer) {
  try {
    Read(text, rules);
  } catch (const HexFileError& e) {
    const bool warning = e.GetSeverity() == HexFileError::Severity::kWarning;
    return e.Caption() + "|" + e.what() + (warning ? "|warning" : "");
  }
  return "accepted";
}

TEST(IntelHexTest, RecordsUpToTheFirstEmptyOneAreTheFirmware) {
  const Firmware firmware =
      Read(kModel + "\n:020000040001F9\r\n  :04001000DEADBEEFB4\t" + kEnd + "\n\n");
  ASSERT_EQ(firmware.records.size(), 4u);
  EXPECT_EQ(firmware.records[1].type, kHexUpperAddress);
  EXPECT_EQ(firmware.records[1].data, (std::vector<uint8_t>{0x00, 0x01}));
  const HexRecord& data = firmware.records[2];
  EXPECT_EQ(data.type, kHexData);
  EXPECT_EQ(data.offset, 0x10);
  EXPECT_EQ(data.data, (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(data.line, 3);
  EXPECT_EQ(firmware.records[3].type, kHexEndOfFile);
  EXPECT_FALSE(firmware.reinitialise);
  EXPECT_EQ(firmware.versionTenths, 15);

  // The last model record counts; the older family's has no version.
  EXPECT_TRUE(Read(kModel + " :040000030370010E77 " + kEnd).reinitialise);
  const Firmware older = Read(":0300000303700087 :00000001ff", kOlder);
  EXPECT_EQ(older.versionTenths, 0);
}

TEST(IntelHexTest, AnEmptyDataRecordCutsTheFirmwareShortAndCountsWhatItLeavesOut) {
  const Firmware cut = Read(
      kModel + "\n:0100000011EE\n:00002000E0\n:0100000022DD\n  :0100000033CC\t" + kEnd + "\n\n");
  ASSERT_EQ(cut.records.size(), 3u);
  EXPECT_EQ(cut.records.back().line, 3);
  EXPECT_EQ(cut.recordsCutOff, 3);
  // After the end-of-file record nothing is firmware, so nothing is left out.
  EXPECT_EQ(Read(kModel + " :0000000000\n").recordsCutOff, 0);
}

TEST(IntelHexTest, BadLinesAreRefusedNamingTheLineFromOne) {
  const std::string kLong = ":" + std::string(199, '0');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"040000030370000F77", "Open file|Missing start character in line 1"},
      {kModel + " :020000020001FB " + kEnd, "Open file|Illegal record type in line 2."},
      {kModel + " :020000050001F8 " + kEnd, "Open file|Illegal record type in line 2."},
      {":040000030370000F78 " + kEnd, "Open file|Checksum error in line 1."},
      {kModel + " :02000000AABB99 :02000000AABB98 " + kEnd, "Open file|Checksum error in line 3."},
      {kModel + " :02000000AABB99", "Open file|Unexpected EOF in line 3"},
      {"", "Open file|Unexpected EOF in line 1"},
      {kModel + " " + kLong, "Open file|Line too long in line 2."},
      {kModel + " :02000000AABG99 " + kEnd, "Open file|Illegal character in line 2."},
      {kModel + " :02000000AABB9 " + kEnd, "Open file|Record length error in line 2."},
      {kModel + " :02000000AA99 " + kEnd, "Open file|Record length error in line 2."},
      {kModel + " :0000 " + kEnd, "Open file|Record length error in line 2."},
      {kModel + " :0100000400FB " + kEnd, "Open file|Record too short in line 2."},
      {":0300000303700087 " + kEnd, "Open file|Record too short in line 1."},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Refusal(text), expected) << text;
  // The older family's model record is a byte shorter.
  EXPECT_EQ(Refusal(":02000003037088 " + kEnd, kOlder), "Open file|Record too short in line 1.");
}

TEST(IntelHexTest, FirmwareForAnotherModelOrWithoutModelIsRefused) {
  EXPECT_EQ(Refusal(":02000000AABB99 " + kEnd), "Reflash|File format error.|warning");
  EXPECT_EQ(Refusal(kModel + " :040000030470000F76 " + kEnd),
            "Reflash|This file is not the correct firmware for this model.|warning");
}

// A record line of `type` at `offset` carrying `bytes` bytes of 0xAB, with its checksum.
std::string Record(int type, int offset, int bytes) {
  char text[16];
  std::snprintf(text, sizeof text, ":%02X%04X%02X", bytes, offset, type);
  std::string line = text;
  int sum = bytes + (offset >> 8) + (offset & 0xFF) + type;
  for (int k = 0; k < bytes; ++k) {
    line += "AB";
    sum += 0xAB;
  }
  std::snprintf(text, sizeof text, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + text;
}

std::string UpperAddress(int upper) {
  char text[24];
  std::snprintf(text, sizeof text, ":02000004%04X%02X\n", upper,
                (0x100 - ((6 + (upper >> 8) + (upper & 0xFF)) & 0xFF)) & 0xFF);
  return text;
}

TEST(IntelHexTest, FirmwareStaysInsideTheFlashAndNothingFollowsItsEnd) {
  // A unit of 128 KB flash: two 64 KB segments.
  constexpr HexRules kSmall{.modelRecordBytes = 4, .flashBytes = 0x20000};
  // The offsets of records of 16 bytes that run on past 64 KB without an upper-address record.
  std::string wrapping = kModel + "\n";
  for (int k = 0; k <= 0x1000; ++k) wrapping += Record(kHexData, (k * 16) & 0xFFFF, 16);
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {kModel + " " + Record(0, 0xFFF0, 16) + UpperAddress(1) + Record(0, 0, 16) + kEnd,
       "accepted"},
      {kModel + " " + UpperAddress(1) + Record(0, 0xFFF0, 16) + kEnd, "accepted"},
      {wrapping + kEnd, "Open file|Address wraps in line 4098."},
      {kModel + " " + Record(0, 0xFFF8, 16) + kEnd, "Open file|Address wraps in line 2."},
      {kModel + " " + Record(0, 0x10, 16) + Record(0, 0, 16) + kEnd,
       "Open file|Address wraps in line 3."},
      {kModel + " " + UpperAddress(1) + Record(0, 0, 16) + UpperAddress(0) + Record(0, 0x20, 4) +
           kEnd,
       "Open file|Address wraps in line 5."},
      {kModel + " " + UpperAddress(2) + Record(0, 0, 16) + kEnd,
       "Open file|Address beyond the unit's flash in line 2."},
      {kModel + " " + UpperAddress(1) + Record(0, 0xFFF8, 8) + Record(0, 0, 8) + kEnd,
       "Open file|Address wraps in line 4."},
      {kModel + " " + kEnd + " trailing words",
       "Open file|Text after the end-of-file record in line 3."},
      {kModel + " " + kEnd + "\n" + kEnd + "\n",
       "Open file|Text after the end-of-file record in line 3."},
      {kModel + " " + std::string(0x80000, ' ') + kEnd,
       "Open file|The file is larger than any firmware the unit takes."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Refusal(c.text, kSmall), c.expected) << c.text.substr(0, 200);
  }
  // Both families' own bound: far past any unit's flash.
  EXPECT_EQ(Refusal(kModel + " " + UpperAddress(0x80) + Record(0, 0, 16) + kEnd),
            "Open file|Address beyond the unit's flash in line 2.");
  EXPECT_EQ(Refusal(kModel + " " + UpperAddress(0x7F) + Record(0, 0xFFF0, 16) + kEnd), "accepted");
}

TEST(IntelHexTest, AnyDamageToAGoodFileIsRefusedCleanlyOrReadAsItSays) {
  const std::string good = kModel + "\n:020000040001F9\n:04001000DEADBEEFB4\n" + kEnd + "\n";
  const auto readsOrRefuses = [](const std::string& text) {
    try {
      const Firmware firmware = Read(text);
      // Callers take these bytes without looking.
      for (const HexRecord& record : firmware.records) {
        if (record.type == kHexUpperAddress) {
          EXPECT_GE(record.data.size(), 2u) << text;
        }
        if (record.type == kHexModel) {
          EXPECT_GE(record.data.size(), 4u) << text;
        }
      }
    } catch (const HexFileError&) {
    }
  };
  for (std::size_t at = 0; at < good.size(); ++at) {
    readsOrRefuses(good.substr(0, at));
    for (char c : {':', '0', 'F', 'f', 'g', ' ', '\0', '\xFF'}) {
      std::string damaged = good;
      damaged[at] = c;
      readsOrRefuses(damaged);
    }
  }
}

}  // namespace
}  // namespace familycommon
