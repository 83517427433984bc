#pragma once

#include <string>

namespace ui {

enum class FontFamily { Sans, Serif, Fixed };

// A font by face name and size in points; the size in pixels follows from the device's resolution,
// so the same font is as large on paper as on screen.
struct Font {
  std::string face;
  double points = 8.0;
  int weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  FontFamily family = FontFamily::Sans;  // the fallback when the face is not installed

  // The desktop's variable-pitch text font, used by the gauges and graphs for their labels.
  static Font VariablePitch() { return {"MS Sans Serif", 8.0, 400, false, FontFamily::Sans}; }
  static Font FixedPitch() { return {"Courier New", 9.0, 400, false, FontFamily::Fixed}; }
  static Font System() { return {"MS Sans Serif", 9.0, 700, false, FontFamily::Sans}; }

  friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace ui
