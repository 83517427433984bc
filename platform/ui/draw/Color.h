#pragma once

#include <cstdint>

namespace ui {

// An opaque colour, 8 bits per channel.
struct Color {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;

  // The packed 0x00BBGGRR form in which the unit families keep their colours.
  static constexpr Color FromBgr(uint32_t bgr) {
    return {static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
            static_cast<uint8_t>((bgr >> 16) & 0xFF)};
  }
  constexpr uint32_t Rgb() const { return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b; }

  friend bool operator==(const Color&, const Color&) = default;
};

constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};
constexpr Color kRed{255, 0, 0};
constexpr Color kGreen{0, 255, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kYellow{255, 255, 0};

// The desktop's named colours that the windows and controls draw with.
enum class SystemColor {
  Window,
  WindowText,
  ButtonFace,
  ButtonText,
  ButtonHighlight,   // the lit edge of a raised 3D object
  ButtonLight,       // the inner lit edge
  ButtonShadow,      // the shaded edge
  ButtonDarkShadow,  // the outer shaded edge
  Highlight,         // selected items
  HighlightText,
  GrayText,
};

// A fixed table, so drawings look the same on every desktop and tests can name the pixels.
Color SystemColorOf(SystemColor which);

}  // namespace ui
