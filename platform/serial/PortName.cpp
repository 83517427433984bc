#include "platform/serial/PortName.h"

#include <cctype>
#include <string_view>

namespace serial {

namespace {

constexpr std::string_view kDevicePathPrefix = "\\\\.\\";
constexpr int kHighestComNumber = 255;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<int> ComNumberOf(const std::string& portName) {
  std::string_view name = portName;
  if (name.starts_with(kDevicePathPrefix)) name.remove_prefix(kDevicePathPrefix.size());
  if (!StartsWithNoCase(name, "COM")) return std::nullopt;
  name.remove_prefix(3);
  if (name.empty() || name.size() > 3 || name[0] == '0') return std::nullopt;
  int number = 0;
  for (char c : name) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number > kHighestComNumber) return std::nullopt;
  return number;
}

}  // namespace serial
