#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/DragImage.h"
#include "platform/ui/Message.h"
#include "platform/ui/TreeView.h"

namespace ui {

class Window;

// An item of a tree dragged onto another item: the user starts the drag in `tree`, the item's
// picture follows the mouse over `over` (the tree's parent, which holds the mouse meanwhile), and
// the release hands the dragged item's data and the item under the mouse (null over none) to
// `drop`. Takes over the tree's BeginDrag notification and the mouse moves and left-button
// releases of `over`.
class TreeItemDrag {
 public:
  using Drop = std::function<void(Param sourceData, TreeItem target)>;

  TreeItemDrag(Window& over, TreeView& tree, Drop drop);

  bool Active() const { return source_.has_value(); }

 private:
  void Begin(TreeItem item);
  void End(Point p);

  Window& over_;
  TreeView& tree_;
  Drop drop_;
  std::optional<Param> source_;
  std::unique_ptr<DragImage> image_;
};

}  // namespace ui
