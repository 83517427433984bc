#include "platform/ui/LayoutWindow.h"

#include <QApplication>
#include <QWidget>
#include <functional>

#include "platform/ui/DialogUnits.h"

namespace ui {

namespace {

// A widget that lays out its window's children whenever it is resized.
class LayoutWidget : public QWidget {
 public:
  LayoutWidget(QWidget* parent, std::function<void()> layout)
      : QWidget(parent), layout_(std::move(layout)) {}

 protected:
  void resizeEvent(QResizeEvent*) override { layout_(); }

 private:
  std::function<void()> layout_;
};

struct Placed {
  std::optional<int> left, top, right, bottom, width, height;
};

std::optional<int> EdgeOf(const Rect& r, Edge e) {
  switch (e) {
    case Edge::Left:
      return r.left;
    case Edge::Top:
      return r.top;
    case Edge::Right:
      return r.right;
    case Edge::Bottom:
      return r.bottom;
    case Edge::Width:
      return r.Width();
    case Edge::Height:
      return r.Height();
  }
  return std::nullopt;
}

std::optional<int>& Slot(Placed& p, Edge e) {
  switch (e) {
    case Edge::Left:
      return p.left;
    case Edge::Top:
      return p.top;
    case Edge::Right:
      return p.right;
    case Edge::Bottom:
      return p.bottom;
    case Edge::Width:
      return p.width;
    case Edge::Height:
      return p.height;
  }
  return p.left;
}

// Completes one direction from any two of start, end and size.
bool Complete(std::optional<int>& start, std::optional<int>& end, std::optional<int>& size) {
  if (start && end)
    size = *end - *start;
  else if (start && size)
    end = *start + *size;
  else if (end && size)
    start = *end - *size;
  return start && end && size;
}

}  // namespace

EdgeRule EdgeRule::SameAs(Edge edge, const Window* other, Edge otherEdge, int offset) {
  return {edge, Kind::SameAs, other, otherEdge, offset, false};
}

EdgeRule EdgeRule::PercentOf(Edge edge, const Window* other, Edge otherEdge, int percent) {
  return {edge, Kind::PercentOf, other, otherEdge, percent, false};
}

EdgeRule EdgeRule::Absolute(Edge edge, int value, bool layoutUnits) {
  return {edge, Kind::Absolute, nullptr, Edge::Left, value, layoutUnits};
}

QWidget* LayoutWindow::MakeWidget(QWidget* parentWidget) {
  return new LayoutWidget(parentWidget, [this] { Layout(); });
}

LayoutMetrics LayoutMetrics::FillingClientArea() {
  return {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
          EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
          EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
          EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)};
}

void LayoutWindow::SetChildMetrics(Window& child, const LayoutMetrics& metrics) {
  metrics_[&child] = metrics;
  Layout();
}

void LayoutWindow::Layout() {
  if (Widget() == nullptr) return;
  const DialogUnits units(QApplication::font());
  const Rect client = ClientRect();
  std::map<const Window*, Rect> done;
  // Each round places every child whose rules refer only to placed windows; a rule on a window
  // that never gets placed (a cycle, a stranger) leaves its child where it is.
  for (std::size_t round = 0; round <= metrics_.size(); ++round) {
    bool progress = false;
    for (auto& [child, m] : metrics_) {
      if (done.count(child) != 0 || child->Widget() == nullptr) continue;
      Placed p;
      bool ready = true;
      for (const EdgeRule* rule : {&m.horizontal1, &m.horizontal2, &m.vertical1, &m.vertical2}) {
        if (rule->kind == EdgeRule::Kind::Absolute) {
          const bool vertical =
              rule->edge == Edge::Top || rule->edge == Edge::Bottom || rule->edge == Edge::Height;
          Slot(p, rule->edge) = rule->layoutUnits ? (vertical ? units.ToPixelsY(rule->value)
                                                              : units.ToPixelsX(rule->value))
                                                  : rule->value;
          continue;
        }
        const Rect* base = &client;
        if (rule->other != nullptr) {
          const auto it = done.find(rule->other);
          if (it == done.end()) {
            ready = false;
            break;
          }
          base = &it->second;
        }
        const int v = *EdgeOf(*base, rule->otherEdge);
        Slot(p, rule->edge) =
            rule->kind == EdgeRule::Kind::SameAs ? v + rule->value : v * rule->value / 100;
      }
      if (!ready || !Complete(p.left, p.right, p.width) || !Complete(p.top, p.bottom, p.height))
        continue;
      const Rect r{*p.left, *p.top, *p.right, *p.bottom};
      child->SetRect(r);
      done[child] = r;
      progress = true;
    }
    if (!progress) break;
  }
}

bool LayoutWindow::PlaceChild(const Window&) {
  Layout();
  return true;
}

}  // namespace ui
