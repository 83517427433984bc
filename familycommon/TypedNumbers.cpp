#include "familycommon/TypedNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace familycommon {

std::optional<double> ScanNumber(const std::string& text, std::size_t entryChars) {
  const std::string entry = text.substr(0, entryChars);
  const char* begin = entry.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || std::isnan(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseTypedFrequency(const std::string& text, int low, int high,
                                       std::size_t entryChars) {
  const std::string entry = text.substr(0, entryChars);
  const std::size_t k = entry.find('k');
  std::optional<double> value = ScanNumber(entry.substr(0, k), entryChars);
  if (!value) return std::nullopt;
  if (k != std::string::npos) *value *= 1000.0;
  return static_cast<int>(std::clamp(*value, double(low), double(high)));
}

}  // namespace familycommon
