#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace registry {

class Store;
struct Value;
enum class ValueType;

// A handle on one key of the settings store: a path of names below the store's root. Copies refer
// to the same key. A default-constructed key is invalid and every call on it fails quietly.
class Key {
 public:
  Key() = default;
  Key(Store* store, std::string path);

  bool IsValid() const { return store_ != nullptr; }
  const std::string& Path() const { return path_; }

  // The subkey `name`; with `create` it is made when missing, else an invalid key is returned.
  Key OpenSubKey(const std::string& name, bool create) const;
  bool DeleteSubKeyTree(const std::string& name) const;
  std::vector<std::string> SubKeyNames() const;
  std::vector<std::string> ValueNames() const;

  std::optional<uint32_t> GetNumber(const std::string& valueName) const;
  std::optional<std::string> GetString(const std::string& valueName) const;
  std::optional<std::vector<uint8_t>> GetBinary(const std::string& valueName) const;
  // Setters return false when the key is invalid, read-only, or the store could not be saved.
  bool SetNumber(const std::string& valueName, uint32_t value) const;
  bool SetString(const std::string& valueName, const std::string& value) const;
  bool SetBinary(const std::string& valueName, const std::vector<uint8_t>& value) const;
  bool DeleteValue(const std::string& valueName) const;

 private:
  const Value* FindValue(const std::string& name, ValueType type) const;
  bool PutValue(const std::string& valueName, Value value) const;

  Store* store_ = nullptr;
  std::string path_;
};

}  // namespace registry
