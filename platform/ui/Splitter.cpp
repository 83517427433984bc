#include "platform/ui/Splitter.h"

#include <QSplitter>
#include <algorithm>
#include <numeric>

namespace ui {

QWidget* Splitter::MakeWidget(QWidget* parentWidget) {
  auto* splitter = new QSplitter(
      orientation_ == Orientation::SideBySide ? Qt::Horizontal : Qt::Vertical, parentWidget);
  splitter->setChildrenCollapsible(false);
  return splitter;
}

void Splitter::SetupWindow() {
  auto* splitter = static_cast<QSplitter*>(Widget());
  for (Window* pane : Children()) {
    if (pane->Widget() != nullptr) splitter->addWidget(pane->Widget());
  }
  ApplyShare();
}

void Splitter::SetFirstShare(double share) {
  firstShare_ = std::clamp(share, 0.0, 1.0);
  ApplyShare();
}

void Splitter::ApplyShare() {
  auto* splitter = static_cast<QSplitter*>(Widget());
  if (splitter == nullptr || splitter->count() < 2) return;
  const int total = Length();
  const int first = static_cast<int>(total * firstShare_);
  QList<int> sizes(splitter->count(),
                   (total - first) / std::max<qsizetype>(splitter->count() - 1, 1));
  sizes[0] = first;
  splitter->setSizes(sizes);
}

int Splitter::IndexOf(const Window& pane) const {
  auto* splitter = static_cast<QSplitter*>(Widget());
  return splitter != nullptr && pane.Widget() != nullptr ? splitter->indexOf(pane.Widget()) : -1;
}

void Splitter::ClosePane(Window& pane) {
  if (IndexOf(pane) >= 0) pane.Hide();
}

void Splitter::ReopenPane(Window& pane) {
  const int index = IndexOf(pane);
  if (index < 0) return;
  // A closed pane comes back with the size it had; one pushed shut by the divider has none to
  // come back to, so it gets the share it was given at the start.
  const bool pushedShut = !pane.Widget()->isHidden() && PaneSize(pane) == 0;
  pane.Show();
  if (!pushedShut) return;
  auto* splitter = static_cast<QSplitter*>(Widget());
  const int total = std::max(Length(), 1);
  const int others = std::max<int>(static_cast<int>(splitter->count()) - 1, 1);
  const int share = index == 0 ? static_cast<int>(total * firstShare_)
                               : static_cast<int>(total * (1.0 - firstShare_)) / others;
  SetPaneSize(pane, std::max(share, 1));
}

bool Splitter::IsPaneOpen(const Window& pane) const {
  // A pane the divider has pushed to nothing is as closed as a hidden one.
  return IndexOf(pane) >= 0 && !pane.Widget()->isHidden() && PaneSize(pane) > 0;
}

int Splitter::Length() const {
  const QWidget* splitter = Widget();
  return orientation_ == Orientation::SideBySide ? splitter->width() : splitter->height();
}

int Splitter::PaneSize(const Window& pane) const {
  const int index = IndexOf(pane);
  if (index < 0) return 0;
  return static_cast<QSplitter*>(Widget())->sizes()[index];
}

void Splitter::SetPaneSize(Window& pane, int pixels) {
  const int index = IndexOf(pane);
  if (index < 0) return;
  auto* splitter = static_cast<QSplitter*>(Widget());
  QList<int> sizes = splitter->sizes();
  const int total = std::accumulate(sizes.begin(), sizes.end(), 0);
  const int others = static_cast<int>(sizes.size()) - 1;
  for (int i = 0; i < sizes.size(); ++i) {
    sizes[i] = i == index ? pixels : (others > 0 ? std::max(total - pixels, 0) / others : 0);
  }
  splitter->setSizes(sizes);
}

}  // namespace ui
