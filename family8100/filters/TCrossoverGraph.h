#pragma once

#include <functional>
#include <memory>

#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/GraphIcons8100.h"
#include "familycommon/GraphWindow.h"
#include "familycommon/IconDrag.h"

namespace namespace8100 {

class IQDevice8100;

// The X model's two crossovers on the log-frequency / dB grid: each side's response and an icon
// per crossover that a drag moves sideways. While the crossovers are linked only the high one
// can be dragged and the low one follows it. The drop writes the unit; Esc writes nothing.
class TCrossoverGraph : public familycommon::GraphWindow {
 public:
  static constexpr int kCmPrint = 100;
  // Bypasses or enables the selected crossover; the graph's menu does not offer it.
  static constexpr int kCmBypass = 107;

  TCrossoverGraph(IQDevice8100& unit, ui::Window* parent);
  ~TCrossoverGraph() override;

  // A drop's change of the crossovers goes to the unit through `onDrop`, which shows its outcome.
  using DropEdit = std::function<void(const std::function<void(CrossoverEdits&)>&)>;
  void SetOnDrop(DropEdit onDrop) { onDrop_ = std::move(onDrop); }
  // The icons and traces again from the unit's crossovers, and a repaint.
  void Refresh();

  const GraphIcons8100& Icons() const { return icons_; }
  bool Dragging() const { return drag_.Active(); }

 protected:
  void SetupWindow() override;
  // Keeps the graph's rectangle in the unit, as the banks' graphs keep theirs.
  void CleanupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  familycommon::TFreqDC Context(ui::Dc& dc, bool printing) const;
  familycommon::TFreqDC MouseContext();
  void EvLButtonDown(ui::Point p) override;
  void EvMouseMove(ui::Point p) override;
  void EvLButtonUp() override;
  void EvRButtonDown(ui::Point p) override;
  void EvKeyDown(int key) override;
  void CmBypass();
  void CmPrint();

  IQDevice8100& unit_;
  DropEdit onDrop_;
  GraphIcons8100 icons_;
  familycommon::IconDrag drag_{*this, familycommon::IconDrag::Axes::kAcrossOnly};
};

}  // namespace namespace8100
