#include "platform/ui/Text.h"

#include <QLocale>
#include <array>
#include <clocale>

namespace ui {

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five codes it leaves undefined (shown as their C1 code).
constexpr std::array<char16_t, 32> kHighControlBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Decode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    const char16_t mapped = kHighControlBlock[byte - 0x80];
    return mapped != 0 ? mapped : byte;
  }
  return byte;
}

char Encode(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (std::size_t i = 0; i < kHighControlBlock.size(); ++i) {
    if (kHighControlBlock[i] == unit || (kHighControlBlock[i] == 0 && unit == 0x80 + i)) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

}  // namespace

QString ToWidgetText(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[static_cast<qsizetype>(i)] = QChar(Decode(static_cast<unsigned char>(bytes[i])));
  }
  return text;
}

std::string FromWidgetText(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) bytes.push_back(Encode(c.unicode()));
  return bytes;
}

void UseCNumberLocale() {
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
}

}  // namespace ui
