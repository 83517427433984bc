#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/registry/Key.h"

namespace serial {

constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 255;

// The COM numbers given to devices, kept in a settings key (one number value per device path, or
// per adapter identity where the path would change: DiscoveredPort::numberKey) so that a device
// keeps its number from run to run, as the system's port arbiter does. A number
// stays taken by its device while the device is away. Assignments that cannot be saved still hold
// for this session.
class ComNumberTable {
 public:
  explicit ComNumberTable(registry::Key key);

  // The number `devicePath` has, or the lowest free one, which is then kept for it. None when all
  // numbers are taken.
  std::optional<int> NumberFor(const std::string& devicePath);
  // The device path that holds `number`.
  std::optional<std::string> PathOf(int number) const;
  // Puts `devicePath` (a pseudo-terminal, say) under `number`, taking the number from any device
  // that held it and giving up the device's old number. False when the number is out of range or
  // the change could not be saved (it holds for this session all the same).
  bool Enter(int number, const std::string& devicePath);
  // Device path -> number, every entry.
  const std::map<std::string, int>& Entries() const { return numbers_; }

 private:
  bool Save(const std::string& devicePath, int number);

  registry::Key key_;
  std::map<std::string, int> numbers_;
};

}  // namespace serial
