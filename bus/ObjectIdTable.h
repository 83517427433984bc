#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <vector>

// Something a device keeps per object id. Ids are the small numbers of a family's parameter
// table, so the entries sit in an array indexed by id: a value is reached without a search, and
// nothing is allocated once its id has been seen. The array grows to the highest id used.
template <typename Entry>
class ObjectIdTable {
 public:
  // Throws `std::out_of_range` for a negative id.
  Entry& operator[](int id) {
    if (id < 0) throw std::out_of_range("negative object id");
    const auto index = static_cast<std::size_t>(id);
    if (index >= entries_.size()) entries_.resize(index + 1);
    return entries_[index];
  }
  // Forgets the entries of ids from `id` up.
  void DropFrom(int id) {
    const auto kept = static_cast<std::size_t>(std::max(id, 0));
    if (entries_.size() > kept) entries_.resize(kept);
  }
  void Clear() { entries_.clear(); }

 private:
  std::vector<Entry> entries_;
};
