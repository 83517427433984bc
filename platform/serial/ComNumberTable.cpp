#include "platform/serial/ComNumberTable.h"

#include <set>
#include <utility>

namespace serial {

ComNumberTable::ComNumberTable(registry::Key key) : key_(std::move(key)) {
  for (const std::string& path : key_.ValueNames()) {
    std::optional<uint32_t> number = key_.GetNumber(path);
    if (number && *number >= kFirstComNumber && *number <= kLastComNumber) {
      numbers_[path] = static_cast<int>(*number);
    }
  }
}

std::optional<int> ComNumberTable::NumberFor(const std::string& devicePath) {
  if (auto known = numbers_.find(devicePath); known != numbers_.end()) return known->second;
  std::set<int> taken;
  for (const auto& [path, number] : numbers_) taken.insert(number);
  for (int number = kFirstComNumber; number <= kLastComNumber; ++number) {
    if (taken.count(number) == 0) {
      numbers_[devicePath] = number;
      Save(devicePath, number);
      return number;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ComNumberTable::PathOf(int number) const {
  for (const auto& [path, held] : numbers_) {
    if (held == number) return path;
  }
  return std::nullopt;
}

bool ComNumberTable::Enter(int number, const std::string& devicePath) {
  if (number < kFirstComNumber || number > kLastComNumber) return false;
  bool saved = true;
  for (auto entry = numbers_.begin(); entry != numbers_.end();) {
    if (entry->second == number && entry->first != devicePath) {
      saved = key_.DeleteValue(entry->first) && saved;
      entry = numbers_.erase(entry);
    } else {
      ++entry;
    }
  }
  numbers_[devicePath] = number;
  return Save(devicePath, number) && saved;
}

bool ComNumberTable::Save(const std::string& devicePath, int number) {
  return key_.SetNumber(devicePath, static_cast<uint32_t>(number));
}

}  // namespace serial
