#include "platform/registry/StoreFormat.h"

#include <charconv>
#include <optional>
#include <vector>

namespace registry {

namespace {

constexpr std::string_view kHeader = "TelvoWin2 settings store 1";
constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr char kEscape = '%';
constexpr char kLevelSeparator = '\\';

bool IsPlain(unsigned char c) { return c > ' ' && c < 0x7F && c != kEscape && c != '\\'; }

std::string Escape(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (IsPlain(c)) {
      out += static_cast<char>(c);
    } else {
      out += kEscape;
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    }
  }
  return out;
}

std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unhex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int high = HexDigit(hex[i]);
    int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view token) {
  std::string out;
  for (std::size_t i = 0; i < token.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(token[i]);
    if (c == kEscape) {
      if (i + 2 >= token.size()) return std::nullopt;
      std::optional<std::string> byte = Unhex(token.substr(i + 1, 2));
      if (!byte) return std::nullopt;
      out += *byte;
      i += 2;
    } else if (IsPlain(c)) {
      out += static_cast<char>(c);
    } else {
      return std::nullopt;
    }
  }
  return out;
}

void SerializeKey(const Node& node, const std::string& path, std::string& out) {
  out += "key ";
  out += path;
  out += '\n';
  for (const auto& [name, value] : node.values.Entries()) {
    switch (value.type) {
      case ValueType::Number:
        out += "number " + Escape(name) + ' ' + std::to_string(value.number);
        break;
      case ValueType::String:
        out += "string " + Escape(name) + ' ' + Escape(value.bytes);
        break;
      case ValueType::Binary:
        out += "binary " + Escape(name) + ' ' + Hex(value.bytes);
        break;
    }
    out += '\n';
  }
  for (const auto& [name, child] : node.subkeys.Entries()) {
    SerializeKey(child, path.empty() ? Escape(name) : path + kLevelSeparator + Escape(name), out);
  }
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t end = line.find(separator, start);
    parts.push_back(line.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Node Parse() {
    if (text_.size() > kMaxStoreFileBytes) Fail("the file is larger than a settings store can be");
    std::optional<std::string_view> header = NextLine();
    if (!header) Fail("the file is empty");
    if (*header != kHeader) Fail("it is not a settings store");
    Node root;
    Node* key = nullptr;
    while (std::optional<std::string_view> line = NextLine()) {
      std::vector<std::string_view> tokens = Split(*line, ' ');
      if (tokens[0] == "key" && tokens.size() == 2) {
        key = &OpenPath(root, tokens[1]);
      } else if (tokens.size() == 3 && key != nullptr) {
        AddValue(*key, tokens[0], tokens[1], tokens[2]);
      } else {
        Fail(key == nullptr ? "a value stands before any key" : "the line is not a key or value");
      }
    }
    return root;
  }

 private:
  std::optional<std::string_view> NextLine() {
    if (position_ >= text_.size()) return std::nullopt;
    ++lineNumber_;
    std::size_t end = text_.find('\n', position_);
    if (end == std::string_view::npos) Fail("the file ends inside a line");
    std::string_view line = text_.substr(position_, end - position_);
    position_ = end + 1;
    return line;
  }

  Node& OpenPath(Node& root, std::string_view path) {
    Node* node = &root;
    if (path.empty()) return root;
    std::vector<std::string_view> levels = Split(path, kLevelSeparator);
    if (levels.size() > kMaxKeyDepth) Fail("the key path is too deep");
    for (std::string_view level : levels) {
      if (level.empty()) Fail("a key name is empty");
      node = &node->subkeys.FindOrAdd(Name(level));
    }
    return *node;
  }

  std::string Name(std::string_view token) {
    std::optional<std::string> name = Unescape(token);
    if (!name) Fail("a name is badly escaped");
    if (name->size() > kMaxNameBytes) Fail("a name is too long");
    return *name;
  }

  void AddValue(Node& key, std::string_view type, std::string_view nameToken,
                std::string_view data) {
    std::string name = Name(nameToken);
    if (key.values.Find(name) != nullptr) Fail("a value is given twice");
    Value value;
    if (type == "number") {
      value.type = ValueType::Number;
      auto [end, error] = std::from_chars(data.data(), data.data() + data.size(), value.number);
      if (error != std::errc() || end != data.data() + data.size() || data.empty()) {
        Fail("a number is not a 32-bit unsigned decimal");
      }
    } else if (type == "string" || type == "binary") {
      value.type = type == "string" ? ValueType::String : ValueType::Binary;
      std::optional<std::string> bytes = type == "string" ? Unescape(data) : Unhex(data);
      if (!bytes) Fail("the data of a value is damaged");
      if (bytes->size() > kMaxValueBytes) Fail("a value is too long");
      value.bytes = std::move(*bytes);
    } else {
      Fail("a value has an unknown type");
    }
    key.values.FindOrAdd(name) = std::move(value);
  }

  // Names the line being read; before the first, the file as a whole.
  [[noreturn]] void Fail(const std::string& reason) {
    throw StoreFormatError(
        lineNumber_ == 0 ? reason : "line " + std::to_string(lineNumber_) + ": " + reason);
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::size_t lineNumber_ = 0;  // the line being read, from 1
};

}  // namespace

std::string SerializeStore(const Node& root) {
  std::string out(kHeader);
  out += '\n';
  SerializeKey(root, "", out);
  return out;
}

Node ParseStore(std::string_view text) { return Parser(text).Parse(); }

}  // namespace registry
