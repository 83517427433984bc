// The settings store's file: whatever it accepts must be written back in a form it reads as the
// same tree.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/registry/StoreFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::optional<registry::Node> tree;
  try {
    tree = registry::ParseStore(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const registry::StoreFormatError&) {
    return 0;
  }
  const std::string text = registry::SerializeStore(*tree);
  if (!(registry::ParseStore(text) == *tree)) std::abort();
  return 0;
}
