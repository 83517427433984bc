#include "platform/registry/BoundedFileRead.h"

#include <algorithm>
#include <fstream>

namespace registry {

namespace {

constexpr std::size_t kReadChunkBytes = 64 * 1024;

}  // namespace

std::optional<std::string> ReadFileBounded(const std::filesystem::path& file,
                                           std::size_t maxBytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // Grown chunk by chunk: a buffer of the whole bound would be cleared on every read and, for a
  // caller that keeps the text, held for as long as it does.
  std::string text;
  std::string chunk(kReadChunkBytes, '\0');
  while (text.size() <= maxBytes) {
    const std::size_t wanted = std::min(chunk.size(), maxBytes + 1 - text.size());
    in.read(chunk.data(), static_cast<std::streamsize>(wanted));
    text.append(chunk, 0, static_cast<std::size_t>(in.gcount()));
    if (!in) break;
  }
  if (in.bad()) return std::nullopt;
  return text;
}

}  // namespace registry
