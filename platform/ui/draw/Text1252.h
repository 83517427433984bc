#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ui {

// The system keeps its texts as Windows-1252 byte strings; Qt wants Unicode.
QString FromWindows1252(std::string_view bytes);
// Characters Windows-1252 cannot carry become '?'.
std::string ToWindows1252(const QString& text);

}  // namespace ui
