#include "familyov/unit/TGroupWindow.h"

#include <algorithm>

namespace namespaceOV {

TGroupWindow::TGroupWindow(ui::Window* parent) : TDataWindow(parent), ui::ScrollingWindow(parent) {
  SetBackground(ui::SystemColorOf(ui::SystemColor::ButtonFace));
}

void TGroupWindow::AddPane(ui::Window* pane, bool startsNewLine) {
  if (startsNewLine) breaks_.push_back(pane);
  panes_.push_back(pane);
  pane->Create();
  Layout();
}

void TGroupWindow::SetEdgePane(ui::Window* pane, int position) {
  switch (position) {
    case kBottom:
      bottom_ = pane;
      break;
    case kTop:
      top_ = pane;
      break;
    case kRight:
      right_ = pane;
      break;
    default:
      left_ = pane;
      break;
  }
  pane->Create();
  Layout();
}

ui::Size TGroupWindow::SizeOf(const ui::Window* pane) {
  if (pane == nullptr) return {0, 0};
  const ui::Rect r = pane->WindowRect();
  return {r.Width(), r.Height()};
}

void TGroupWindow::Place(ui::Window* pane, int x, int y) {
  const ui::Size s = SizeOf(pane);
  pane->SetRect({x, y, x + s.cx, y + s.cy});
}

bool TGroupWindow::IsBreak(const ui::Window* pane) const {
  return std::ranges::find(breaks_, pane) != breaks_.end();
}

void TGroupWindow::Layout() {
  const int x0 = SizeOf(left_).cx;
  const int y0 = SizeOf(top_).cy;
  if (left_) Place(left_, 0, 0);
  if (top_) Place(top_, x0, 0);
  // A new row starts below the tallest pane of the row before (a new column right of the widest),
  // so that panes of unequal sizes never overlap.
  int across = 0;      // the extent of the current line along the flow
  int lineDepth = 0;   // its extent across the flow
  int linesDepth = 0;  // the lines before it
  int longest = 0;
  for (ui::Window* pane : panes_) {
    const ui::Size s = SizeOf(pane);
    const int along = flowDown ? s.cy : s.cx;
    const int depth = flowDown ? s.cx : s.cy;
    if (IsBreak(pane) && across > 0) {
      linesDepth += lineDepth;
      across = 0;
      lineDepth = 0;
    }
    if (flowDown) {
      Place(pane, x0 + linesDepth, y0 + across);
    } else {
      Place(pane, x0 + across, y0 + linesDepth);
    }
    across += along;
    lineDepth = std::max(lineDepth, depth);
    longest = std::max(longest, across);
  }
  contentWidth_ = flowDown ? linesDepth + lineDepth : longest;
  contentHeight_ = flowDown ? longest : linesDepth + lineDepth;
  contentWidth_ += x0;
  contentHeight_ += y0;
  if (right_) Place(right_, contentWidth_, y0);
  if (bottom_) Place(bottom_, x0, contentHeight_);
  contentWidth_ += SizeOf(right_).cx;
  contentHeight_ += SizeOf(bottom_).cy;
  SetContentSize({contentWidth_, contentHeight_});
  FitItsWindowToContent();
}

void TGroupWindow::MoveFocus(ui::Window* current, bool backwards) {
  const std::vector<ui::Window*>& order = focusList.empty() ? panes_ : focusList;
  const auto it = std::ranges::find(order, current);
  if (it == order.end()) return;
  const auto n = static_cast<std::ptrdiff_t>(order.size());
  const std::ptrdiff_t i = it - order.begin();
  order[static_cast<std::size_t>((i + (backwards ? n - 1 : 1)) % n)]->SetFocus();
}

}  // namespace namespaceOV
