#pragma once

#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Geometry.h"

namespace controls {

inline ui::Color Face() { return ui::SystemColorOf(ui::SystemColor::ButtonFace); }
inline ui::Color Shadow() { return ui::SystemColorOf(ui::SystemColor::ButtonShadow); }
inline ui::Color DarkShadow() { return ui::SystemColorOf(ui::SystemColor::ButtonDarkShadow); }
inline ui::Color Highlight() { return ui::SystemColorOf(ui::SystemColor::ButtonHighlight); }

// The edge of a client area `width` pixels deep: `upper` on the top and left, `lower` on the bottom
// and right.
void DrawBevel(ui::Dc& dc, ui::Size client, ui::Color upper, ui::Color lower, int width);

enum class BevelLook { Raised, Sunken };
inline constexpr int kButtonBevelPx = 2;
void DrawButtonBevel(ui::Dc& dc, ui::Size client, BevelLook look);
// A push-style button looks raised until pressed; any other always looks sunken.
inline BevelLook PushLook(bool pushStyle, bool pressed) {
  return pushStyle && !pressed ? BevelLook::Raised : BevelLook::Sunken;
}

// The usual background of the indicator buttons: the whole client area filled, outlined with `pen`.
void FillClient(ui::Dc& dc, ui::Size client, ui::Color fill, ui::Color pen);
// A bitmap resource as a strip of frames (square frames when `frameCount` is 0). Looked up at each
// use, so a control drawn before the resources are registered shows them once they are.
ui::BitmapStrip ResourceStrip(int imageId, int frameCount = 0);

// Copies a mask frame with OR and then the image frame with AND, so only the image's shape shows.
void BlitMasked(ui::Dc& dc, ui::Point at, const ui::BitmapStrip& strip, int maskFrame,
                int imageFrame);

}  // namespace controls
