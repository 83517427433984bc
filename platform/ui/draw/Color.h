#pragma once

#include <cstdint>

namespace ui {

// An opaque colour, 8 bits per channel.
struct Color {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};

}  // namespace ui
