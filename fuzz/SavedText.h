#pragma once

#include <functional>
#include <optional>
#include <string>

class SettingsTextFile;

// The text of the settings file `write` saves over `path`; none when it refuses to write a value
// the format cannot carry (a name the user could not have given either).
std::optional<std::string> SavedText(const std::string& path,
                                     const std::function<void(SettingsTextFile&)>& write);
