#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace controls {

// A decimal number at the start of `text`, after blanks, with an optional sign; out-of-range
// numbers saturate. None when no digit follows.
std::optional<int> LeadingNumber(std::string_view text);

// A time of day on a 12-hour clock as the time edit shows it: "h:mm:ss " with one trailing blank,
// hour 0 shown as 12, hours above 12 shown less 12.
std::string FormatTime(int hour, int minute, int second);

// Reads "h:m:s" leniently. No readable hour: hour 0, minute and second as they were. No colon:
// minute and second as they were. No readable minute: minute 0, second as it was. No readable
// second: second 0. Then hours of 12 and more become 0, minutes and seconds above 59 become 59
// and negative values 0.
void ParseTime(std::string_view text, int& hour, int& minute, int& second);

}  // namespace controls
