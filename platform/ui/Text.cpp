#include "platform/ui/Text.h"

#include <QLocale>
#include <clocale>

#include "platform/ui/draw/Text1252.h"

namespace ui {

namespace {

constexpr unsigned kHighBlockStart = 0x80;
constexpr unsigned kHighBlockEnd = 0xA0;

// The characters of bytes 0x80..0x9F, taken from the decoder so that both directions share one
// table.
const QString& HighBlock() {
  static const QString block = [] {
    std::string bytes;
    for (unsigned byte = kHighBlockStart; byte < kHighBlockEnd; ++byte)
      bytes.push_back(static_cast<char>(byte));
    return FromWindows1252(bytes);
  }();
  return block;
}

char Encode(char16_t unit) {
  if (unit < kHighBlockStart || (unit >= kHighBlockEnd && unit <= 0xFF))
    return static_cast<char>(unit);
  const qsizetype index = HighBlock().indexOf(QChar(unit));
  return index >= 0 ? static_cast<char>(kHighBlockStart + index) : '?';
}

}  // namespace

QString ToWidgetText(std::string_view bytes) { return FromWindows1252(bytes); }

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
