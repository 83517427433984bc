#include "platform/ui/draw/Text1252.h"

#include <array>

namespace ui {

namespace {

// Bytes 0x80..0x9F; the other bytes are the same as Latin-1. 0 marks bytes with no character.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr unsigned kRangeStart = 0x80;
constexpr unsigned kRangeEnd = 0xA0;
constexpr unsigned kLatin1End = 0x100;

char Encode(char16_t unit) {
  if (unit >= kRangeEnd && unit < kLatin1End) return static_cast<char>(unit);
  // The five bytes of the range that hold no character decode to their own code point.
  if (unit < kRangeStart || (unit < kRangeEnd && kHighControlRange[unit - kRangeStart] == 0)) {
    return static_cast<char>(unit);
  }
  for (unsigned i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] == unit) return static_cast<char>(kRangeStart + i);
  }
  return '?';
}

}  // namespace

QString FromWindows1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= kRangeStart && byte < kRangeEnd && kHighControlRange[byte - kRangeStart] != 0) {
      text.append(QChar(kHighControlRange[byte - kRangeStart]));
    } else {
      text.append(QChar(byte));
    }
  }
  return text;
}

std::string ToWindows1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) bytes.push_back(Encode(c.unicode()));
  return bytes;
}

}  // namespace ui
