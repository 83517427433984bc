#include "platform/ui/Validator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

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
  // The set in words: its ranges of letters and digits by name, every other character itself.
  std::vector<std::string> parts;
  const auto name = [&](char first, char last, const char* words) {
    if (Allows(first) && Allows(last)) parts.emplace_back(words);
  };
  name('a', 'z', "small letters");
  name('A', 'Z', "capital letters");
  if (parts.size() == 2) parts = {"letters"};
  name('0', '9', "digits");
  if (Allows(' ')) parts.emplace_back("blanks");
  std::string others;
  for (unsigned char c = '!'; c <= '~'; ++c) {
    if (std::isalnum(c) == 0 && Allows(static_cast<char>(c))) {
      others += others.empty() ? "" : " ";
      others += static_cast<char>(c);
    }
  }
  if (!others.empty()) parts.push_back(others);
  std::string allowed;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) allowed += i + 1 == parts.size() ? " and " : ", ";
    allowed += parts[i];
  }
  return "That character cannot be typed here. Only " + allowed + " can.";
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
