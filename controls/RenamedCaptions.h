#pragma once

#include <span>
#include <string>

// A unit's windows name it in their captions by the text its device list shows ("(5) Stage") or
// by its display name ("5 (Ordavinex 26) Stage"): after a rename, each of these texts as it was
// and as it is now.
struct CaptionName {
  std::string before;
  std::string after;
};

// Puts the new texts in place of the old ones in the caption of every open window, the windows a
// unit's editors open apart from its own window among them, so that no caption keeps a name the
// unit no longer has.
void FollowRename(std::span<const CaptionName> names);
