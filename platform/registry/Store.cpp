#include "platform/registry/Store.h"

#include <system_error>
#include <utility>

#include "platform/registry/BoundedFileRead.h"
#include "platform/registry/SafeFileWriter.h"
#include "platform/registry/StoreFormat.h"

namespace registry {

namespace fs = std::filesystem;

namespace {

constexpr char kLevelSeparator = '\\';

}  // namespace

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  std::vector<std::string> levels;
  if (path.empty()) return levels;
  std::size_t start = 0;
  while (true) {
    std::size_t end = path.find(kLevelSeparator, start);
    std::string_view level = path.substr(start, end - start);
    if (level.empty() || level.size() > kMaxNameBytes || levels.size() == kMaxKeyDepth) {
      return std::nullopt;
    }
    levels.emplace_back(level);
    if (end == std::string_view::npos) return levels;
    start = end + 1;
  }
}

Store::Store(fs::path file) : file_(std::move(file)) {
  std::error_code error;
  if (!fs::exists(*file_, error)) return;
  std::optional<std::string> text = ReadFileBounded(*file_, kMaxStoreFileBytes);
  try {
    if (!text) throw StoreFormatError("it cannot be read");
    root_ = ParseStore(*text);
  } catch (const StoreFormatError& damage) {
    loadError_ = "The settings store " + file_->string() + " is damaged (" + damage.what() +
                 ") and is left as it is; settings are not saved.";
    readOnly_ = true;
  }
}

const Node* Store::Find(std::string_view path) const {
  std::optional<std::vector<std::string>> levels = SplitKeyPath(path);
  if (!levels) return nullptr;
  const Node* node = &root_;
  for (const std::string& level : *levels) {
    node = node->subkeys.Find(level);
    if (node == nullptr) return nullptr;
  }
  return node;
}

bool Store::Change(std::string_view path, bool create, const std::function<bool(Node&)>& change) {
  if (readOnly_) return false;
  std::optional<std::vector<std::string>> levels = SplitKeyPath(path);
  if (!levels) return false;
  Node before = root_;
  Node* node = &root_;
  for (const std::string& level : *levels) {
    Node* next = create ? &node->subkeys.FindOrAdd(level) : node->subkeys.Find(level);
    if (next == nullptr) return false;
    node = next;
  }
  bool saved = change(*node);
  if (saved && file_) {
    std::error_code error;
    fs::create_directories(file_->parent_path(), error);
    saved = SaveFileSafely(*file_, SerializeStore(root_));
  }
  if (!saved) root_ = std::move(before);
  return saved;
}

}  // namespace registry
