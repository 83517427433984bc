#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One record of a firmware file as the line a file holds: ':', count, offset, type, data and
// checksum in hex digits.
inline std::string HexRecordLine(int type, const std::vector<uint8_t>& data, int offset = 0) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(data.size()),
                                static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset),
                                static_cast<uint8_t>(type)};
  bytes.insert(bytes.end(), data.begin(), data.end());
  uint8_t sum = 0;
  std::string line = ":";
  char digits[3];
  for (uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", byte);
    line += digits;
    sum = static_cast<uint8_t>(sum + byte);
  }
  std::snprintf(digits, sizeof digits, "%02X", static_cast<uint8_t>(-sum));
  return line + digits + "\n";
}
