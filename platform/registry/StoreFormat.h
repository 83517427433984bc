#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/registry/StoreTree.h"

namespace registry {

// A store file that cannot be read back as it was written.
class StoreFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The store's text form: a header line, then one line per key ("key" and its path, levels
// joined by a backslash) followed by one line per value ("number", "string" or "binary", the
// name, the data). Names and strings are escaped so that each token is printable ASCII without
// blanks; binary data is hex.
std::string SerializeStore(const Node& root);
// Throws StoreFormatError naming the line and what is wrong with it.
Node ParseStore(std::string_view text);

// Bounds a damaged file cannot exceed.
constexpr std::size_t kMaxStoreFileBytes = 16 * 1024 * 1024;
constexpr std::size_t kMaxNameBytes = 16383;
constexpr std::size_t kMaxValueBytes = 1024 * 1024;
constexpr std::size_t kMaxKeyDepth = 64;

}  // namespace registry
