#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

enum class ValueType { Number, String, Binary };

struct Value {
  ValueType type = ValueType::Number;
  uint32_t number = 0;
  std::string bytes;  // the data of a string or binary value

  bool operator==(const Value&) const = default;
};

// Orders names without regard to ASCII case: names match that way, as in the system's settings
// store, while they keep the case they were created with.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// Items found by name, kept in the order they were added. A key may hold any number of them, so
// they are found through an ordered index: a balanced tree keeps every lookup logarithmic, which
// no choice of names in a damaged or crafted file can spoil (a hash could be flooded).
template <typename Item>
class NamedItems {
 public:
  struct Entry {
    std::string name;
    Item item;

    bool operator==(const Entry&) const = default;
  };

  const std::vector<Entry>& Entries() const { return entries_; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Entry& entry : entries_) names.push_back(entry.name);
    return names;
  }

  Item* Find(std::string_view name) {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second].item;
  }
  const Item* Find(std::string_view name) const {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second].item;
  }
  // The item `name`; a new one is added at the end when there is none.
  Item& FindOrAdd(std::string_view name) {
    auto [found, added] = index_.try_emplace(std::string(name), entries_.size());
    if (added) entries_.push_back(Entry{std::string(name), Item{}});
    return entries_[found->second].item;
  }
  bool Erase(std::string_view name) {
    auto found = index_.find(name);
    if (found == index_.end()) return false;
    const std::size_t position = found->second;
    index_.erase(found);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& indexed : index_) {
      if (indexed.second > position) --indexed.second;
    }
    return true;
  }

  bool operator==(const NamedItems& other) const { return entries_ == other.entries_; }

 private:
  std::vector<Entry> entries_;
  std::map<std::string, std::size_t, NameLess> index_;  // position in entries_ by name
};

// One key: its values in the order they were first set, its subkeys in the order they were made.
struct Node {
  NamedItems<Value> values;
  NamedItems<Node> subkeys;

  bool operator==(const Node&) const = default;
};

}  // namespace registry
