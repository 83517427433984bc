#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

// The mixing matrix: a check box per input and output switches the crosspoint fully on (0 dB) or
// off (-100 dB), and a diagram below joins each input to the outputs it feeds.
class TMixerWindow : public OVChild<ui::DrawnWindow> {
 public:
  static constexpr int kWidth = 230;
  static constexpr int kHeight = 400;

  explicit TMixerWindow(TEditOVWindow& editWindow);
  ~TMixerWindow() override;

  void Notify(NotifyRecord* record) override;
  void RefreshChecks();
  ui::CheckBox& Box(int output, int input);
  const ui::Rect& DiagramRect() const { return diagram_; }
  // The node of input i is element i, that of output o element inputs + o.
  const std::vector<ui::Point>& Nodes() const { return nodes_; }

 protected:
  void SetupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  void BuildGrid();
  void PlaceNodes();
  void PaintConnections(ui::Dc& dc);
  void CmCrosspoint(int output, int input);
  ui::StaticText& AddLabel(int channel, ui::Rect r);
  // Where a crosspoint's box and state are kept.
  std::size_t Crosspoint(int output, int input);

  std::vector<std::unique_ptr<ui::CheckBox>> boxes_;  // by Crosspoint()
  std::vector<std::unique_ptr<ui::StaticText>> labels_;
  ui::Rect diagram_{};
  std::vector<ui::Point> nodes_;
  // Which crosspoints are on, as last read or written: painting never reads the unit, so a unit
  // that falls silent costs no report per repaint and the diagram keeps its last known state.
  std::vector<bool> on_;  // by Crosspoint()
};

}  // namespace namespaceOV
