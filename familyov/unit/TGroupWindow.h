#pragma once

#include <vector>

#include "controls/TDataWindow.h"
#include "platform/ui/ScrollingWindow.h"

namespace namespaceOV {

// A scrolling container of panes (small child dialogs, one per channel as a rule), laid out in a
// flow with up to four fixed edge panes for headers and footers. The window can never grow past
// its content, and Tab moves the focus from pane to pane.
//
// Contract for a derived window: create the panes as children of this window (they must not be
// created yet), then hand them over with AddPane and SetEdgePane, which create and lay them out.
// A pane's Tab handler calls MoveFocus. Panes are not removed one by one.
class TGroupWindow : public ui::ScrollingWindow, public virtual TDataWindow {
 public:
  enum EdgePosition { kBottom = 0, kLeft = 1, kTop = 2, kRight = 3 };

  explicit TGroupWindow(ui::Window* parent);

  // `startsNewLine`: the pane opens a new row (or column when the flow runs down).
  void AddPane(ui::Window* pane, bool startsNewLine = false);
  // Any position but bottom, top and right counts as left.
  void SetEdgePane(ui::Window* pane, int position);
  // To the next pane of the Tab order, or the previous one with `backwards`; wraps round. A
  // window that is not in the order moves nothing.
  void MoveFocus(ui::Window* current, bool backwards);

  bool flowDown = false;
  // The Tab order when not empty; else the panes in flow order.
  std::vector<ui::Window*> focusList;

  int ContentWidth() const { return contentWidth_; }
  int ContentHeight() const { return contentHeight_; }

 private:
  void Layout();
  static ui::Size SizeOf(const ui::Window* pane);
  static void Place(ui::Window* pane, int x, int y);
  bool IsBreak(const ui::Window* pane) const;

  std::vector<ui::Window*> panes_;
  std::vector<ui::Window*> breaks_;
  ui::Window* left_ = nullptr;
  ui::Window* right_ = nullptr;
  ui::Window* top_ = nullptr;
  ui::Window* bottom_ = nullptr;
  int contentWidth_ = 0;
  int contentHeight_ = 0;
};

}  // namespace namespaceOV
