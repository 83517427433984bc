#include "platform/ui/Text.h"

#include <QLocale>
#include <clocale>

#include "platform/ui/draw/Text1252.h"

namespace ui {

QString ToWidgetText(std::string_view bytes) { return FromWindows1252(bytes); }

std::string FromWidgetText(const QString& text) { return ToWindows1252(text); }

void UseCNumberLocale() {
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
}

}  // namespace ui
