#pragma once

#include <exception>
#include <string>

namespace familycommon {

// A bus failure part way through loading settings into a unit, from a file or from another unit.
// The load put the unit's current settings back and lifted its mute, unless the unit stopped
// answering first: then `restored` is false and the unit may be left muted or on partly loaded
// settings.
struct LoadFailure {
  std::exception_ptr error;
  bool restored = false;
};

inline constexpr const char* kLoadRestoredText =
    "The load was not finished. The unit's current settings were put back as they were; memories "
    "stored before the failure hold the file's settings.";
inline constexpr const char* kLoadNotRestoredText =
    "The load was not finished and the unit stopped answering before its settings could be put "
    "back: it may be left muted or on partly loaded settings.";

inline const char* LoadFailureText(const LoadFailure& failure) {
  return failure.restored ? kLoadRestoredText : kLoadNotRestoredText;
}

// The same failure of a copy from another unit.
inline constexpr const char* kCopyRestoredText =
    "The copy was not finished. The unit's current settings were put back as they were; memories "
    "stored before the failure hold the source unit's settings.";
inline constexpr const char* kCopyNotRestoredText =
    "The copy was not finished and the unit stopped answering before its settings could be put "
    "back: it may be left muted or on partly loaded settings.";

inline const char* CopyFailureText(const LoadFailure& failure) {
  return failure.restored ? kCopyRestoredText : kCopyNotRestoredText;
}

// ---- A copy that also moved the source unit, and the single-step commands on a unit's memories
// and filters: what each left, for its closing message.

// The source unit of a copy is switched between its memories and muted while they are copied.
inline constexpr const char* kCopySourceNotRestoredText =
    "The source unit stopped answering before its own settings could be put back: it may be left "
    "muted or on one of its memories.";

inline std::string CopyFailureText(const LoadFailure& failure, bool sourceRestored) {
  std::string text = CopyFailureText(failure);
  if (!sourceRestored) text = text + "\n\n" + kCopySourceNotRestoredText;
  return text;
}

// A memory recall or store that failed; the unit answered the read after it, and the windows
// show what it holds.
inline constexpr const char* kRecallNotFinishedText =
    "The recall was not finished. The unit may hold its earlier settings or the memory's; the "
    "windows now show the settings it holds.";
inline constexpr const char* kStoreNotFinishedText =
    "The memory may not have been stored. The unit's current settings are unchanged.";
// A recall or a change of filters after which the unit did not answer the read again.
inline constexpr const char* kStoppedAnsweringText =
    "The unit stopped answering: it may be left on partly changed settings. The windows show the "
    "settings as last read and read them again once the unit answers.";

}  // namespace familycommon
