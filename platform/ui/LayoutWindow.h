#pragma once

#include <map>
#include <optional>

#include "platform/ui/Window.h"

namespace ui {

enum class Edge { Left, Top, Right, Bottom, Width, Height };

// One rule for one edge (or the width or height) of a child of a layout window.
struct EdgeRule {
  enum class Kind { SameAs, PercentOf, Absolute };
  Edge edge = Edge::Left;
  Kind kind = Kind::SameAs;
  const Window* other = nullptr;  // a sibling, or null for the layout window's client area
  Edge otherEdge = Edge::Left;
  int value = 0;             // offset in pixels, percent, or absolute value
  bool layoutUnits = false;  // an absolute value in dialog units of the default font

  // This edge lies where the other window's edge lies, plus an offset in pixels.
  static EdgeRule SameAs(Edge edge, const Window* other, Edge otherEdge, int offset = 0);
  static EdgeRule PercentOf(Edge edge, const Window* other, Edge otherEdge, int percent);
  static EdgeRule Absolute(Edge edge, int value, bool layoutUnits = false);
};

// Two rules for each direction: of left, right and width, and of top, bottom and height.
struct LayoutMetrics {
  EdgeRule horizontal1;
  EdgeRule horizontal2;
  EdgeRule vertical1;
  EdgeRule vertical2;

  // The child covers the layout window's whole client area.
  static LayoutMetrics FillingClientArea();
};

// Places its children by their edge rules whenever it changes size.
class LayoutWindow : public Window {
 public:
  using Window::Window;
  void SetChildMetrics(Window& child, const LayoutMetrics& metrics);
  void Layout();
  bool PlaceChild(const Window& child) override;

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  void SetupWindow() override { Layout(); }
  // A child that goes takes its rules with it.
  void ChildLeaving(Window& child) override { metrics_.erase(&child); }

 private:
  std::map<Window*, LayoutMetrics> metrics_;
};

}  // namespace ui
