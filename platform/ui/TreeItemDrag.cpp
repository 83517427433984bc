#include "platform/ui/TreeItemDrag.h"

#include "platform/ui/Window.h"

namespace ui {

namespace {

constexpr Point kHotSpot{7, 7};

}  // namespace

TreeItemDrag::TreeItemDrag(Window& over, TreeView& tree, Drop drop)
    : over_(over), tree_(tree), drop_(std::move(drop)) {
  over_.OnNotify(tree_.Id(), Notify::BeginDrag, [this](const Notification& n) {
    Begin(TreeView::FromParam(n.value));
    return Param{0};
  });
  over_.OnMessage(msg::kMouseMove, [this](const Message& m) {
    if (image_) image_->Move(UnpackPoint(m.lParam));
    return Param{0};
  });
  over_.OnMessage(msg::kLButtonUp, [this](const Message& m) {
    End(UnpackPoint(m.lParam));
    return Param{0};
  });
}

void TreeItemDrag::Begin(TreeItem item) {
  if (!item) return;
  Point upperLeft;
  const QImage picture = tree_.CreateDragImage(item, upperLeft);
  source_ = tree_.ItemData(item);
  image_ = std::make_unique<DragImage>(picture, kHotSpot);
  image_->Enter(over_, over_.ScreenToClient(tree_.ClientToScreen(
                           {upperLeft.x + kHotSpot.x, upperLeft.y + kHotSpot.y})));
  over_.CaptureMouse();
}

void TreeItemDrag::End(Point p) {
  if (!source_) return;
  const Param source = *source_;
  source_.reset();
  image_.reset();
  Window::ReleaseMouse();
  const TreeItem target = tree_.HitTest(tree_.ScreenToClient(over_.ClientToScreen(p)));
  tree_.Invalidate();
  drop_(source, target);
}

}  // namespace ui
