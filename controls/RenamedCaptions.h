#pragma once

#include <span>
#include <string>

namespace ui {
class Window;
}

// A unit's windows name it in their captions by the text its device list shows ("(5) Stage") or
// by its display name ("5 (Ordavinex 26) Stage"): after a rename, each of these texts as it was
// and as it is now.
struct CaptionName {
  std::string before;
  std::string after;
};

// Puts the new texts in place of the old ones in the captions of the renamed unit's open
// `windows` and of the windows within them (a graph prints its caption). Only the unit's own
// windows are given: another unit's name may hold this one's ("1 (Ordavinex 26) Stage" in
// "11 (Ordavinex 26) Stage left"). A control's text is what it shows, a typed name say, and is
// left as it is.
void FollowRename(std::span<ui::Window* const> windows, std::span<const CaptionName> names);
