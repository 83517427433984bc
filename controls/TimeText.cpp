#include "controls/TimeText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>

namespace controls {

namespace {

constexpr int kHoursPerHalfDay = 12;
constexpr int kLastMinute = 59;

// The text after the first colon, or none.
std::optional<std::string_view> AfterColon(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return text.substr(colon + 1);
}

}  // namespace

std::optional<int> LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t end = i;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  if (end == i) return std::nullopt;
  long long value = 0;
  const auto [ptr, error] = std::from_chars(text.data() + i, text.data() + end, value);
  if (error != std::errc()) value = std::numeric_limits<int>::max();
  value = std::min<long long>(value, std::numeric_limits<int>::max());
  return static_cast<int>(negative ? -value : value);
}

std::string FormatTime(int hour, int minute, int second) {
  const int shown = hour == 0                 ? kHoursPerHalfDay
                    : hour > kHoursPerHalfDay ? hour - kHoursPerHalfDay
                                              : hour;
  char text[40];
  std::snprintf(text, sizeof text, "%d:%02d:%02d ", shown, minute, second);
  return text;
}

void ParseTime(std::string_view text, int& hour, int& minute, int& second) {
  if (const std::optional<int> h = LeadingNumber(text)) {
    hour = *h;
    if (const auto afterHour = AfterColon(text)) {
      if (const std::optional<int> m = LeadingNumber(*afterHour)) {
        minute = *m;
        const auto afterMinute = AfterColon(*afterHour);
        const std::optional<int> s = afterMinute ? LeadingNumber(*afterMinute) : std::nullopt;
        second = s.value_or(0);
      } else {
        minute = 0;
      }
    }
  } else {
    hour = 0;
  }
  if (hour >= kHoursPerHalfDay) hour = 0;
  hour = std::max(hour, 0);
  minute = std::clamp(minute, 0, kLastMinute);
  second = std::clamp(second, 0, kLastMinute);
}

}  // namespace controls
