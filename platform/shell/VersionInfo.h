#pragma once

#include <optional>
#include <string>

namespace shell {

// The program's version information, compiled in. Every entry may be missing from a version
// record, so readers such as the About box handle each one on its own.
struct VersionInfo {
  std::optional<std::string> productName;
  std::optional<std::string> productVersion;
  std::optional<std::string> legalNotice;
  std::optional<std::string> specialBuild;
};

const VersionInfo& ProgramVersion();

// The application's title: the product name with the major and minor version.
std::string ApplicationTitle();

}  // namespace shell
