#pragma once

#include <QString>
#include <string_view>

namespace ui {

// The system keeps its texts as Windows-1252 byte strings; Qt wants Unicode.
QString FromWindows1252(std::string_view bytes);

}  // namespace ui
