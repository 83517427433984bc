#include "controls/TDataWindow.h"

#include "platform/ui/Window.h"

namespace {

TDataWindow* AsDataWindow(ui::Window* w) { return dynamic_cast<TDataWindow*>(w); }

}  // namespace

TDataWindow::TDataWindow(ui::Window* parent) {
  if (const TDataWindow* p = AsDataWindow(parent)) {
    local_ = p->local_;
    root_ = p->root_;
  }
}

template <typename F>
void TDataWindow::ForEachDataChild(F&& f) const {
  // The window side of this object; the class that mixes this in is always a window.
  const auto* self = dynamic_cast<const ui::Window*>(this);
  if (self == nullptr) return;
  // A copy: a handler may open or close windows while the record travels.
  const std::vector<ui::Window*> children = self->Children();
  for (ui::Window* child : children) {
    if (!ui::IsLiveWindow(child)) continue;
    if (TDataWindow* data = AsDataWindow(child)) f(*data);
  }
}

void TDataWindow::Notify(NotifyRecord* record) {
  ForEachDataChild([record](TDataWindow& child) { child.Notify(record); });
}

void TDataWindow::SetLink1(ui::Window* root) {
  root_ = AsDataWindow(root);
  ForEachDataChild([root](TDataWindow& child) { child.SetLink1(root); });
}

void TDataWindow::SetLink2(ui::Window* local) {
  local_ = AsDataWindow(local);
  ForEachDataChild([local](TDataWindow& child) { child.SetLink2(local); });
}

void TDataWindow::NotifyRoot(NotifyRecord* record) const {
  if (root_ != nullptr) root_->Notify(record);
}

void TDataWindow::NotifyLocal(NotifyRecord* record) const {
  if (local_ != nullptr) local_->Notify(record);
}
