#include "platform/registry/Key.h"

#include <utility>

#include "platform/registry/Store.h"
#include "platform/registry/StoreFormat.h"

namespace registry {

namespace {

std::string JoinPath(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + '\\' + name;
}

bool SetValue(Node& node, const std::string& name, Value value) {
  if (name.size() > kMaxNameBytes || value.bytes.size() > kMaxValueBytes) return false;
  node.values.FindOrAdd(name) = std::move(value);
  return true;
}

}  // namespace

Key::Key(Store* store, std::string path) : store_(store), path_(std::move(path)) {}

Key Key::OpenSubKey(const std::string& name, bool create) const {
  if (store_ == nullptr || !SplitKeyPath(name) || name.empty()) return Key();
  std::string path = JoinPath(path_, name);
  if (store_->Find(path) != nullptr) return Key(store_, path);
  if (create && store_->Change(path, true, [](Node&) { return true; })) return Key(store_, path);
  return Key();
}

bool Key::DeleteSubKeyTree(const std::string& name) const {
  std::optional<std::vector<std::string>> levels = SplitKeyPath(name);
  if (store_ == nullptr || !levels || levels->empty()) return false;
  std::string parentPath = path_;
  for (std::size_t i = 0; i + 1 < levels->size(); ++i)
    parentPath = JoinPath(parentPath, (*levels)[i]);
  return store_->Change(parentPath, false,
                        [&](Node& parent) { return parent.subkeys.Erase(levels->back()); });
}

std::vector<std::string> Key::SubKeyNames() const {
  const Node* node = store_ ? store_->Find(path_) : nullptr;
  return node ? node->subkeys.Names() : std::vector<std::string>{};
}

std::vector<std::string> Key::ValueNames() const {
  const Node* node = store_ ? store_->Find(path_) : nullptr;
  return node ? node->values.Names() : std::vector<std::string>{};
}

const Value* Key::FindValue(const std::string& name, ValueType type) const {
  const Node* node = store_ ? store_->Find(path_) : nullptr;
  const Value* value = node ? node->values.Find(name) : nullptr;
  return value && value->type == type ? value : nullptr;
}

std::optional<uint32_t> Key::GetNumber(const std::string& valueName) const {
  const Value* value = FindValue(valueName, ValueType::Number);
  return value ? std::optional(value->number) : std::nullopt;
}

std::optional<std::string> Key::GetString(const std::string& valueName) const {
  const Value* value = FindValue(valueName, ValueType::String);
  return value ? std::optional(value->bytes) : std::nullopt;
}

std::optional<std::vector<uint8_t>> Key::GetBinary(const std::string& valueName) const {
  const Value* value = FindValue(valueName, ValueType::Binary);
  if (!value) return std::nullopt;
  return std::vector<uint8_t>(value->bytes.begin(), value->bytes.end());
}

bool Key::PutValue(const std::string& valueName, Value value) const {
  return store_ && store_->Change(path_, false, [&](Node& node) {
    return SetValue(node, valueName, std::move(value));
  });
}

bool Key::SetNumber(const std::string& valueName, uint32_t number) const {
  return PutValue(valueName, Value{ValueType::Number, number, {}});
}

bool Key::SetString(const std::string& valueName, const std::string& text) const {
  return PutValue(valueName, Value{ValueType::String, 0, text});
}

bool Key::SetBinary(const std::string& valueName, const std::vector<uint8_t>& bytes) const {
  return PutValue(valueName, Value{ValueType::Binary, 0, std::string(bytes.begin(), bytes.end())});
}

bool Key::DeleteValue(const std::string& valueName) const {
  return store_ &&
         store_->Change(path_, false, [&](Node& node) { return node.values.Erase(valueName); });
}

}  // namespace registry
