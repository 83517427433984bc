#pragma once

#include <cstdint>

#include "platform/ui/draw/Geometry.h"

namespace ui {

using MessageId = unsigned;
using Param = std::intptr_t;

// A window message: a number and two parameters. Numbers are chosen by each window, so the same
// number means different things to different windows.
struct Message {
  MessageId id = 0;
  Param wParam = 0;
  Param lParam = 0;
};

// Messages the layer itself generates. They sit far above any number a window picks for itself.
namespace msg {
inline constexpr MessageId kLayerBase = 0x7F000000u;
inline constexpr MessageId kTimer = kLayerBase + 1;      // wParam: timer id
inline constexpr MessageId kMouseMove = kLayerBase + 2;  // wParam: MouseFlags, lParam: point
inline constexpr MessageId kLButtonDown = kLayerBase + 3;
inline constexpr MessageId kLButtonUp = kLayerBase + 4;
inline constexpr MessageId kLButtonDblClk = kLayerBase + 5;
inline constexpr MessageId kRButtonDown = kLayerBase + 6;
inline constexpr MessageId kRButtonUp = kLayerBase + 7;
inline constexpr MessageId kSize = kLayerBase + 8;  // lParam: client size as a point
inline constexpr MessageId kSetFocus = kLayerBase + 9;
inline constexpr MessageId kKillFocus = kLayerBase + 10;
inline constexpr MessageId kKeyDown = kLayerBase + 11;  // wParam: key code, lParam: Modifier bits
inline constexpr MessageId kKeyUp = kLayerBase + 12;
}  // namespace msg

// Mouse button and modifier state carried in wParam of the mouse messages.
namespace mouse {
inline constexpr Param kLeftButton = 0x1;
inline constexpr Param kRightButton = 0x2;
inline constexpr Param kShift = 0x4;
inline constexpr Param kControl = 0x8;
}  // namespace mouse

// Points travel in one parameter: x in the low 32 bits, y in the high 32 bits, both signed.
inline Param PackPoint(Point p) {
  return static_cast<Param>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.y)) << 32) |
                            static_cast<std::uint32_t>(p.x));
}
inline Point UnpackPoint(Param v) {
  const auto bits = static_cast<std::uint64_t>(v);
  return {static_cast<std::int32_t>(bits & 0xFFFFFFFFu), static_cast<std::int32_t>(bits >> 32)};
}

// Key codes as the windows compare them (Enter is 13, the arrows 37 to 40, ...).
namespace key {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kF1 = 112;  // F1..F12 follow on
}  // namespace key

enum Modifier : unsigned { kNoModifier = 0, kShiftKey = 1, kControlKey = 2, kAltKey = 4 };

struct KeyStroke {
  int code = 0;  // one of key::..., or the upper-case letter / digit
  bool down = true;
  unsigned modifiers = kNoModifier;
};

// Standard command and result ids of dialogs and message boxes.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The exit command: the application closes its main window (which may refuse).
inline constexpr int kExitCommand = 24310;

}  // namespace ui
