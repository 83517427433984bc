#pragma once

#include "platform/ui/Window.h"

namespace ui {

// Two or more panes side by side (or one above the other) with a draggable divider. Panes are the
// splitter's children, in creation order; a closed pane hides and gives its room to the others,
// and comes back with the size it had.
class Splitter : public Window {
 public:
  enum class Orientation { SideBySide, Stacked };
  explicit Splitter(Window* parent, Orientation orientation = Orientation::SideBySide)
      : Window(parent), orientation_(orientation) {}

  // The first pane's share of the room, 0 to 1, applied now or when created.
  void SetFirstShare(double share);
  void ClosePane(Window& pane);
  // A pane the user pushed shut with the divider reopens with its share of the room.
  void ReopenPane(Window& pane);
  // False for a closed pane and for one the divider has pushed to nothing.
  bool IsPaneOpen(const Window& pane) const;
  // The pane's size along the split direction, in pixels.
  int PaneSize(const Window& pane) const;
  void SetPaneSize(Window& pane, int pixels);

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  void SetupWindow() override;

 private:
  int IndexOf(const Window& pane) const;
  int Length() const;  // along the split direction, in pixels
  void ApplyShare();

  Orientation orientation_;
  double firstShare_ = 0.5;
};

}  // namespace ui
