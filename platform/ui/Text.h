#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ui {

// The program keeps names and file contents as byte strings in Windows-1252; widgets take Unicode.
QString ToWidgetText(std::string_view bytes);
// Characters outside Windows-1252 become '?'.
std::string FromWidgetText(const QString& text);

// Qt adopts the user's locale for number formatting at start; the program formats and parses
// numbers with the C library and expects "1.5", never "1,5", so the numeric locale goes back to
// "C".
void UseCNumberLocale();

}  // namespace ui
