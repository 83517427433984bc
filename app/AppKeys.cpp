#include "app/AppKeys.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr const char* kApplicationKey = "TelvoWin2.Application";
constexpr const char* kDocumentKey = "TelvoWin2.Document.1";
constexpr const char* kIconKey = "DefaultIcon";
constexpr const char* kIconNumberSuffix = ",1";
}  // namespace

void RegisterAppKeys(const registry::Key& root, const std::string& programPath) {
  const registry::Key icon = root.OpenSubKey(kApplicationKey, true).OpenSubKey(kIconKey, true);
  const std::string value = programPath + kIconNumberSuffix;
  // Every start asks for this; an unchanged value is not saved again.
  if (icon.GetString("") != value) icon.SetString("", value);
}

void UnregisterAppKeys(const registry::Key& root) {
  root.OpenSubKey(kApplicationKey, true).DeleteSubKeyTree(kIconKey);
  root.OpenSubKey(kDocumentKey, true).DeleteSubKeyTree(kIconKey);
  root.DeleteSubKeyTree(kApplicationKey);
}

bool WantsUnregister(const std::vector<std::string>& arguments) {
  static const std::string kUnregister = "unregister";
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/')) continue;
    const std::string option = argument.substr(1);
    if (option.size() > kUnregister.size()) continue;
    const bool prefix = std::equal(option.begin(), option.end(), kUnregister.begin(),
                                   [](char a, char b) { return std::tolower(a) == b; });
    if (prefix) return true;
  }
  return false;
}
