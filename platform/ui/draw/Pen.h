#pragma once

#include "platform/ui/draw/Color.h"

namespace ui {

enum class PenStyle { Solid, Dash, Dot, Null };

// What lines and outlines are drawn with. Width is in logical units, scaled by the mapping mode;
// width 0 is one device pixel at any scale.
struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  Color color = kBlack;

  static constexpr Pen Solid(Color c, int width = 1) { return {PenStyle::Solid, width, c}; }
  static constexpr Pen None() { return {PenStyle::Null, 1, kBlack}; }

  friend bool operator==(const Pen&, const Pen&) = default;
};

enum class HatchStyle {
  Horizontal,
  Vertical,
  ForwardDiagonal,
  BackwardDiagonal,
  Cross,
  DiagonalCross
};

// What closed shapes are filled with.
struct Brush {
  enum class Kind { Solid, Hatched, Null };
  Kind kind = Kind::Solid;
  Color color = kWhite;
  HatchStyle hatch = HatchStyle::Horizontal;

  static constexpr Brush Solid(Color c) { return {Kind::Solid, c, HatchStyle::Horizontal}; }
  static constexpr Brush Hatched(HatchStyle h, Color c) { return {Kind::Hatched, c, h}; }
  static constexpr Brush None() { return {Kind::Null, kWhite, HatchStyle::Horizontal}; }

  friend bool operator==(const Brush&, const Brush&) = default;
};

}  // namespace ui
