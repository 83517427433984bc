#pragma once

#include <optional>
#include <string>

namespace ui {

class Window;

// Buttons and icon of a message box.
namespace mb {
inline constexpr unsigned kOk = 0;
inline constexpr unsigned kOkCancel = 1;
inline constexpr unsigned kYesNo = 2;
inline constexpr unsigned kYesNoCancel = 3;
inline constexpr unsigned kButtonMask = 0xF;
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kIconMask = 0xF0;
}  // namespace mb

// Asks the user and returns the button: kIdOk, kIdCancel, kIdYes or kIdNo. With no caption the
// application's name is the caption; an empty caption stays empty.
int MessageBox(Window* owner, const std::string& text, std::optional<std::string> caption,
               unsigned style);

// The width, in pixels, a window needs for its caption to be read whole in a title bar.
int CaptionFitWidth(const std::string& caption);

}  // namespace ui
