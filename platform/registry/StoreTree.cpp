#include "platform/registry/StoreTree.h"

#include <algorithm>
#include <cctype>

namespace registry {

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

namespace {

template <typename Entries>
auto FindNamed(Entries& entries, std::string_view name) -> decltype(&entries.front().second) {
  for (auto& entry : entries) {
    if (SameName(entry.first, name)) return &entry.second;
  }
  return nullptr;
}

}  // namespace

Value* Node::FindValue(std::string_view name) { return FindNamed(values, name); }
const Value* Node::FindValue(std::string_view name) const { return FindNamed(values, name); }
Node* Node::FindSubKey(std::string_view name) { return FindNamed(subkeys, name); }
const Node* Node::FindSubKey(std::string_view name) const { return FindNamed(subkeys, name); }

Node& Node::SubKey(const std::string& name) {
  if (Node* existing = FindSubKey(name)) return *existing;
  return subkeys.emplace_back(name, Node{}).second;
}

}  // namespace registry
