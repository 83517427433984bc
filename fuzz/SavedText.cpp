#include "fuzz/SavedText.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "bus/SettingsTextFile.h"

std::optional<std::string> SavedText(const std::string& path,
                                     const std::function<void(SettingsTextFile&)>& write) {
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kWrite)) std::abort();
  try {
    write(file);
  } catch (const SettingsWriteError&) {
    return std::nullopt;
  }
  if (!file.Close()) std::abort();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
