#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace registry {

// The file's bytes, but never more than `maxBytes + 1` of them, so that a caller can tell a file
// beyond its bound without reading all of it; none when the file cannot be opened or read.
std::optional<std::string> ReadFileBounded(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace registry
