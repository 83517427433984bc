#pragma once

#include <filesystem>
#include <string>

#include "platform/registry/Key.h"

namespace registry {

// The user's settings store file: $XDG_CONFIG_HOME/TelvoWin2/store.txt, with ~/.config in place
// of an unset or relative $XDG_CONFIG_HOME.
std::filesystem::path UserStoreFile();

// A file the program keeps for the user: $XDG_DATA_HOME/TelvoWin2/`name`, with ~/.local/share in
// place of an unset or relative $XDG_DATA_HOME. The folder may not exist yet.
std::filesystem::path UserDataFile(const std::string& name);

// The root of the user's settings store (where the program's "TelvoWin2 Settings" key lives),
// loaded on first use. A damaged store file is reported once on the standard error and left
// alone; the store is then read-only.
Key UserRoot();

}  // namespace registry
