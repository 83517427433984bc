#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Key.h"
#include "platform/registry/StoreTree.h"

namespace registry {

// A tree of keys with typed values. A store with a file saves every change at once, through a safe
// save. Other processes may share the file (a second copy of the program, the demo's port tool),
// so a change is made, under a lock, on what the file holds at that moment rather than on this
// process's copy, which would undo theirs; memory then takes the saved tree, their changes
// included. A change that is refused or cannot be saved leaves memory and file as they were.
class Store {
 public:
  // A store that lives in memory only.
  Store() = default;
  // The store kept in `file`. A missing file is an empty store (the file and its folder are made
  // by the first change). A damaged file is left untouched and the store is read-only and empty;
  // LoadError says why.
  explicit Store(std::filesystem::path file);
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  Key Root() { return Key(this, ""); }

  // A read-only store refuses every change made through its keys.
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // Empties the tree (whatever the read-only flag) without saving.
  void Clear() { root_ = Node{}; }
  const std::string& LoadError() const { return loadError_; }

 private:
  friend class Key;

  // The node at a key path (levels joined by a backslash); null when it does not exist.
  const Node* Find(std::string_view path) const;
  // Applies `change` to the node at `path` (made when `create`), then saves; false, with the tree
  // as it was, when the store is read-only, the key is missing, the change declines, or the save
  // fails.
  bool Change(std::string_view path, bool create, const std::function<bool(Node&)>& change);
  // Change for a store with a file: made on the file's tree under the lock, then saved.
  bool ChangeFile(const std::vector<std::string>& levels, bool create,
                  const std::function<bool(Node&)>& change);
  // What the file holds now: an empty tree when there is no file; none when it cannot be read or
  // is damaged, and the store is then read-only with LoadError saying why.
  std::optional<Node> ReadFile();

  std::optional<std::filesystem::path> file_;
  Node root_;
  bool readOnly_ = false;
  std::string loadError_;
};

// The key path levels of `path`; none for a path with an empty level or one too deep.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

}  // namespace registry
