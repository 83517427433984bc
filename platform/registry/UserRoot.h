#pragma once

#include <filesystem>

#include "platform/registry/Key.h"

namespace registry {

// The user's settings store file: $XDG_CONFIG_HOME/TelvoWin2/store.txt, with ~/.config in place
// of an unset or relative $XDG_CONFIG_HOME.
std::filesystem::path UserStoreFile();

// The root of the user's settings store (where the program's "TelvoWin2 Settings" key lives),
// loaded on first use. A damaged store file is reported once on the standard error and left
// alone; the store is then read-only.
Key UserRoot();

}  // namespace registry
