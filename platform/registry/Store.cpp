#include "platform/registry/Store.h"

#include <system_error>
#include <utility>

#include "platform/registry/BoundedFileRead.h"
#include "platform/registry/FileLock.h"
#include "platform/registry/SafeFileWriter.h"
#include "platform/registry/StoreFormat.h"

namespace registry {

namespace fs = std::filesystem;

namespace {

constexpr char kLevelSeparator = '\\';

// Applies `change` to the node at `levels` below `root`, making missing keys when `create`.
bool ChangeTree(Node& root, const std::vector<std::string>& levels, bool create,
                const std::function<bool(Node&)>& change) {
  Node* node = &root;
  for (const std::string& level : levels) {
    node = create ? &node->subkeys.FindOrAdd(level) : node->subkeys.Find(level);
    if (node == nullptr) return false;
  }
  return change(*node);
}

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
  if (std::optional<Node> tree = ReadFile()) root_ = std::move(*tree);
}

std::optional<Node> Store::ReadFile() {
  std::error_code error;
  if (!fs::exists(*file_, error)) return Node{};
  std::optional<std::string> text = ReadFileBounded(*file_, kMaxStoreFileBytes);
  try {
    if (!text) throw StoreFormatError("it cannot be read");
    return ParseStore(*text);
  } catch (const StoreFormatError& damage) {
    loadError_ = "The settings store " + file_->string() + " is damaged (" + damage.what() +
                 ") and is left as it is; settings are not saved.";
    readOnly_ = true;
    return std::nullopt;
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
  if (file_) return ChangeFile(*levels, create, change);
  Node changed = root_;
  if (!ChangeTree(changed, *levels, create, change)) return false;
  root_ = std::move(changed);
  return true;
}

bool Store::ChangeFile(const std::vector<std::string>& levels, bool create,
                       const std::function<bool(Node&)>& change) {
  std::error_code error;
  fs::create_directories(file_->parent_path(), error);
  FileLock lock(file_->string() + ".lock");
  if (!lock.IsHeld()) return false;
  std::optional<Node> changed = ReadFile();
  if (!changed || !ChangeTree(*changed, levels, create, change) ||
      !SaveFileSafely(*file_, SerializeStore(*changed))) {
    return false;
  }
  root_ = std::move(*changed);
  return true;
}

}  // namespace registry
