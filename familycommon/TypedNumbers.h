#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace familycommon {

// The number at the start of the first `entryChars` characters of `text` (leading blanks
// skipped); none when they start with no number. Each family reads its edit fields to its own
// length.
std::optional<double> ScanNumber(const std::string& text, std::size_t entryChars);

// A frequency typed as "2500" or "2.5k", clamped to low..high and truncated to whole Hz; none when
// the text holds no number, so that nothing is written.
std::optional<int> ParseTypedFrequency(const std::string& text, int low, int high,
                                       std::size_t entryChars);

}  // namespace familycommon
