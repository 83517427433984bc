#pragma once

#include <exception>

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

}  // namespace familycommon
