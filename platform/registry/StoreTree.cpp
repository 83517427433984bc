#include "platform/registry/StoreTree.h"

#include <algorithm>

namespace registry {

namespace {

// Folds ASCII only, whatever the locale: the order must not change while a store is open.
unsigned char Folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a')
                              : static_cast<unsigned char>(c);
}

}  // namespace

bool NameLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

}  // namespace registry
