#include "familycommon/IntelHex.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>

namespace familycommon {
namespace {

// The longest record the maker's programs ever read: 94 data bytes.
constexpr std::size_t kMaxLineChars = 199;
// ":", count, offset, type and checksum.
constexpr std::size_t kRecordFrameChars = 11;
constexpr std::size_t kUpperAddressBytes = 2;
constexpr std::size_t kFamilyAndFlagBytes = 3;
constexpr uint32_t kSegmentBytes = 0x10000;
// Characters of a file per byte of flash at most: records of eight data bytes with CR LF line
// ends take 3.6.
constexpr std::size_t kMaxCharsPerFlashByte = 4;

constexpr const char* kOpenFileCaption = "Open file";
constexpr const char* kReflashCaption = "Reflash";

HexFileError LineError(const char* format, int line) {
  char text[64];
  std::snprintf(text, sizeof text, format, line);
  return HexFileError(HexFileError::Severity::kError, kOpenFileCaption, text);
}

HexFileError Unsuitable(const char* text) {
  return HexFileError(HexFileError::Severity::kWarning, kReflashCaption, text);
}

bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next word, at most one character longer than a line may be, so that a file without blanks
// is never read whole into memory. `read` counts the characters taken.
std::string ReadWord(std::istream& in, std::size_t& read) {
  std::string word;
  int c = in.get();
  while (c != EOF && IsBlank(c)) {
    ++read;
    c = in.get();
  }
  while (c != EOF && !IsBlank(c)) {
    ++read;
    word.push_back(static_cast<char>(c));
    if (word.size() > kMaxLineChars) break;
    c = in.get();
  }
  return word;
}

// Where the data records go in the unit's flash: each above the last, none past the end.
class FlashBounds {
 public:
  explicit FlashBounds(std::size_t flashBytes) : flashBytes_(flashBytes) {}

  void Take(const HexRecord& record) {
    if (record.type == kHexUpperAddress) {
      upper_ = (uint32_t{record.data[0]} << 8 | record.data[1]) * std::size_t{kSegmentBytes};
      if (upper_ >= flashBytes_) throw Beyond(record.line);
    }
    if (record.type != kHexData || record.data.empty()) return;
    const std::size_t start = upper_ + record.offset;
    // No upper-address record between: the offsets start over inside the same 64 KB.
    if (record.offset + record.data.size() > kSegmentBytes || start < next_) {
      throw LineError("Address wraps in line %d.", record.line);
    }
    next_ = start + record.data.size();
    if (next_ > flashBytes_) throw Beyond(record.line);
  }

 private:
  static HexFileError Beyond(int line) {
    return LineError("Address beyond the unit's flash in line %d.", line);
  }

  std::size_t flashBytes_;
  std::size_t upper_ = 0;
  std::size_t next_ = 0;
};

int CountWords(std::istream& in) {
  int words = 0;
  bool inWord = false;
  for (auto c = std::istreambuf_iterator<char>(in); c != std::istreambuf_iterator<char>(); ++c) {
    const bool blank = IsBlank(static_cast<unsigned char>(*c));
    if (!blank && !inWord) ++words;
    inWord = !blank;
  }
  return words;
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

// The bytes that the pairs of digits after the start character spell (the caller has checked
// that every digit has its pair); none when one is no hex digit.
std::optional<std::vector<uint8_t>> HexBytes(const std::string& word) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 1; i < word.size(); i += 2) {
    const auto high = HexDigit(word[i]);
    const auto low = HexDigit(word[i + 1]);
    if (!high || !low) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
  }
  return bytes;
}

bool KnownType(int type) {
  return type == kHexData || type == kHexEndOfFile || type == kHexModel || type == kHexUpperAddress;
}

HexRecord ParseRecord(const std::string& word, int line, const HexRules& rules) {
  if (word.size() > kMaxLineChars) throw LineError("Line too long in line %d.", line);
  if (word.front() != ':') throw LineError("Missing start character in line %d", line);
  if (word.size() < kRecordFrameChars || word.size() % 2 == 0) {
    throw LineError("Record length error in line %d.", line);
  }
  const auto bytes = HexBytes(word);
  if (!bytes) throw LineError("Illegal character in line %d.", line);
  const std::size_t count = (*bytes)[0];
  HexRecord record{.type = (*bytes)[3],
                   .offset = static_cast<uint16_t>((*bytes)[1] << 8 | (*bytes)[2]),
                   .line = line};
  if (!KnownType(record.type)) throw LineError("Illegal record type in line %d.", line);
  if (word.size() != kRecordFrameChars + 2 * count) {
    throw LineError("Record length error in line %d.", line);
  }
  uint8_t sum = 0;
  for (uint8_t byte : *bytes) sum = static_cast<uint8_t>(sum + byte);
  // The checksum makes the sum of every byte of the record zero.
  if (sum != 0) throw LineError("Checksum error in line %d.", line);
  const std::size_t needed = record.type == kHexModel
                                 ? std::max(rules.modelRecordBytes, kFamilyAndFlagBytes)
                             : record.type == kHexUpperAddress ? kUpperAddressBytes
                                                               : 0;
  if (count < needed) throw LineError("Record too short in line %d.", line);
  if (record.type == kHexData && rules.maxDataBytes != 0 && count > rules.maxDataBytes) {
    throw LineError("Record too long in line %d.", line);
  }
  record.data.assign(bytes->begin() + 4, bytes->begin() + 4 + count);
  return record;
}

std::vector<HexRecord> ReadRecords(std::istream& in, const HexRules& rules) {
  std::vector<HexRecord> records;
  FlashBounds flash(rules.flashBytes);
  std::size_t read = 0;
  for (int line = 1;; ++line) {
    const std::string word = ReadWord(in, read);
    if (read > rules.flashBytes * kMaxCharsPerFlashByte) {
      throw HexFileError(HexFileError::Severity::kError, kOpenFileCaption,
                         "The file is larger than any firmware the unit takes.");
    }
    if (word.empty()) throw LineError("Unexpected EOF in line %d", line);
    records.push_back(ParseRecord(word, line, rules));
    flash.Take(records.back());
    if (!records.back().data.empty()) continue;
    // The end-of-file record ends the file; an empty data record only ends the reading.
    if (records.back().type == kHexEndOfFile && !ReadWord(in, read).empty()) {
      throw LineError("Text after the end-of-file record in line %d.", line + 1);
    }
    return records;
  }
}

}  // namespace

Firmware ReadFirmware(std::istream& in, const HexRules& rules, uint32_t unitFamilyCode) {
  std::vector<HexRecord> records = ReadRecords(in, rules);
  Firmware firmware;
  bool modelFound = false;
  for (const HexRecord& record : records) {
    if (record.type != kHexModel) continue;
    modelFound = true;
    const uint32_t familyCode = uint32_t{record.data[0]} << 8 | record.data[1];
    if (familyCode != unitFamilyCode) {
      throw Unsuitable("This file is not the correct firmware for this model.");
    }
    firmware.reinitialise = record.data[2] != 0;
    firmware.versionTenths = rules.modelRecordBytes > kFamilyAndFlagBytes ? record.data[3] : 0;
  }
  if (!modelFound) throw Unsuitable("File format error.");
  // The end-of-file record ends the firmware; an empty data record only ends the reading.
  if (records.back().type == kHexData) firmware.recordsCutOff = CountWords(in);
  firmware.records = std::move(records);
  return firmware;
}

}  // namespace familycommon
