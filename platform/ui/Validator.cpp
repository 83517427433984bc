#include "platform/ui/Validator.h"

#include <algorithm>
#include <charconv>

namespace ui {

bool CharSetValidator::Allows(char c) const {
  for (std::size_t i = 0; i < set_.size(); ++i) {
    if (i + 2 < set_.size() && set_[i + 1] == '-') {
      if (c >= set_[i] && c <= set_[i + 2]) return true;
      i += 2;
    } else if (c == set_[i]) {
      return true;
    }
  }
  return false;
}

bool CharSetValidator::IsValidInput(const std::string& text) const {
  return std::all_of(text.begin(), text.end(), [this](char c) { return Allows(c); });
}

std::string CharSetValidator::Error() const {
  return "Invalid character in input. Valid characters are: " + set_;
}

bool RangeValidator::IsValidInput(const std::string& text) const {
  std::size_t start = 0;
  if (!text.empty() && text[0] == '-') {
    if (minimum_ >= 0) return false;
    start = 1;
  }
  if (text.size() - start > 11) return false;  // no more digits than a long range needs
  return std::all_of(text.begin() + static_cast<long>(start), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

bool RangeValidator::IsValid(const std::string& text) const {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= minimum_ &&
         value <= maximum_;
}

std::string RangeValidator::Error() const {
  return "Value is not in the range " + std::to_string(minimum_) + " to " +
         std::to_string(maximum_) + ".";
}

}  // namespace ui
