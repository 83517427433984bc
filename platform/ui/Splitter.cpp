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
  const int total =
      orientation_ == Orientation::SideBySide ? splitter->width() : splitter->height();
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
  if (IndexOf(pane) >= 0) pane.Show();
}

bool Splitter::IsPaneOpen(const Window& pane) const {
  return IndexOf(pane) >= 0 && !pane.Widget()->isHidden();
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
