#include "platform/registry/UserRoot.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <iostream>

#include "platform/registry/Store.h"

namespace registry {

namespace fs = std::filesystem;

namespace {

fs::path HomeFolder() {
  if (const char* home = ::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr) return user->pw_dir;
  return ".";
}

}  // namespace

fs::path UserStoreFile() {
  const char* configHome = ::getenv("XDG_CONFIG_HOME");
  fs::path base = configHome != nullptr && fs::path(configHome).is_absolute()
                      ? fs::path(configHome)
                      : HomeFolder() / ".config";
  return base / "TelvoWin2" / "store.txt";
}

fs::path UserDataFile(const std::string& name) {
  const char* dataHome = ::getenv("XDG_DATA_HOME");
  fs::path base = dataHome != nullptr && fs::path(dataHome).is_absolute()
                      ? fs::path(dataHome)
                      : HomeFolder() / ".local" / "share";
  return base / "TelvoWin2" / name;
}

Key UserRoot() {
  static Store store(UserStoreFile());
  static const bool reported = [] {
    if (!store.LoadError().empty()) std::cerr << store.LoadError() << '\n';
    return true;
  }();
  (void)reported;
  return store.Root();
}

}  // namespace registry
