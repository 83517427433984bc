#include <gtest/gtest.h>

#include <QString>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/Text.h"

namespace ui {
namespace {

TEST(WidgetText, Windows1252RoundTripsAndUnmappableCharactersBecomeQuestionMarks) {
  const std::string bytes = "\x80 \x93quoted\x94 5\xB5s \xE9t\xE9 \x81";
  const QString shown = ToWidgetText(bytes);
  EXPECT_EQ(shown, QString::fromUtf8("€ “quoted” 5µs été \u0081"));
  EXPECT_EQ(FromWidgetText(shown), bytes);
  EXPECT_EQ(FromWidgetText(QString::fromUtf8("ok \u4E2D")), "ok ?");
}

TEST(NumberLocale, NumbersUseTheDecimalPointWhateverTheUsersLocale) {
  // The application already switched to "C" at start; a user locale set afterwards by a library
  // would be undone by the same call.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
    std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  UseCNumberLocale();
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1.5");
  EXPECT_DOUBLE_EQ(std::strtod("2.25", nullptr), 2.25);
  EXPECT_EQ(QString::number(1.5), "1.5");
}

}  // namespace
}  // namespace ui
