#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace registry {

enum class ValueType { Number, String, Binary };

struct Value {
  ValueType type = ValueType::Number;
  uint32_t number = 0;
  std::string bytes;  // the data of a string or binary value

  bool operator==(const Value&) const = default;
};

// Names compare without regard to ASCII case, as the system's settings store does; they keep the
// case they were created with.
bool SameName(std::string_view a, std::string_view b);

// One key: its values in the order they were first set, its subkeys in the order they were made.
struct Node {
  std::vector<std::pair<std::string, Value>> values;
  std::vector<std::pair<std::string, Node>> subkeys;

  Value* FindValue(std::string_view name);
  const Value* FindValue(std::string_view name) const;
  Node* FindSubKey(std::string_view name);
  const Node* FindSubKey(std::string_view name) const;
  Node& SubKey(const std::string& name);  // made when missing

  bool operator==(const Node&) const = default;
};

}  // namespace registry
